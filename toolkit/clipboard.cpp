#include "toolkit/clipboard.h"

#include <algorithm>
#include <cstring>

#include "toolkit/internal.h"

namespace kv {
namespace {

// Another program may hold the clipboard for a moment.
constexpr int kOpenAttempts = 25;
constexpr DWORD kOpenRetryMs = 20;

class OpenedClipboard {
  public:
    explicit OpenedClipboard(HWND owner) {
        for (int attempt = 0; attempt < kOpenAttempts && !open_; ++attempt) {
            open_ = OpenClipboard(owner) != 0;
            if (!open_)
                Sleep(kOpenRetryMs);
        }
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard() {
        if (open_)
            CloseClipboard();
    }
    bool open() const { return open_; }

  private:
    bool open_ = false;
};

// A memory block until the clipboard takes it over.
class Block {
  public:
    explicit Block(size_t size) : block_(GlobalAlloc(GMEM_MOVEABLE, size)) {}
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    ~Block() {
        if (block_)
            GlobalFree(block_);
    }
    bool Fill(const void* bytes, size_t size) {
        void* target = block_ ? GlobalLock(block_) : nullptr;
        if (!target)
            return false;
        std::memcpy(target, bytes, size);
        GlobalUnlock(block_);
        return true;
    }
    bool HandTo(UINT format) {
        if (!SetClipboardData(format, block_))
            return false;
        block_ = nullptr;
        return true;
    }

  private:
    HGLOBAL block_;
};

bool Put(UINT format, const void* bytes, size_t size) {
    Block block(size);
    return block.Fill(bytes, size) && block.HandTo(format);
}

// The units of a clipboard block up to its first NUL unit, read only when they are at most
// `mostBytes`; the block may be larger than its text.
template <class Text>
ClipboardResult Read(UINT format, size_t mostBytes, Text& text) {
    using Unit = typename Text::value_type;
    const LockedBlock data(GetClipboardData(format));
    if (!data.bytes())
        return ClipboardResult::kFailed;
    const size_t units = std::min(data.size() / sizeof(Unit), mostBytes / sizeof(Unit) + 1);
    const auto* first = reinterpret_cast<const Unit*>(data.bytes());
    const size_t length = static_cast<size_t>(std::find(first, first + units, Unit{}) - first);
    if (length * sizeof(Unit) > mostBytes)
        return ClipboardResult::kTooLarge;
    text.assign(first, first + length);
    return ClipboardResult::kDone;
}

}  // namespace

ClipboardResult SetClipboardText(HWND owner, const std::string& text) {
    WideText wide = AnsiToUtf16(text);
    wide.push_back(L'\0');
    const OpenedClipboard clipboard(owner);
    if (!clipboard.open())
        return ClipboardResult::kBusy;
    const bool done = EmptyClipboard() &&
                      Put(CF_UNICODETEXT, wide.data(), wide.size() * sizeof(wchar_t)) &&
                      Put(CF_TEXT, text.c_str(), text.size() + 1);
    return done ? ClipboardResult::kDone : ClipboardResult::kFailed;
}

ClipboardText GetClipboardText(HWND owner, size_t mostBytes) {
    ClipboardText taken;
    const OpenedClipboard clipboard(owner);
    if (!clipboard.open()) {
        taken.result = ClipboardResult::kBusy;
    } else if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        WideText wide;
        taken.result = Read(CF_UNICODETEXT, mostBytes, wide);
        if (taken.result == ClipboardResult::kDone)
            taken.text = Utf16ToAnsi(wide.data(), wide.size());
    } else if (IsClipboardFormatAvailable(CF_TEXT)) {
        taken.result = Read(CF_TEXT, mostBytes, taken.text.text);
    }
    return taken;
}

}  // namespace kv
