#pragma once
// The key vocabulary of a Step: the named keys (key tokens) and the typeable characters.

#include <array>
#include <cstdint>
#include <string>

namespace kv {

inline constexpr char kTokenCtrlDown[] = "Strg an";
inline constexpr char kTokenCtrlUp[] = "Strg aus";
inline constexpr char kTokenReturn[] = "RETURN";

struct KeyToken {
    const char* matchedForm;  // the key/text after upper-casing
    const char* offeredAs;    // in the key field's list, nullptr when not offered
    const char* canonical;    // the form handed to SendKey
    uint8_t virtualKey;
    bool extended;  // an E0-prefixed key, which without the flag arrives as a keypad key
};

constexpr int kKeyTokenCount = 26;
extern const KeyToken kKeyTokens[kKeyTokenCount];

// The row a key/text names (upper-cased, compared whole, not trimmed), nullptr for a text Step.
const KeyToken* FindKeyToken(const std::string& keyText);

// The key field's list, in its order.
constexpr int kOfferedKeyCount = 25;
extern const std::array<const char*, kOfferedKeyCount> kOfferedKeys;

// What SendKey sends for a canonical token or a one-character text; virtualKey 0 for nothing
// ("Strg an" and "Strg aus" included: they only move Ctrl). A character outside the character
// table is typed as the target's keyboard layout types it: with its key where that needs no
// more than Shift, else as a character of its own (virtualKey VK_PACKET).
struct KeyStroke {
    uint8_t virtualKey;
    bool shift;
    bool extended;
    wchar_t character;  // for VK_PACKET
    bool altGr = false;
};
// `layout` is the seam's targetLayout.
KeyStroke StrokeOf(const std::string& key, uintptr_t layout);

// A character by the layout's own keys alone, with Shift and AltGr as it needs them; virtualKey 0
// when the layout has no key for it, or only a dead one (which would wait for the next character).
KeyStroke KeysOnlyStroke(char character, uintptr_t layout);

// "Strg an" or "Strg aus": the two tokens that move only Ctrl.
bool IsCtrlToken(const std::string& key);

}  // namespace kv
