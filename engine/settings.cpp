#include "engine/settings.h"

#include <windows.h>

#include <algorithm>

#include "runtime/strings.h"

namespace kv {

extern constexpr ModifierKey kModifierKeys[kModifierCount] = {
    {kModifierCtrl, "Strg", VK_CONTROL, 0},
    {kModifierAlt, "Alt", VK_MENU, 0},
    {kModifierShift, "Umschalt", VK_SHIFT, 0},
    {kModifierWin, "Win", VK_LWIN, VK_RWIN},
};

namespace {

struct NamedKey {
    const char* name;
    uint8_t virtualKey;
};

// Beside these: a letter or digit as itself and "F1" to "F24".
constexpr NamedKey kNamedKeys[] = {
    {"Return", VK_RETURN},   {"Tab", VK_TAB},        {"Back", VK_BACK},   {"Left", VK_LEFT},
    {"Right", VK_RIGHT},     {"Up", VK_UP},          {"Down", VK_DOWN},   {"Escape", VK_ESCAPE},
    {"Home", VK_HOME},       {"End", VK_END},        {"Next", VK_NEXT},   {"Prior", VK_PRIOR},
    {"Delete", VK_DELETE},   {"Einfg", VK_INSERT},   {"Pause", VK_PAUSE}, {"Rollen", VK_SCROLL},
    {"Leertaste", VK_SPACE}, {"Druck", VK_SNAPSHOT},
};
constexpr int kFunctionKeyCount = 24;

constexpr char kTriggerName[] = "Trigger";
constexpr char kStopName[] = "Stop";
constexpr char kHoldName[] = "HoldMs";
constexpr char kGapName[] = "GapMs";
constexpr char kKeysName[] = "Keys";
constexpr char kLayoutName[] = "Layout";
constexpr char kScanCodesName[] = "Scancodes";
constexpr char kLineEnd[] = "\r\n";

bool IsDigit(char character) {
    return character >= '0' && character <= '9';
}

char Upper(char character) {
    return character >= 'a' && character <= 'z' ? static_cast<char>(character - 'a' + 'A')
                                                : character;
}

bool SameName(std::string_view text, std::string_view name) {
    return text.size() == name.size() &&
           std::equal(text.begin(), text.end(), name.begin(),
                      [](char a, char b) { return Upper(a) == Upper(b); });
}

// The value of one to `most` decimal digits and nothing else, -1 for any other text.
int32_t DigitsValue(std::string_view text, size_t most) {
    if (text.empty() || text.size() > most)
        return -1;
    int32_t value = 0;
    for (const char character : text) {
        if (!IsDigit(character))
            return -1;
        value = value * 10 + (character - '0');
    }
    return value;
}

std::string KeyName(uint8_t key) {
    if ((key >= 'A' && key <= 'Z') || IsDigit(static_cast<char>(key)))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key < VK_F1 + kFunctionKeyCount)
        return Concat({"F", DecimalText(key - VK_F1 + 1)});
    for (const NamedKey& named : kNamedKeys) {
        if (named.virtualKey == key)
            return named.name;
    }
    return std::string();
}

uint8_t KeyOfName(std::string_view name) {
    const char first = name.empty() ? '\0' : Upper(name[0]);
    if (name.size() == 1 && ((first >= 'A' && first <= 'Z') || IsDigit(first)))
        return static_cast<uint8_t>(first);
    if (first == 'F' && name.size() > 1 && name[1] != '0') {
        const int32_t number = DigitsValue(name.substr(1), 2);
        if (number >= 1 && number <= kFunctionKeyCount)
            return static_cast<uint8_t>(VK_F1 + number - 1);
    }
    for (const NamedKey& named : kNamedKeys) {
        if (SameName(name, named.name))
            return named.virtualKey;
    }
    return 0;
}

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
}

// One "name=value" line into `options`; false when it names nothing known or its value is unusable.
bool ParseSetting(std::string_view name, std::string_view value, RunOptions& options) {
    Chord chord;
    if (SameName(name, kTriggerName) && ParseChord(value, chord) && chord.modifiers) {
        options.trigger = chord;
        return true;
    }
    if (SameName(name, kStopName) && ParseChord(value, chord)) {
        options.stop = chord;
        return true;
    }
    if (SameName(name, kHoldName))
        return ParseTiming(value, options.holdMs);
    if (SameName(name, kGapName))
        return ParseTiming(value, options.gapMs);
    if (SameName(name, kKeysName) &&
        (SameName(value, kLayoutName) || SameName(value, kScanCodesName))) {
        options.keys = SameName(value, kLayoutName) ? KeyMode::kLayout : KeyMode::kScanCodes;
        return true;
    }
    return false;
}

}  // namespace

