// The standard library reports misuse through these. Its own versions, all in one object, build
// logic_error and its kin, whose messages live in a second, reference-counted string
// implementation: linked in for errors that never happen, it made up a quarter of the exe. Linked
// straight into the program, ahead of the library, these stand in for every function of that
// object, so it is never linked and no use of the library can define one of them twice. Each
// error stays catchable as a std::exception, without its message: the program catches
// std::bad_alloc and std::exception, never a kind of logic_error or runtime_error.
#include <exception>
#include <new>
#include <typeinfo>

namespace std {

void __throw_bad_exception() {
    throw bad_exception();
}

void __throw_bad_alloc() {
    throw bad_alloc();
}

void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}

void __throw_bad_cast() {
    throw bad_cast();
}

void __throw_bad_typeid() {
    throw bad_typeid();
}

// A length beyond what any allocation can hold.
void __throw_length_error(const char*) {
    throw bad_alloc();
}

void __throw_logic_error(const char*) {
    throw exception();
}

void __throw_domain_error(const char*) {
    throw exception();
}

void __throw_invalid_argument(const char*) {
    throw exception();
}

void __throw_out_of_range(const char*) {
    throw exception();
}

void __throw_out_of_range_fmt(const char*, ...) {
    throw exception();
}

void __throw_runtime_error(const char*) {
    throw exception();
}

void __throw_range_error(const char*) {
    throw exception();
}

void __throw_overflow_error(const char*) {
    throw exception();
}

void __throw_underflow_error(const char*) {
    throw exception();
}

}  // namespace std
