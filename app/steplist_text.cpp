#include "app/steplist_text.h"

#include <windows.h>
#include <oleidl.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "app/numbers.h"
#include "app/playback.h"
#include "engine/steptext.h"
#include "runtime/files.h"
#include "runtime/textcodec.h"
#include "toolkit/clipboard.h"
#include "toolkit/gadget.h"
#include "toolkit/listicon.h"
#include "toolkit/requester.h"
#include "toolkit/window.h"

namespace kv {
namespace {

constexpr int32_t kAppendRow = -1;
constexpr char kNothingTaken[] = " Nichts wurde übernommen.";

// Steps to insert, or why none are.
struct Taking {
    std::vector<StepText> rows;
    std::string refusal;
};

// Empty when the whole text could be held.
std::string RefusedCharacter(const AnsiText& text) {
    if (text.complete)
        return {};
    return "in Zeile " + std::to_string(LineAt(text.text, text.text.size())) + " das Zeichen " +
           CharacterName(text.refused) + ", das die Liste nicht aufnehmen kann";
}

Taking FromText(const AnsiText& text) {
    Taking taking;
    const std::string refused = RefusedCharacter(text);
    if (!refused.empty())
        taking.refusal = "Der Text enthält " + refused + "." + kNothingTaken;
    else
        taking.rows = ParseStepText(text.text);
    return taking;
}

// Empty when the file's Steps were added to `rows`.
std::string ReadStepFile(const std::string& path, std::vector<StepText>& rows) {
    const FileBytes file = ReadWholeFile(path, kLargestStepFile);
    switch (file.outcome) {
        case FileReading::kMissing:
            return "wurde nicht gefunden";
        case FileReading::kUnreadable:
            return "kann nicht gelesen werden";
        case FileReading::kTooLarge:
            return "ist größer als 16 MiB";
        case FileReading::kRead:
            break;
    }
    const AnsiText text = DecodeTextBytes(file.bytes);
    if (text.text.find('\0') != std::string::npos)
        return "enthält Nullbytes";
    const std::string refused = RefusedCharacter(text);
    if (!refused.empty())
        return "enthält " + refused;
    const std::vector<StepText> steps = ParseStepText(text.text);
    rows.insert(rows.end(), steps.begin(), steps.end());
    return {};
}

Taking FromFiles(const std::vector<std::string>& paths) {
    Taking taking;
    for (const std::string& path : paths) {
        const std::string reason = ReadStepFile(path, taking.rows);
        if (!reason.empty()) {
            taking.rows.clear();
            taking.refusal = "Die Datei „" + path + "“ " + reason + "." + kNothingTaken;
            break;
        }
    }
    return taking;
}

// Dropped text ends at its first NUL; the block may be larger than the text.
template <class Text>
Text DroppedText(const DropRecord& drop) {
    using Unit = typename Text::value_type;
    Text text(drop.data.size() / sizeof(Unit), Unit{});
    std::memcpy(text.data(), drop.data.data(), text.size() * sizeof(Unit));
    text.resize(static_cast<size_t>(std::find(text.begin(), text.end(), Unit{}) - text.begin()));
    return text;
}

Taking FromDrop(const DropRecord& drop) {
    if (drop.format == CF_HDROP)
        return FromFiles(DroppedFiles(drop));
    if (drop.format == CF_UNICODETEXT) {
        const WideText text = DroppedText<WideText>(drop);
        return FromText(Utf16ToAnsi(text.data(), text.size()));
    }
    AnsiText text;
    text.text = DroppedText<std::string>(drop);
    return FromText(text);
}

bool TakesDrop(ObjectNumber, const DropRecord& drop) {
    return !FromDrop(drop).rows.empty();
}

// Everything or, with a refusal, nothing but its message.
void Insert(const Taking& taking, int32_t position) {
    if (!taking.refusal.empty()) {
        MessageRequester(WindowID(kMainWindow), kMessageTitle, taking.refusal.c_str());
        return;
    }
    std::vector<std::string> texts;
    texts.reserve(taking.rows.size());
    for (const StepText& row : taking.rows)
        texts.push_back(row.pause + '\n' + row.keyText);
    const int32_t count = CountGadgetItems(kGadgetStepList);
    if (position == kAppendRow || position > count)
        position = count;
    if (AddGadgetItems(kGadgetStepList, position, texts) > 0)
        SetGadgetState(kGadgetStepList, position);
}

}  // namespace

void EnableStepListDrops() {
    // The first format a source offers in this order wins: files, then Unicode text, which
    // keeps every character the source has, then ANSI text.
    for (const UINT format : {CF_TEXT, CF_UNICODETEXT, CF_HDROP})
        EnableGadgetDrop(kGadgetStepList, format, DROPEFFECT_COPY);
    SetGadgetDropCallback(kGadgetStepList, TakesDrop);
}

void CopyStepList() {
    SetClipboardText(WindowID(kMainWindow), FormatStepText(ReadStepRows()));
}

void PasteSteps() {
    const std::optional<AnsiText> text = GetClipboardText(WindowID(kMainWindow));
    if (!text)
        return;
    const int32_t selected = GetGadgetState(kGadgetStepList);
    Insert(FromText(*text), selected == kNoRow ? kAppendRow : selected + 1);
}

void TakeDroppedSteps() {
    const DropRecord* drop = EventDropData();
    if (!drop)
        return;
    const Taking taking = FromDrop(*drop);
    if (taking.rows.empty() && taking.refusal.empty())
        return;
    const int32_t position =
        drop->format == CF_HDROP ? kAppendRow : GadgetItemAt(kGadgetStepList, drop->x, drop->y);
    Insert(taking, position);
}

void OpenStepFiles(const std::vector<std::string>& paths) {
    Insert(FromFiles(paths), kAppendRow);
}

}  // namespace kv
