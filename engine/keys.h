#pragma once
// The key vocabulary of a Step: the named keys (key tokens) and the typeable characters.

#include <cstdint>
#include <string>

namespace kv {

constexpr char kTokenCtrlDown[] = "Strg an";
constexpr char kTokenCtrlUp[] = "Strg aus";
constexpr char kTokenReturn[] = "RETURN";

struct KeyToken {
    const char* matchedForm;  // the key/text after upper-casing
    const char* offeredAs;    // in the key field's list, nullptr when not offered
    const char* canonical;    // the form handed to SendKey
    uint8_t virtualKey;
};

constexpr int kKeyTokenCount = 26;
extern const KeyToken kKeyTokens[kKeyTokenCount];

// The row a key/text names (upper-cased, compared whole, not trimmed), nullptr for a text Step.
const KeyToken* FindKeyToken(const std::string& keyText);

// The key field's list, in its order.
constexpr int kOfferedKeyCount = 25;
extern const char* const kOfferedKeys[kOfferedKeyCount];

// The main key SendKey presses for a canonical token or a one-character text, 0 for none
// ("Strg an" and "Strg aus" included: they only move Ctrl).
uint8_t VirtualKeyOf(const std::string& key);
// One character of the Shift set: the capitals and the digit row's shifted symbols.
bool NeedsShift(const std::string& key);

}  // namespace kv
