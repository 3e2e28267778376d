// Linked with the program's stand-ins for the runtime's error reports and thread functions: throws
// and catches on two threads at once, each exception through frames of its own. Exit code 0 when
// every exception arrived as thrown, on the thread that threw it.

#include <windows.h>

#include <new>
#include <string>

namespace {

constexpr int kRounds = 2000;

int __attribute__((noinline)) Throw(int round) {
    if (round % 2)
        throw std::bad_alloc();
    return static_cast<int>(std::string("x").at(static_cast<size_t>(round) + 1));
}

DWORD WINAPI Catch(void*) {
    DWORD missed = 0;
    for (int round = 0; round < kRounds; ++round) {
        try {
            Throw(round);
            ++missed;
        } catch (const std::bad_alloc&) {
            missed += round % 2 ? 0 : 1;
        } catch (const std::exception&) {
            missed += round % 2 ? 1 : 0;
        }
    }
    return missed;
}

}  // namespace

int main() {
    const HANDLE other = CreateThread(nullptr, 0, Catch, nullptr, 0, nullptr);
    const DWORD missed = Catch(nullptr);
    DWORD otherMissed = 1;
    if (!other || WaitForSingleObject(other, 30000) != WAIT_OBJECT_0 ||
        !GetExitCodeThread(other, &otherMissed)) {
        return 2;
    }
    CloseHandle(other);
    return missed + otherMissed == 0 ? 0 : 1;
}
