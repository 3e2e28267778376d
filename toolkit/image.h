#pragma once
// Numbered images made from complete icon or bitmap files held in memory.

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "toolkit/objects.h"

namespace kv {

// `size` is the length of the file image; nothing past it is ever read.
intptr_t CatchImage(ObjectNumber number, const void* data, size_t size);
HANDLE ImageID(ObjectNumber number);
int32_t ImageWidth(ObjectNumber number);
int32_t ImageHeight(ObjectNumber number);
int32_t ImageDepth(ObjectNumber number);
void FreeImage(ObjectNumber number);

}  // namespace kv
