#include "app/steplist_text.h"

#include <windows.h>
#include <oleidl.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "app/numbers.h"
#include "app/playback.h"
#include "engine/steptext.h"
#include "runtime/files.h"
#include "runtime/strings.h"
#include "runtime/textcodec.h"
#include "toolkit/clipboard.h"
#include "toolkit/gadget.h"
#include "toolkit/listicon.h"
#include "toolkit/requester.h"
#include "toolkit/window.h"

namespace kv {
namespace {

constexpr char kNothingTaken[] = " Nichts wurde übernommen.";
constexpr char kNotCopied[] = " Die Liste wurde nicht kopiert.";
constexpr char kTooLarge[] = "ist größer als 16 MiB";
constexpr char kOutOfMemory[] = "Der Speicher reicht dafür nicht aus.";
constexpr char kClipboardBusy[] =
    "Die Zwischenablage wird gerade von einem anderen Programm benutzt.";
// Room for the NUL that ends a dropped text.
constexpr size_t kLargestDrop = kLargestStepFile + sizeof(wchar_t);
// Texts are parsed a slice at a time, so that one of far too many Steps is never held whole.
constexpr size_t kParseSlice = 1 << 16;

// Steps to insert, or why none are. A drop's is made once, in its drop callback, and carried
// with the drop to its event, so that what the source was told is what is added.
struct Taking final : DropPayload {
    std::vector<StepText> rows;
    WideText refusal;
};

Taking Refusal(const std::string& message) {
    Taking taking;
    taking.refusal = AnsiToUtf16(message);
    return taking;
}

Taking TooLarge(const char* subject) {
    return Refusal(Concat({subject, " ", kTooLarge, ".", kNothingTaken}));
}

std::string TooMany() {
    return Concat({"hat zu viele Schritte: die Liste fasst höchstens ", DecimalText(kMostSteps)});
}

size_t Room() {
    return static_cast<size_t>(kMostSteps -
                               std::min(kMostSteps, CountGadgetItems(kGadgetStepList)));
}

// Empty when the whole text could be held.
std::string RefusedCharacter(const AnsiText& text) {
    if (text.complete)
        return {};
    return Concat({"in Zeile ", DecimalText(LineAt(text.text, text.text.size())), " das Zeichen ",
                   CharacterName(text.refused), ", das die Liste nicht aufnehmen kann"});
}

// The Steps of `text` after `rows`; false, with `rows` as they were, when they would be more
// than `most`.
bool AddParsedSteps(const std::string& text, size_t most, std::vector<StepText>& rows) {
    const size_t before = rows.size();
    for (size_t start = 0; start < text.size();) {
        // Cut after a line feed: the slices' lines are the text's lines.
        const size_t cut = text.find('\n', std::min(start + kParseSlice, text.size()));
        const size_t end = cut == std::string::npos ? text.size() : cut + 1;
        for (StepText& step : ParseStepText(text.substr(start, end - start)))
            rows.push_back(std::move(step));
        if (rows.size() > most) {
            rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(before), rows.end());
            return false;
        }
        start = end;
    }
    return true;
}

Taking FromText(const AnsiText& text, size_t room) {
    const std::string refused = RefusedCharacter(text);
    if (!refused.empty())
        return Refusal(Concat({"Der Text enthält ", refused, ".", kNothingTaken}));
    Taking taking;
    if (!AddParsedSteps(text.text, room, taking.rows))
        return Refusal(Concat({"Der Text ", TooMany(), ".", kNothingTaken}));
    return taking;
}

// Empty when the file's Steps were added to `rows`.
std::string ReadStepFile(const WideText& path, size_t room, std::vector<StepText>& rows) {
    const FileBytes file = ReadWholeFile(path, kLargestStepFile);
    switch (file.outcome) {
        case FileReading::kMissing:
            return "wurde nicht gefunden";
        case FileReading::kUnreadable:
            return "kann nicht gelesen werden";
        case FileReading::kTooLarge:
            return kTooLarge;
        case FileReading::kRead:
            break;
    }
    const AnsiText text = DecodeTextBytes(file.bytes);
    switch (text.malformation) {
        case Malformation::kUtf8:
            return Concat({"ist kein gültiges UTF-8 (Zeile ",
                           DecimalText(LineAt(file.bytes, text.malformedAt)), ")"});
        case Malformation::kUtf16Odd:
            return "ist kein gültiges UTF-16 (ungerade Länge)";
        case Malformation::kNone:
            break;
    }
    if (text.text.find('\0') != std::string::npos)
        return "enthält Nullbytes";
    const std::string refused = RefusedCharacter(text);
    if (!refused.empty())
        return Concat({"enthält ", refused});
    if (!AddParsedSteps(text.text, room, rows))
        return TooMany();
    return {};
}

Taking FromFiles(const std::vector<WideText>& paths, size_t room) {
    Taking taking;
    for (const WideText& path : paths) {
        const std::string reason = ReadStepFile(path, room, taking.rows);
        if (!reason.empty()) {
            taking.rows.clear();
            taking.refusal =
                AboutFile("Die Datei ", path, Concat({" ", reason, ".", kNothingTaken}));
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

Taking FromDrop(const DropRecord& drop, size_t room) {
    if (drop.format == CF_HDROP) {
        if (drop.size > drop.data.size())
            return TooLarge("Die Dateiliste");
        return FromFiles(DroppedFiles(drop), room);
    }
    AnsiText text;
    size_t bytes = 0;
    if (drop.format == CF_UNICODETEXT) {
        const WideText wide = DroppedText<WideText>(drop);
        bytes = wide.size() * sizeof(wchar_t);
        text = Utf16ToAnsi(wide.data(), wide.size());
    } else {
        text.text = DroppedText<std::string>(drop);
        bytes = text.text.size();
    }
    if (bytes > kLargestStepFile)
        return TooLarge("Der Text");
    return FromText(text, room);
}

Taking OutOfMemory(const char* consequence) {
    return Refusal(Concat({kOutOfMemory, consequence}));
}

Taking FromClipboard() {
    const ClipboardText clipboard =
        GetClipboardText(WindowID(kMainWindow), static_cast<size_t>(kLargestStepFile));
    switch (clipboard.result) {
        case ClipboardResult::kDone:
            return FromText(clipboard.text, Room());
        case ClipboardResult::kBusy:
            return Refusal(Concat({kClipboardBusy, kNothingTaken}));
        case ClipboardResult::kTooLarge:
            return TooLarge("Der Text");
        case ClipboardResult::kNoText:
        case ClipboardResult::kFailed:
            break;
    }
    return {};
}

// An allocation that fails on the way refuses the whole with its reason.
template <class Make>
Taking Guarded(Make make) {
    try {
        return make();
    } catch (const std::bad_alloc&) {
        return OutOfMemory(kNothingTaken);
    }
}

// Inside the platform's drop, which no exception may leave.
bool TakesDrop(ObjectNumber, DropRecord& drop) {
    auto taking = std::make_unique<Taking>(Guarded([&drop] { return FromDrop(drop, Room()); }));
    const bool takes = !taking->rows.empty();
    drop.payload = std::move(taking);
    return takes;
}

// Everything or, with a refusal, nothing but its message.
void Insert(const Taking& taking, int32_t position) {
    if (taking.refusal.empty())
        InsertSteps(taking.rows, position);
    else
        Tell(taking.refusal);
}

}  // namespace

void Tell(const WideText& message) {
    MessageRequester(WindowID(kMainWindow), kMessageTitle, message);
}

WideText AboutFile(const char* before, const WideText& path, const std::string& after) {
    WideText message = AnsiToUtf16(Concat({before, "„"}));
    const WideText rest = AnsiToUtf16(Concat({"“", after}));
    message.insert(message.end(), path.begin(), path.end());
    message.insert(message.end(), rest.begin(), rest.end());
    return message;
}

int32_t RowAfterSelection() {
    const int32_t selected = GetGadgetState(kGadgetStepList);
    return selected == kNoRow ? kAppendRow : selected + 1;
}

// The rows' texts are made before the list is touched.
int32_t InsertSteps(const std::vector<StepText>& steps, int32_t position) {
    std::vector<std::string> texts;
    try {
        texts.reserve(steps.size());
        for (const StepText& step : steps)
            texts.push_back(Concat({step.pause, "\n", step.keyText}));
    } catch (const std::bad_alloc&) {
        Tell(OutOfMemory(kNothingTaken).refusal);
        return 0;
    }
    const int32_t count = CountGadgetItems(kGadgetStepList);
    if (position == kAppendRow || position > count)
        position = count;
    const int32_t inserted = AddGadgetItems(kGadgetStepList, position, texts);
    if (inserted > 0)
        SetGadgetState(kGadgetStepList, position);
    return inserted;
}

void EnableStepListDrops() {
    // The first format a source offers in this order wins: files, then Unicode text, which
    // keeps every character the source has, then ANSI text.
    for (const UINT format : {CF_TEXT, CF_UNICODETEXT, CF_HDROP})
        EnableGadgetDrop(kGadgetStepList, format, DROPEFFECT_COPY);
    SetGadgetDropCallback(kGadgetStepList, TakesDrop, kLargestDrop);
}

void CopyStepList() {
    ClipboardResult result = ClipboardResult::kFailed;
    try {
        result = SetClipboardText(WindowID(kMainWindow), FormatStepText(ReadStepRows()));
    } catch (const std::bad_alloc&) {
    }
    if (result == ClipboardResult::kBusy)
        Tell(AnsiToUtf16(Concat({kClipboardBusy, kNotCopied})));
    else if (result != ClipboardResult::kDone)
        Tell(OutOfMemory(kNotCopied).refusal);
}

void PasteSteps() {
    Insert(Guarded(FromClipboard), RowAfterSelection());
}

void TakeDroppedSteps() {
    const DropRecord* drop = EventDropData();
    const auto* taking = drop ? static_cast<const Taking*>(drop->payload.get()) : nullptr;
    if (!taking)
        return;
    const int32_t position =
        drop->format == CF_HDROP ? kAppendRow : GadgetItemAt(kGadgetStepList, drop->x, drop->y);
    Insert(*taking, position);
}

void OpenStepFiles(const std::vector<WideText>& paths) {
    Insert(Guarded([&paths] { return FromFiles(paths, Room()); }), kAppendRow);
}

}  // namespace kv
