// Linked with the program's stand-ins for the runtime's error reports and thread functions: throws
// and catches on two threads at once. Exit code 0 when every exception arrived as thrown.

#include <windows.h>

#include <new>
#include <string>

DWORD WINAPI Catch(void*) {
    DWORD missed = 0;
    for (size_t round = 0; round < 2000; ++round) {
        try {
            missed += round % 2 ? throw std::bad_alloc() : std::string("x").at(round + 1);
        } catch (const std::bad_alloc&) {
            missed += round % 2 ? 0 : 1;
        } catch (const std::exception&) {
            missed += round % 2 ? 1 : 0;
        }
    }
    return missed;
}

int main() {
    const HANDLE other = CreateThread(nullptr, 0, Catch, nullptr, 0, nullptr);
    DWORD missed = Catch(nullptr), otherMissed = 1;
    if (!other || WaitForSingleObject(other, 30000) != WAIT_OBJECT_0)
        return 2;
    GetExitCodeThread(other, &otherMissed);
    return missed + otherMissed == 0 ? 0 : 1;
}
