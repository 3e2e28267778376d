#pragma once
// What the suites of every layer share: waiting for a condition, helper processes and what the
// key recorder logged. It brings GoogleTest, <windows.h> and the standard headers they use.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

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

// A file of the temporary folder, named for this process.
inline std::string TempPath(const std::string& name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return folder + ("korvalt-" + std::to_string(GetCurrentProcessId()) + "-" + name);
}

inline std::string Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

inline std::string Bytes(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

// Another program's Unicode text on the clipboard, or the clipboard's as that program reads it
// (helpers/other_program.cpp).
inline std::wstring OtherClipboard(const std::wstring& put = {}) {
    const std::string file = Write(TempPath("clipboard"), Bytes(put));
    EXPECT_EQ(Process(BesideThisExe("other_program.exe") + (put.empty() ? " get " : " put ") + file)
                  .ExitCode(10000),
              0u);
    std::ifstream read(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(read)), {});
    DeleteFileA(file.c_str());
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

// The key recorder (helpers/key_recorder.cpp), logging into `log` until it ends with the test.
inline std::unique_ptr<Process> StartKeyRecorder(const std::string& log) {
    return std::make_unique<Process>(BesideThisExe("key_recorder.exe") + " \"" + log + "\" " +
                                     std::to_string(GetCurrentProcessId()));
}

// Whole lines only: the recorder may be writing the last one.
inline std::vector<std::string> Lines(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line) && !file.eof();)
        lines.push_back(line);
    return lines;
}

inline size_t CountLines(const std::string& log, const std::string& start) {
    const std::vector<std::string> lines = Lines(log);
    return std::count_if(lines.begin(), lines.end(),
                         [&](const std::string& line) { return line.rfind(start, 0) == 0; });
}

struct Recording {
    // The recorder's key lines without their times: "down|up <virtual key> <scan code> <extended>",
    // each ended by a line feed.
    std::string keys;
    std::wstring characters;
    std::vector<long> holds;  // from each press but Shift's and Ctrl's to its release, in ms
};

inline Recording ReadLog(const std::string& path) {
    Recording got;
    unsigned long code, time, pressedAt[256] = {};
    for (const std::string& line : Lines(path)) {
        if (std::sscanf(line.c_str(), "char %lx", &code) == 1)
            got.characters += static_cast<wchar_t>(code);
        if (std::sscanf(line.c_str(), "%*[downup] %lx %*x %*u %lu", &code, &time) < 2)
            continue;
        got.keys += line.substr(0, line.rfind(' ')) + "\n";
        if (line[0] == 'd')
            pressedAt[code & 0xFF] = time;
        else if (code != VK_SHIFT && code != VK_CONTROL)
            got.holds.push_back(static_cast<long>(time - pressedAt[code & 0xFF]));
    }
    return got;
}

// Printable characters the recorder logged but the user's j (a J while a capital is typed): the
// user's Ctrl+U arrives as a control character.
inline std::string Typed(const std::string& log) {
    std::string typed;
    for (const wchar_t c : ReadLog(log).characters)
        if ((c >= L' ' || c == L'\r') && c != L'j' && c != L'J')
            typed += static_cast<char>(c);
    return typed;
}

}  // namespace kv::test
