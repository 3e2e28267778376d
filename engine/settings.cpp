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

bool SameName(const std::string& text, const char* name) {
    return UpperCase(text) == UpperCase(name);
}

std::string KeyName(uint8_t key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key < VK_F1 + kFunctionKeyCount)
        return Concat({"F", DecimalText(key - VK_F1 + 1)});
    for (const NamedKey& named : kNamedKeys) {
        if (named.virtualKey == key)
            return named.name;
    }
    return std::string();
}

uint8_t KeyOfName(const std::string& name) {
    const std::string upper = UpperCase(name);
    if (upper.size() == 1 && ((upper[0] >= 'A' && upper[0] <= 'Z') || IsDigit(upper[0])))
        return static_cast<uint8_t>(upper[0]);
    const bool digits = upper.size() > 1 && upper.size() <= 3 && upper[0] == 'F' &&
                        std::all_of(upper.begin() + 1, upper.end(), IsDigit) && upper[1] != '0';
    if (digits && StringToInteger(upper.substr(1)) <= kFunctionKeyCount)
        return static_cast<uint8_t>(VK_F1 + StringToInteger(upper.substr(1)) - 1);
    for (const NamedKey& named : kNamedKeys) {
        if (SameName(name, named.name))
            return named.virtualKey;
    }
    return 0;
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
}

// One "name=value" line into `options`; false when it names nothing known or its value is unusable.
bool ParseSetting(const std::string& name, const std::string& value, RunOptions& options) {
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

bool ParseTiming(const std::string& text, int32_t& ms) {
    if (text.empty() || text.size() > 4 || !std::all_of(text.begin(), text.end(), IsDigit))
        return false;
    const int32_t value = StringToInteger(text);
    if (value > kLongestTimingMs)
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

bool ParseChord(const std::string& name, Chord& chord) {
    Chord parsed;
    size_t start = 0;
    for (size_t plus; (plus = name.find('+', start)) != std::string::npos; start = plus + 1) {
        const std::string part = name.substr(start, plus - start);
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
    return Concat({"[",
                   kSettingsSection,
                   "]",
                   kLineEnd,
                   kTriggerName,
                   "=",
                   ChordName(options.trigger),
                   kLineEnd,
                   kStopName,
                   "=",
                   ChordName(options.stop),
                   kLineEnd,
                   kHoldName,
                   "=",
                   DecimalText(options.holdMs),
                   kLineEnd,
                   kGapName,
                   "=",
                   DecimalText(options.gapMs),
                   kLineEnd,
                   kKeysName,
                   "=",
                   options.keys == KeyMode::kLayout ? kLayoutName : kScanCodesName,
                   kLineEnd});
}

ParsedSettings ParseSettings(const std::string& text) {
    ParsedSettings parsed;
    size_t stopLine = 0;
    size_t number = 0;
    for (size_t start = 0; start < text.size(); ++number) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        const std::string line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == ';' || line[0] == '#' ||
            SameName(line, Concat({"[", kSettingsSection, "]"}).c_str()))
            continue;
        const size_t equals = line.find('=');
        const std::string name = Trimmed(line.substr(0, equals));
        if (equals == std::string::npos ||
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
        parsed.badLines.push_back(stopLine);
        std::sort(parsed.badLines.begin(), parsed.badLines.end());
    }
    return parsed;
}

}  // namespace kv
