#include "runtime/files.h"

#include <windows.h>

#include <algorithm>

namespace kv {
namespace {

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

// ReadFile takes at most a DWORD per call.
constexpr DWORD kChunk = 1 << 20;

}  // namespace

FileBytes ReadWholeFile(const WideText& path, uint64_t limit) {
    FileBytes result;
    WideText name = path;
    name.push_back(L'\0');
    const FileHandle file(CreateFileW(name.data(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        result.outcome = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                                 error == ERROR_INVALID_NAME
                             ? FileReading::kMissing
                             : FileReading::kUnreadable;
        return result;
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) {
        result.outcome = FileReading::kUnreadable;
        return result;
    }
    if (static_cast<uint64_t>(size.QuadPart) > limit) {
        result.outcome = FileReading::kTooLarge;
        return result;
    }
    result.bytes.resize(static_cast<size_t>(size.QuadPart));
    for (size_t at = 0; at < result.bytes.size();) {
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(kChunk, result.bytes.size() - at));
        DWORD read = 0;
        if (!ReadFile(file.get(), &result.bytes[at], wanted, &read, nullptr) || read == 0) {
            result.outcome = FileReading::kUnreadable;
            result.bytes.clear();
            return result;
        }
        at += read;
    }
    return result;
}

}  // namespace kv
