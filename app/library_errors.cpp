// The standard library reports a misused container through these. Its own versions build
// logic_error and its kin, whose messages live in a second, reference-counted string
// implementation: linked in for errors that never happen, it made up a seventh of the exe. Linked
// straight into the program, ahead of the library, these keep every such error catchable as a
// std::exception, without the messages.
#include <exception>
#include <new>

namespace std {

void __throw_bad_alloc() {
    throw bad_alloc();
}

void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}

// A length beyond what any allocation can hold.
void __throw_length_error(const char*) {
    throw bad_alloc();
}

void __throw_logic_error(const char*) {
    throw exception();
}

void __throw_out_of_range_fmt(const char*, ...) {
    throw exception();
}

}  // namespace std
