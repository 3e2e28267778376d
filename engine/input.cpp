#include "engine/input.h"

#include <windows.h>

#include "runtime/delay.h"

namespace kv {

namespace {

void PlatformKeyEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) {
    keybd_event(virtualKey, scanCode, flags, 0);
}

uint8_t PlatformScanCode(uint8_t virtualKey) {
    return static_cast<uint8_t>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
}

int16_t PlatformAsyncKeyState(int virtualKey) {
    return GetAsyncKeyState(virtualKey);
}

void PlatformYield() {
    if (!SwitchToThread()) {
        Sleep(0);
    }
}

constexpr InputSeam kPlatformInput = {PlatformKeyEvent, PlatformScanCode, PlatformAsyncKeyState,
                                      PreciseNow,       WaitUntil,        PlatformYield};

InputSeam currentInput = kPlatformInput;

}  // namespace

const InputSeam& PlatformInput() {
    return kPlatformInput;
}

const InputSeam& Input() {
    return currentInput;
}

void SetInput(const InputSeam& seam) {
    currentInput = seam;
}

}  // namespace kv
