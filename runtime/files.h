#pragma once
// Reading a whole file into memory, with a bound on its size.

#include <cstdint>
#include <string>

namespace kv {

enum class FileReading {
    kRead,
    kMissing,
    kUnreadable,
    kTooLarge,
};

struct FileBytes {
    FileReading outcome = FileReading::kRead;
    std::string bytes;
};

// The bytes of the file at `path` (an ANSI path), none unless all of them could be read; a file
// larger than `limit` bytes is not read at all.
FileBytes ReadWholeFile(const std::string& path, uint64_t limit);

}  // namespace kv
