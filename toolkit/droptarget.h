#pragma once
// Drop targets of gadgets: the clipboard formats and private drop types a control accepts, with
// the drop effects for each. A drop is posted to the control's top-level window as message
// 13106 carrying a DropRecord (toolkit/window.h) with a copy of the dropped bytes.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/textcodec.h"
#include "toolkit/objects.h"

namespace kv {

struct DropRecord;

// Format number of a private drop type: the data's first 32-bit value names the type.
constexpr uint32_t kDropPrivateFormat = 512;

constexpr DWORD kDropEffectNone = 0;
constexpr DWORD kDropEffectCopy = 1;
constexpr DWORD kDropEffectMove = 2;
constexpr DWORD kDropEffectLink = 4;

// The effect of a drop, given the effects the source offers, the actions the matching format
// accepts and the key state (MK_SHIFT, MK_CONTROL, MK_ALT).
DWORD DropEffect(DWORD offered, DWORD accepted, DWORD keyState);

enum class DropFeedback {
    kAccepted,  // the data is over the control and would be taken
    kRefused,   // the data is over the control and would not be taken
    kLeave,     // the drag left the control or ended without a drop
    kDrop,      // the data was dropped
};
// Shows the feedback at `client`, a point in the control's client coordinates.
using DropFeedbackFunction = void (*)(HWND control, DropFeedback feedback, POINT client);

// Non-zero actions make `control` a drop target (registering it on first use) that accepts
// `format` (for kDropPrivateFormat: `privateType`) with those actions; actions 0 remove that
// entry, and the registration with the last one. Drops are posted with wParam `gadget`. While
// the control or its window is disabled it takes no drops, as it takes no other input.
void AcceptDrop(HWND control, ObjectNumber gadget, uint32_t format, uint32_t actions,
                uint32_t privateType, DropFeedbackFunction feedback);

// Asked inside the platform's drop, before the drag source learns the effect: false refuses the
// data, so that the source is told nothing was taken. It may leave what it made of the data as
// the record's payload. A refused drop still posts its drop event, with effect 0, so that the
// program can say why once the drag is over. Nothing it throws passes the platform's drop: a
// callback that throws refuses the data.
using DropCallback = bool (*)(ObjectNumber gadget, DropRecord& drop);
// For the drop target of `control` (AcceptDrop first); nullptr takes every drop that matches.
// Of a dropped block only its first `mostBytes` bytes are copied into the record.
void SetDropCallback(HWND control, DropCallback callback, size_t mostBytes);

// The paths of a dropped file list (CF_HDROP), in their order, wide as the file system has them
// (ANSI names converted from the ANSI code page).
std::vector<WideText> DroppedFiles(const DropRecord& drop);

// The record of a drop posted to `window` as `lParam`, handed out once. Any other value, such as
// one another program made up, gives nullptr and is never read.
std::unique_ptr<DropRecord> TakePostedDrop(HWND window, LPARAM lParam);
// Frees the records posted to `window`, which is going and will never fetch them.
void ForgetPostedDrops(HWND window);

}  // namespace kv
