#include "engine/input.h"

#include <windows.h>

#include "runtime/delay.h"

namespace kv {

namespace {

// Keys go to the foreground window, so they are laid out as its thread's layout types them.
uintptr_t PlatformTargetLayout() {
    return reinterpret_cast<uintptr_t>(
        GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr)));
}

HKL Layout(uintptr_t layout) {
    return reinterpret_cast<HKL>(layout);
}

uint32_t PlatformKeyEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) {
    INPUT event = {};
    event.type = INPUT_KEYBOARD;
    event.ki.wVk = virtualKey;
    event.ki.wScan = scanCode;
    event.ki.dwFlags = flags;
    return SendInput(1, &event, sizeof event);
}

uint8_t PlatformScanCode(uint8_t virtualKey, uintptr_t layout) {
    return static_cast<uint8_t>(MapVirtualKeyExA(virtualKey, MAPVK_VK_TO_VSC, Layout(layout)));
}

int16_t PlatformKeyScan(char character, uintptr_t layout) {
    return VkKeyScanExA(character, Layout(layout));
}

uint32_t PlatformKeyCharacter(uint8_t virtualKey, uintptr_t layout) {
    return MapVirtualKeyExA(virtualKey, MAPVK_VK_TO_CHAR, Layout(layout));
}

uint32_t PlatformCharacterEvent(wchar_t character, uint32_t flags) {
    INPUT event = {};
    event.type = INPUT_KEYBOARD;
    event.ki.wScan = character;
    event.ki.dwFlags = KEYEVENTF_UNICODE | flags;
    return SendInput(1, &event, sizeof event);
}

int16_t PlatformAsyncKeyState(int virtualKey) {
    return GetAsyncKeyState(virtualKey);
}

// This thread reads no key messages, so its key state follows the system's. Under Wine it hears
// only of changes after the thread's input was made: with the program's windows, at its start.
bool PlatformCapsLock() {
    return (GetKeyState(VK_CAPITAL) & 1) != 0;
}

constexpr InputSeam kPlatformInput = {PlatformKeyEvent,
                                      PlatformScanCode,
                                      PlatformAsyncKeyState,
                                      PreciseNow,
                                      WaitUntil,
                                      WaitUntilCoarse,
                                      PlatformKeyScan,
                                      PlatformKeyCharacter,
                                      PlatformCharacterEvent,
                                      PlatformTargetLayout,
                                      PlatformCapsLock};

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