bool ParseTiming(std::string_view text, int32_t& ms) {
    const int32_t value = DigitsValue(text, 4);
    if (value < 0 || value > kLongestTimingMs)
        return false;
    ms = value;
    return true;
}

std::string ChordName(uint8_t modifiers, const std::string& key) {
    std::string name;
    for (const ModifierKey& modifier : kModifierKeys) {
        if (modifiers & modifier.bit)
            name.append(modifier.name).append(1, '+');
    }
    return name.append(key);
}

std::string ChordName(const Chord& chord) {
    return ChordName(chord.modifiers, KeyName(chord.key));
}

bool ParseChord(std::string_view name, Chord& chord) {
    Chord parsed;
    size_t start = 0;
    for (size_t plus; (plus = name.find('+', start)) != std::string_view::npos; start = plus + 1) {
        const std::string_view part = name.substr(start, plus - start);
        const auto modifier =
            std::find_if(std::begin(kModifierKeys), std::end(kModifierKeys),
                         [&](const ModifierKey& known) { return SameName(part, known.name); });
        if (modifier == std::end(kModifierKeys) || (parsed.modifiers & modifier->bit))
            return false;
        parsed.modifiers |= modifier->bit;
    }
    parsed.key = KeyOfName(name.substr(start));
    if (!parsed.key)
        return false;
    chord = parsed;
    return true;
}

SettingsField InvalidField(const RunOptions& options) {
    if (!options.trigger.modifiers || !options.trigger.key || options.trigger == options.stop)
        return SettingsField::kTrigger;
    if (!options.stop.key)
        return SettingsField::kStop;
    if (options.holdMs < 0 || options.holdMs > kLongestTimingMs)
        return SettingsField::kHoldMs;
    if (options.gapMs < 0 || options.gapMs > kLongestTimingMs)
        return SettingsField::kGapMs;
    return SettingsField::kNone;
}

std::string FormatSettings(const RunOptions& options) {
    const std::string lines[][2] = {
        {kTriggerName, ChordName(options.trigger)},
        {kStopName, ChordName(options.stop)},
        {kHoldName, DecimalText(options.holdMs)},
        {kGapName, DecimalText(options.gapMs)},
        {kKeysName, options.keys == KeyMode::kLayout ? kLayoutName : kScanCodesName},
    };
    std::string text = Concat({"[", kSettingsSection, "]", kLineEnd});
    for (const auto& [name, value] : lines)
        text += Concat({name, "=", value, kLineEnd});
    return text;
}

ParsedSettings ParseSettings(const std::string& text) {
    ParsedSettings parsed;
    size_t stopLine = 0;
    size_t number = 0;
    const std::string_view all = text;
    for (size_t start = 0; start < all.size(); ++number) {
        size_t end = all.find('\n', start);
        end = end == std::string_view::npos ? all.size() : end;
        const std::string_view line = Trimmed(all.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == ';' || line[0] == '#' ||
            (line.front() == '[' && line.back() == ']' &&
             SameName(line.substr(1, line.size() - 2), kSettingsSection)))
            continue;
        const size_t equals = line.find('=');
        const std::string_view name = Trimmed(line.substr(0, equals));
        if (equals == std::string_view::npos ||
            !ParseSetting(name, Trimmed(line.substr(equals + 1)), parsed.options)) {
            parsed.badLines.push_back(number + 1);
            continue;
        }
        if (SameName(name, kStopName))
            stopLine = number + 1;
    }
    // A stop chord that is the trigger would stop every run it starts.
    if (parsed.options.trigger == parsed.options.stop) {
        parsed.options.stop = RunOptions{}.stop;
        std::vector<size_t>& bad = parsed.badLines;
        bad.insert(std::upper_bound(bad.begin(), bad.end(), stopLine), stopLine);
    }
    return parsed;
}

}  // namespace kv
