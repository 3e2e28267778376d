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
// ImageID of an image caught from an icon file, as the icon handle the tray icons take.
inline HICON ImageIcon(ObjectNumber number) {
    return static_cast<HICON>(ImageID(number));
}
int32_t ImageWidth(ObjectNumber number);
int32_t ImageHeight(ObjectNumber number);
int32_t ImageDepth(ObjectNumber number);
void FreeImage(ObjectNumber number);

}  // namespace kv
