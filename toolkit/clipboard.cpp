#include "toolkit/clipboard.h"

#include <cstring>

namespace kv {
namespace {

// Another program may hold the clipboard for a moment.
constexpr int kOpenAttempts = 20;
constexpr DWORD kOpenRetryMs = 10;

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

// The units of a locked clipboard block, up to its first NUL unit.
template <class Text>
std::optional<Text> Read(UINT format) {
    using Unit = typename Text::value_type;
    const HANDLE data = GetClipboardData(format);
    const void* bytes = data ? GlobalLock(data) : nullptr;
    if (!bytes)
        return std::nullopt;
    const size_t units = GlobalSize(data) / sizeof(Unit);
    const auto* first = static_cast<const Unit*>(bytes);
    size_t length = 0;
    while (length < units && first[length])
        ++length;
    Text text(first, first + length);
    GlobalUnlock(data);
    return text;
}

}  // namespace

bool SetClipboardText(HWND owner, const std::string& text) {
    const OpenedClipboard clipboard(owner);
    if (!clipboard.open() || !EmptyClipboard())
        return false;
    WideText wide = AnsiToUtf16(text);
    wide.push_back(L'\0');
    return Put(CF_UNICODETEXT, wide.data(), wide.size() * sizeof(wchar_t)) &&
           Put(CF_TEXT, text.c_str(), text.size() + 1);
}

std::optional<AnsiText> GetClipboardText(HWND owner) {
    const OpenedClipboard clipboard(owner);
    if (!clipboard.open())
        return std::nullopt;
    if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        if (const std::optional<WideText> wide = Read<WideText>(CF_UNICODETEXT))
            return Utf16ToAnsi(wide->data(), wide->size());
    }
    if (IsClipboardFormatAvailable(CF_TEXT)) {
        if (std::optional<std::string> text = Read<std::string>(CF_TEXT)) {
            AnsiText ansi;
            ansi.text = std::move(*text);
            return ansi;
        }
    }
    return std::nullopt;
}

}  // namespace kv
