#pragma once
// What the suites of every layer share: waiting for a condition, and helper processes.

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

namespace kv::test {

// Calls `between` (a short sleep unless given) until `done` holds; false after `limitMs`.
inline bool PollUntil(
    const std::function<bool()>& done, DWORD limitMs = 10000,
    const std::function<void()>& between = [] { Sleep(10); }) {
    for (const DWORD start = GetTickCount(); !done(); between()) {
        if (GetTickCount() - start > limitMs)
            return false;
    }
    return true;
}

// A file beside this test's exe, quoted for a command line.
inline std::string BesideThisExe(const std::string& name) {
    char path[MAX_PATH];
    const std::string self(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return "\"" + self.substr(0, self.find_last_of("\\/") + 1) + name + "\"";
}

// A process of its own, ended with the test however the test ends.
class Process {
  public:
    explicit Process(std::string commandLine) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info_);
    }
    explicit Process(std::wstring commandLine) {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info_);
    }
    ~Process() {
        if (!info_.hProcess)
            return;
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    HANDLE Handle() const { return info_.hProcess; }
    // The exit code once the process ended within `limitMs`, STILL_ACTIVE otherwise.
    DWORD ExitCode(DWORD limitMs) const {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(info_.hProcess, limitMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

  private:
    PROCESS_INFORMATION info_ = {};
};

// A command of the host's shell, waited for. Wine gives back no process to wait for when it starts
// a Unix program, so the command leaves a file behind when it is done.
inline void RunOnHost(const std::string& command) {
    static int serial = 0;
    const std::string done = "/tmp/korvalt-host-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++serial);
    Process shell("/bin/sh -c \"" + command + "; touch " + done + "\"");
    if (!PollUntil([&] { return DeleteFileA(("Z:" + done).c_str()) != 0; }, 15000))
        ADD_FAILURE() << command;
}

}  // namespace kv::test
