#include "engine/record.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "engine/keys.h"
#include "engine/settings.h"
#include "runtime/delay.h"
#include "runtime/strings.h"
#include "runtime/textcodec.h"

namespace kv {

namespace {

struct HeldModifier {
    uint8_t virtualKey;
    uint8_t modifier;
};

// The hook names the side; the generic codes come from other sources.
constexpr HeldModifier kHeldModifiers[] = {
    {VK_LSHIFT, kModifierShift},  {VK_RSHIFT, kModifierShift},  {VK_SHIFT, kModifierShift},
    {VK_LCONTROL, kModifierCtrl}, {VK_RCONTROL, kModifierCtrl}, {VK_CONTROL, kModifierCtrl},
    {VK_LMENU, kModifierAlt},     {VK_RMENU, kModifierAlt},     {VK_MENU, kModifierAlt},
    {VK_LWIN, kModifierWin},      {VK_RWIN, kModifierWin},
};

// Their effect is in the characters the keys after them type.
constexpr uint8_t kLockKeys[] = {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL};

constexpr char kNoPause[] = "0";

int ModifierIndex(uint8_t virtualKey) {
    const auto found =
        std::find_if(std::begin(kHeldModifiers), std::end(kHeldModifiers),
                     [&](const HeldModifier& key) { return key.virtualKey == virtualKey; });
    return found == std::end(kHeldModifiers) ? -1
                                             : static_cast<int>(found - std::begin(kHeldModifiers));
}

bool Printable(const WideText& characters) {
    return !characters.empty() &&
           std::all_of(characters.begin(), characters.end(),
                       [](wchar_t unit) { return unit >= 0x20 && (unit < 0x7F || unit > 0x9F); });
}

bool IsHighSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

// The key's name in the step list; nullptr for none. Ctrl is no key of its own in a Step.
const char* NamedKey(uint8_t virtualKey) {
    for (const KeyToken& token : kKeyTokens) {
        if (token.virtualKey == virtualKey && virtualKey != VK_CONTROL)
            return token.offeredAs ? token.offeredAs : token.canonical;
    }
    return nullptr;
}

}  // namespace

Recorder::Recorder(RecordOptions options, int64_t startUs)
    : options_(std::move(options)), anchorUs_(startUs) {}

bool Recorder::Add(const RecordedKey& key) {
    if (stopped_)
        return false;
    if (key.flags & kRecordedInjected)
        return true;
    const uint8_t modifiers = Modifiers();
    const int modifier = ModifierIndex(key.virtualKey);
    if (key.flags & kRecordedUp) {
        if (modifier >= 0)
            held_ &= ~(1u << modifier);
        if (chordOpen_ && !(Modifiers() & kModifierCtrl)) {
            EndText();
            Emit(kTokenCtrlUp, key.timeUs);
            chordOpen_ = false;
        }
        anchorUs_ = key.timeUs;
        return true;
    }
    if (modifier >= 0) {
        if (kHeldModifiers[modifier].modifier == kModifierCtrl && !(modifiers & kModifierCtrl))
            ctrlDownUs_ = key.timeUs;
        held_ |= 1u << modifier;
        return true;
    }
    if (std::find(std::begin(kLockKeys), std::end(kLockKeys), key.virtualKey) !=
        std::end(kLockKeys))
        return true;
    if (key.virtualKey == options_.stop.key &&
        (modifiers & options_.stop.modifiers) == options_.stop.modifiers) {
        stopped_ = true;
        return false;
    }
    Press(key, modifiers);
    return true;
}

uint8_t Recorder::Modifiers() const {
    uint8_t modifiers = 0;
    for (size_t index = 0; index < std::size(kHeldModifiers); ++index) {
        if (held_ & (1u << index))
            modifiers |= kHeldModifiers[index].modifier;
    }
    return modifiers;
}

Recording Recorder::Finish() {
    EndText();
    if (chordOpen_) {
        Emit(kTokenCtrlUp, anchorUs_);
        chordOpen_ = false;
    }
    return std::move(recording_);
}

void Recorder::Press(const RecordedKey& key, uint8_t modifiers) {
    const bool altGr =
        (modifiers & kModifierCtrl) && (modifiers & kModifierAlt) && !(modifiers & kModifierWin);
    const bool plainTyping = (modifiers & ~kModifierShift) == 0 || altGr;
    if (plainTyping && key.dead) {
        if (!textOpen_ && deadUs_ < 0) {
            deadUs_ = key.timeUs;
            deadAnchorUs_ = anchorUs_;
        }
        return;
    }
    if (plainTyping && Printable(key.characters)) {
        Type(key.characters, key.timeUs);
        return;
    }
    EndText();
    deadUs_ = -1;
    const char* name = NamedKey(key.virtualKey);
    std::string part = name ? name : std::string();
    if (!name && Printable(key.plain) &&
        key.plain.size() == 1 + static_cast<size_t>(IsHighSurrogate(key.plain[0]))) {
        const AnsiText character = Utf16ToAnsi(key.plain.data(), key.plain.size());
        if (!character.complete) {
            recording_.refused.push_back(character.refused);
            anchorUs_ = key.timeUs;
            return;
        }
        part = character.text;
    }
    if (part.empty()) {
        recording_.leftOut.push_back(
            {key.virtualKey, key.scanCode, (key.flags & kRecordedExtended) != 0});
        anchorUs_ = key.timeUs;
        return;
    }
    // A character key carries its Shift along; Ctrl is what "Strg an" expresses.
    const uint8_t dropped = modifiers & ~kModifierCtrl & (name ? 0xFF : ~kModifierShift);
    if (dropped)
        recording_.simplified.push_back(ChordName(modifiers, part));
    if ((modifiers & kModifierCtrl) && !chordOpen_) {
        Emit(kTokenCtrlDown, ctrlDownUs_);
        chordOpen_ = true;
    }
    Emit(part, key.timeUs);
}

void Recorder::Type(const WideText& characters, int64_t timeUs) {
    for (size_t index = 0; index < characters.size(); ++index) {
        const size_t units =
            IsHighSurrogate(characters[index]) && index + 1 < characters.size() ? 2 : 1;
        const AnsiText character = Utf16ToAnsi(&characters[index], units);
        index += units - 1;
        if (!character.complete) {
            recording_.refused.push_back(character.refused);
            EndText();
            continue;
        }
        if (!textOpen_) {
            if (deadUs_ >= 0)
                anchorUs_ = deadAnchorUs_;
            Emit(std::string(), deadUs_ >= 0 ? deadUs_ : timeUs);
            textOpen_ = true;
        }
        recording_.steps.back().keyText += character.text;
        deadUs_ = -1;
    }
    deadUs_ = -1;
    anchorUs_ = timeUs;
}

void Recorder::Emit(const std::string& keyText, int64_t timeUs) {
    recording_.steps.push_back({Pause(timeUs), keyText});
    anchorUs_ = timeUs;
}

// A text that reads as a key name ("End", "Up") is typed as a text all the same: its last
// character goes into a Step of its own.
void Recorder::EndText() {
    if (!textOpen_)
        return;
    textOpen_ = false;
    std::string& text = recording_.steps.back().keyText;
    if (!FindKeyToken(text))
        return;
    const std::string last(1, text.back());
    text.pop_back();
    recording_.steps.push_back({kNoPause, last});
}

std::string Recorder::Pause(int64_t timeUs) const {
    if (!options_.realPauses)
        return options_.fixedPause;
    // Unsigned: a signed 64-bit division would draw in another routine of the 32-bit build.
    constexpr uint64_t kMsInUs = kMicrosecondsPerMs;
    const uint64_t pauseUs = timeUs > anchorUs_ ? static_cast<uint64_t>(timeUs - anchorUs_) : 0;
    return DecimalText(static_cast<int64_t>((pauseUs + kMsInUs / 2) / kMsInUs));
}

Recording ConvertRecording(const std::vector<RecordedKey>& keys, const RecordOptions& options,
                           int64_t startUs) {
    Recorder recorder(options, startUs);
    for (const RecordedKey& key : keys) {
        if (!recorder.Add(key))
            break;
    }
    return recorder.Finish();
}

}  // namespace kv
