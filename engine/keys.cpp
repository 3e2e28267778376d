#include "engine/keys.h"

#include <windows.h>

#include "engine/input.h"
#include "runtime/strings.h"

namespace kv {

extern constexpr KeyToken kKeyTokens[kKeyTokenCount] = {
    {"RETURN", "Return", kTokenReturn, VK_RETURN, false},
    {"STRG AN", "Strg an", kTokenCtrlDown, VK_CONTROL, false},
    {"STRG AUS", "Strg aus", kTokenCtrlUp, VK_CONTROL, false},
    {"TAB", nullptr, "Tab", VK_TAB, false},
    {"BACK", "Back", "BACK", VK_BACK, false},
    {"LEFT", "Left", "LEFT", VK_LEFT, true},
    {"RIGHT", "Right", "RIGHT", VK_RIGHT, true},
    {"UP", "Up", "UP", VK_UP, true},
    {"DOWN", "Down", "DOWN", VK_DOWN, true},
    {"ESCAPE", "Escape", "ESCAPE", VK_ESCAPE, false},
    {"HOME", "Home", "HOME", VK_HOME, true},
    {"END", "End", "END", VK_END, true},
    {"NEXT", "Next", "NEXT", VK_NEXT, true},
    {"DELETE", "Delete", "DELETE", VK_DELETE, true},
    {"F1", "F1", "F1", VK_F1, false},
    {"F2", "F2", "F2", VK_F2, false},
    {"F3", "F3", "F3", VK_F3, false},
    {"F4", "F4", "F4", VK_F4, false},
    {"F5", "F5", "F5", VK_F5, false},
    {"F6", "F6", "F6", VK_F6, false},
    {"F7", "F7", "F7", VK_F7, false},
    {"F8", "F8", "F8", VK_F8, false},
    {"F9", "F9", "F9", VK_F9, false},
    {"F10", "F10", "F10", VK_F10, false},
    {"F11", "F11", "F11", VK_F11, false},
    {"F12", "F12", "F12", VK_F12, false},
};

namespace {

constexpr std::array<const char*, kOfferedKeyCount> OfferedInTableOrder() {
    std::array<const char*, kOfferedKeyCount> offered{};
    size_t next = 0;
    for (const KeyToken& token : kKeyTokens) {
        if (token.offeredAs) {
            offered[next++] = token.offeredAs;
        }
    }
    return offered;
}

// A run of consecutive characters on consecutive keys, or a single character.
struct CharacterKeys {
    unsigned char first;
    unsigned char last;
    uint8_t firstKey;
    bool shift;
};

// The digit row's shifted symbols are those of the German layout.
constexpr CharacterKeys kCharacterTable[] = {
    {'a', 'z', 'A', false},
    {'A', 'Z', 'A', true},
    {'0', '9', '0', false},
    {'!', '!', '1', true},
    {'"', '"', '2', true},
    {static_cast<unsigned char>('§'), static_cast<unsigned char>('§'), '3', true},
    {'$', '$', '4', true},
    {'%', '%', '5', true},
    {'&', '&', '6', true},
    {'/', '/', '7', true},
    {'(', '(', '8', true},
    {')', ')', '9', true},
    {'=', '=', '0', true},
    {' ', ' ', VK_SPACE, false},
    {'\t', '\t', VK_TAB, false},
};

// Texts are in code page 1252 whatever the system's code page.
constexpr UINT kTextCodePage = 1252;
constexpr int16_t kNoLayoutKey = -1;
constexpr unsigned kShiftState = 1;
constexpr uint32_t kDeadKeyBit = 0x80000000u;

bool IsControlCharacter(wchar_t character) {
    return character < 0x20 || (character >= 0x7F && character <= 0x9F);
}

struct LayoutKey {
    bool found;
    uint8_t virtualKey;
    unsigned state;  // Shift 1, Ctrl 2, Alt 4
};

// The layout's key for a character; a dead key, which would wait for the next character instead
// of typing its own, counts as none.
LayoutKey KeyInLayout(char character, uintptr_t layout) {
    const InputSeam& input = Input();
    const int16_t answer = input.keyScan(character, layout);
    const auto virtualKey = static_cast<uint8_t>(answer & 0xFF);
    return {answer != kNoLayoutKey && !(input.keyCharacter(virtualKey, layout) & kDeadKeyBit),
            virtualKey, static_cast<unsigned>(answer >> 8) & 0xFF};
}

// AltGr is not sent as Ctrl+Alt: programs take that for a shortcut, and Wine never makes it AltGr.
KeyStroke LayoutStroke(char character, uintptr_t layout) {
    wchar_t unit = 0;
    MultiByteToWideChar(kTextCodePage, 0, &character, 1, &unit, 1);
    if (IsControlCharacter(unit)) {
        return {};
    }
    const LayoutKey key = KeyInLayout(character, layout);
    if (key.found && (key.state & ~kShiftState) == 0)
        return {key.virtualKey, key.state == kShiftState, false, 0};
    return {VK_PACKET, false, false, unit};
}

constexpr unsigned kAltGrState = 6;  // Ctrl+Alt

KeyStroke CharacterStroke(char character, uintptr_t layout) {
    const auto byte = static_cast<unsigned char>(character);
    for (const CharacterKeys& keys : kCharacterTable) {
        if (byte >= keys.first && byte <= keys.last) {
            return {static_cast<uint8_t>(keys.firstKey + (byte - keys.first)), keys.shift, false,
                    0};
        }
    }
    return LayoutStroke(character, layout);
}

}  // namespace

extern constexpr std::array<const char*, kOfferedKeyCount> kOfferedKeys = OfferedInTableOrder();
static_assert(kOfferedKeys.back() != nullptr, "every offered key has its row");

const KeyToken* FindKeyToken(const std::string& keyText) {
    const std::string upper = UpperCase(keyText);
    for (const KeyToken& token : kKeyTokens) {
        if (upper == token.matchedForm) {
            return &token;
        }
    }
    return nullptr;
}

KeyStroke StrokeOf(const std::string& key, uintptr_t layout) {
    if (key.size() == 1) {
        return CharacterStroke(key[0], layout);
    }
    if (IsCtrlToken(key)) {
        return {};
    }
    for (const KeyToken& token : kKeyTokens) {
        if (key == token.canonical) {
            return {token.virtualKey, false, token.extended, 0};
        }
    }
    return {};
}

KeyStroke KeysOnlyStroke(char character, uintptr_t layout) {
    const LayoutKey key = KeyInLayout(character, layout);
    const unsigned altGr = key.state & kAltGrState;
    if (!key.found || (altGr != 0 && altGr != kAltGrState))
        return {0, false, false, 0};
    return {key.virtualKey, (key.state & kShiftState) != 0, false, 0, altGr != 0};
}

bool IsCtrlToken(const std::string& key) {
    return key == kTokenCtrlDown || key == kTokenCtrlUp;
}

}  // namespace kv
