#pragma once
// Reading a whole file into memory, with a bound on its size.

#include <cstdint>
#include <string>

#include "runtime/textcodec.h"

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

// The bytes of the file at `path` (wide, so that every name the file system holds is reached
// as it is), none unless all of them could be read; a file larger than `limit` bytes is not read.
FileBytes ReadWholeFile(const WideText& path, uint64_t limit);

}  // namespace kv
