#include "app/settings.h"

#include <windows.h>

#include <vector>

#include "app/numbers.h"
#include "app/steplist_text.h"
#include "engine/settings.h"
#include "runtime/files.h"
#include "toolkit/requester.h"
#include "toolkit/window.h"

namespace kv {

namespace {

constexpr uint64_t kLargestSettingsFile = 64 << 10;
constexpr char kTemporarySuffix[] = ".tmp";

RunOptions currentOptions;

std::string ExeFolder() {
    char path[MAX_PATH];
    const std::string self(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return self.substr(0, self.find_last_of("\\/") + 1);
}

// A file made and dropped again tells, where the folder's permissions would not.
bool Writable(const std::string& folder) {
    const std::string probe = folder + kSettingsFileName + kTemporarySuffix;
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

std::string ApplicationDataFolder() {
    char folder[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("APPDATA", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    return std::string(folder) + "\\" + kSettingsFolder + "\\";
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

bool WriteWhole(const std::string& path, const std::string& text) {
    const std::string temporary = path + kTemporarySuffix;
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool complete =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (complete && MoveFileExA(temporary.c_str(), path.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary.c_str());
    return false;
}

void Tell(const std::string& text) {
    MessageRequester(WindowID(kMainWindow), kMessageTitle, text.c_str());
}

}  // namespace

const RunOptions& CurrentOptions() {
    return currentOptions;
}

std::string SettingsPath() {
    const std::string beside = ExeFolder() + kSettingsFileName;
    if (GetFileAttributesA(beside.c_str()) != INVALID_FILE_ATTRIBUTES || Writable(ExeFolder()))
        return beside;
    return ApplicationDataFolder() + kSettingsFileName;
}

void LoadSettings() {
    const std::string path = SettingsPath();
    const FileBytes file = ReadWholeFile(path, kLargestSettingsFile);
    if (file.outcome == FileReading::kMissing)
        return;
    if (file.outcome != FileReading::kRead) {
        Tell("Die Einstellungen in „" + path +
             "“ konnten nicht gelesen werden. Es gelten die Vorgaben.");
        return;
    }
    const ParsedSettings parsed = ParseSettings(file.bytes);
    currentOptions = parsed.options;
    if (parsed.badLines.empty())
        return;
    std::string text = "In „" + path + "“ sind Zeilen unbrauchbar; für sie gelten die Vorgaben:";
    for (const size_t line : parsed.badLines)
        text += "\nZeile " + std::to_string(line) + ": " + LineOf(file.bytes, line);
    Tell(text);
}

void ApplySettings(const RunOptions& options) {
    currentOptions = options;
    const std::string path = SettingsPath();
    if (path.size() > sizeof kSettingsFileName - 1) {
        const std::string folder = path.substr(0, path.size() - (sizeof kSettingsFileName - 1));
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    if (!WriteWhole(path, FormatSettings(options))) {
        Tell("Die Einstellungen konnten nicht in „" + path +
             "“ geschrieben werden. Sie gelten bis zum Ende dieses Laufs.");
    }
}

std::string TrayToolTip(const RunOptions& options) {
    return "Korvalt: " + ChordName(options.trigger) + " spielt, " + ChordName(options.stop) +
           " stoppt";
}

}  // namespace kv
