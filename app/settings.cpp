#include "app/settings.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/numbers.h"
#include "app/steplist_text.h"
#include "engine/settings.h"
#include "runtime/files.h"
#include "runtime/strings.h"
#include "toolkit/requester.h"
#include "toolkit/window.h"

namespace kv {

namespace {

constexpr uint64_t kLargestSettingsFile = 64 << 10;
constexpr char kTemporarySuffix[] = ".tmp";

RunOptions currentOptions;

// Paths are wide from end to end: a folder named outside the ANSI code page is still the one
// meant.
WideText Joined(WideText first, const WideText& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

WideText Joined(WideText first, const char* second) {
    return Joined(std::move(first), AnsiToUtf16(second));
}

// With its NUL, for the platform's calls.
WideText Terminated(WideText path) {
    path.push_back(L'\0');
    return path;
}

WideText ExeFolder() {
    wchar_t path[MAX_PATH];
    const WideText self(path, path + GetModuleFileNameW(nullptr, path, MAX_PATH));
    const auto slash = std::find_if(self.rbegin(), self.rend(),
                                    [](wchar_t unit) { return unit == L'\\' || unit == L'/'; });
    return WideText(self.begin(), slash.base());
}

// A file made and dropped again tells, where the folder's permissions would not.
bool Writable(const WideText& folder) {
    const WideText probe = Terminated(Joined(Joined(folder, kSettingsFileName), kTemporarySuffix));
    HANDLE file = CreateFileW(probe.data(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

WideText ApplicationDataFolder() {
    wchar_t folder[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return WideText();
    return Joined(Joined(Joined(WideText(folder, folder + length), "\\"), kSettingsFolder), "\\");
}

std::string LineOf(const std::string& text, size_t number) {
    size_t start = 0;
    for (size_t line = 1; line < number && start != std::string::npos; ++line) {
        start = text.find('\n', start);
        start = start == std::string::npos ? start : start + 1;
    }
    if (start == std::string::npos)
        return std::string();
    const size_t end = text.find_first_of("\r\n", start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool WriteWhole(const WideText& path, const std::string& text) {
    const WideText temporary = Terminated(Joined(path, kTemporarySuffix));
    HANDLE file = CreateFileW(temporary.data(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool complete =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (complete && MoveFileExW(temporary.data(), Terminated(path).data(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.data());
    return false;
}

}  // namespace

const RunOptions& CurrentOptions() {
    return currentOptions;
}

WideText SettingsPath() {
    const WideText beside = Joined(ExeFolder(), kSettingsFileName);
    if (GetFileAttributesW(Terminated(beside).data()) != INVALID_FILE_ATTRIBUTES ||
        Writable(ExeFolder()))
        return beside;
    return Joined(ApplicationDataFolder(), kSettingsFileName);
}

void LoadSettings() {
    const WideText path = SettingsPath();
    const FileBytes file = ReadWholeFile(path, kLargestSettingsFile);
    if (file.outcome == FileReading::kMissing)
        return;
    if (file.outcome != FileReading::kRead) {
        Tell(AboutFile("Die Einstellungen in ", path,
                       " konnten nicht gelesen werden. Es gelten die Vorgaben."));
        return;
    }
    const ParsedSettings parsed = ParseSettings(file.bytes);
    currentOptions = parsed.options;
    if (parsed.badLines.empty())
        return;
    std::string text = " sind Zeilen unbrauchbar; für sie gelten die Vorgaben:";
    for (const size_t line : parsed.badLines)
        text += Concat(
            {"\nZeile ", DecimalText(static_cast<int64_t>(line)), ": ", LineOf(file.bytes, line)});
    Tell(AboutFile("In ", path, text));
}

void ApplySettings(const RunOptions& options) {
    currentOptions = options;
    const WideText path = SettingsPath();
    if (path.size() > sizeof kSettingsFileName - 1) {
        const WideText folder(path.begin(), path.end() - (sizeof kSettingsFileName - 1));
        CreateDirectoryW(Terminated(folder).data(), nullptr);
    }
    if (!WriteWhole(path, FormatSettings(options))) {
        Tell(AboutFile("Die Einstellungen konnten nicht in ", path,
                       " geschrieben werden. Sie gelten bis zum Ende dieses Laufs."));
    }
}

std::string TrayToolTip(const RunOptions& options) {
    return Concat(
        {"Korvalt: ", ChordName(options.trigger), " spielt, ", ChordName(options.stop), " stoppt"});
}

}  // namespace kv
