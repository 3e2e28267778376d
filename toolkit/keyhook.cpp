#include "toolkit/keyhook.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <utility>

namespace kv {

namespace {

std::vector<HookedKey> hookedKeys;
HHOOK installedHook = nullptr;

constexpr BYTE kKeyDown = 0x80;
constexpr BYTE kToggled = 0x01;
constexpr int kTypedCapacity = 8;
// ToUnicodeEx leaves the kernel's dead-key state alone (Windows 10 1607 and newer).
constexpr UINT kKeepKeyboardState = 0x4;

// Each generic modifier follows its two sides.
constexpr BYTE kSides[][3] = {{VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
                              {VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
                              {VK_MENU, VK_LMENU, VK_RMENU}};
constexpr BYTE kLockKeys[] = {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL};
constexpr BYTE kChordKeys[] = {VK_CONTROL, VK_LCONTROL, VK_RCONTROL, VK_MENU,
                               VK_LMENU,   VK_RMENU,    VK_LWIN,     VK_RWIN};

WideText Translate(const HookedKey& key, const BYTE* state, HKL layout, UINT flags, int* result) {
    wchar_t typed[kTypedCapacity] = {};
    *result =
        ToUnicodeEx(key.virtualKey, key.scanCode, state, typed, kTypedCapacity, flags, layout);
    // A dead key leaves its spacing form in the buffer.
    return WideText(typed, typed + (*result < 0 ? 0 : *result));
}

}  // namespace

KeyboardHook::KeyboardHook()
    : hook_(installedHook ? nullptr
                          : SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHookProcedure,
                                              GetModuleHandleA(nullptr), 0)) {
    if (hook_)
        installedHook = hook_;
}

KeyboardHook::~KeyboardHook() {
    if (!hook_)
        return;
    UnhookWindowsHookEx(hook_);
    installedHook = nullptr;
}

bool KeyboardHookInstalled() {
    return installedHook != nullptr;
}

std::vector<HookedKey> TakeHookedKeys() {
    return std::exchange(hookedKeys, {});
}

size_t HookedKeyCount() {
    return hookedKeys.size();
}

LRESULT CALLBACK KeyboardHookProcedure(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        // Nothing may leave a procedure the system calls: out of memory, the event is lost.
        try {
            hookedKeys.push_back({event->vkCode, event->scanCode, event->flags, event->time});
        } catch (const std::bad_alloc&) {
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HKL ForegroundLayout() {
    return GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr));
}

KeyTyping::KeyTyping() {
    for (const BYTE lock : kLockKeys)
        state_[lock] = GetKeyState(lock) & kToggled;
}

KeyTyping::Typed KeyTyping::Follow(const HookedKey& key, HKL layout) {
    const BYTE virtualKey = static_cast<BYTE>(key.virtualKey);
    const bool up = key.flags & LLKHF_UP;
    if (!up && (state_[virtualKey] & kKeyDown) == 0 &&
        std::find(std::begin(kLockKeys), std::end(kLockKeys), virtualKey) != std::end(kLockKeys))
        state_[virtualKey] ^= kToggled;
    state_[virtualKey] = (state_[virtualKey] & kToggled) | (up ? 0 : kKeyDown);
    for (const auto& sides : kSides)
        state_[sides[0]] = (state_[sides[1]] | state_[sides[2]]) & kKeyDown;
    Typed typed;
    if (up)
        return typed;
    int result = 0;
    typed.characters = Translate(key, state_, layout, 0, &result);
    typed.dead = result < 0;
    if (std::any_of(std::begin(kChordKeys), std::end(kChordKeys),
                    [&](BYTE chordKey) { return state_[chordKey] & kKeyDown; })) {
        BYTE plain[256];
        std::copy(std::begin(state_), std::end(state_), plain);
        for (const BYTE chordKey : kChordKeys)
            plain[chordKey] = 0;
        typed.plain = Translate(key, plain, layout, kKeepKeyboardState, &result);
    }
    return typed;
}

}  // namespace kv
