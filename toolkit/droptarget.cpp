#include "toolkit/droptarget.h"

#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <list>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "toolkit/gadget.h"
#include "toolkit/internal.h"
#include "toolkit/window.h"

namespace kv {
namespace {

constexpr DWORD kKeyShift = MK_SHIFT;
constexpr DWORD kKeyControl = MK_CONTROL;
constexpr DWORD kKeyAlt = MK_ALT;
constexpr DWORD kModifierKeys = kKeyShift | kKeyControl | kKeyAlt;

struct AcceptedType {
    uint32_t key;  // the clipboard format, or the private type
    DWORD actions;
};

struct Match {
    bool isPrivate;
    uint32_t key;
    DWORD actions;
};

FORMATETC FormatRequest(uint32_t format) {
    return {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// A medium the data object filled, released however the reading ends (a failed copy included).
struct Medium {
    STGMEDIUM medium = {};
    bool filled = false;
    Medium() = default;
    Medium(const Medium&) = delete;
    Medium& operator=(const Medium&) = delete;
    ~Medium() {
        if (filled)
            ReleaseStgMedium(&medium);
    }
};

// Fetches `format` from the data object and calls `read` with its locked bytes and the block's
// real size; false when there is no block that can be locked.
template <class Read>
bool ReadData(IDataObject* data, uint32_t format, Read read) {
    FORMATETC request = FormatRequest(format);
    Medium owned;
    owned.filled = data && SUCCEEDED(data->GetData(&request, &owned.medium));
    if (!owned.filled)
        return false;
    const STGMEDIUM& medium = owned.medium;
    if (medium.tymed != TYMED_HGLOBAL || !medium.hGlobal)
        return false;
    const LockedBlock block(medium.hGlobal);
    return block.bytes() && read(block.bytes(), block.size());
}

// Records posted and not yet taken by their window.
struct PostedDrop {
    HWND window;
    std::unique_ptr<DropRecord> record;
};

std::list<PostedDrop>& PostedDrops() {
    static std::list<PostedDrop> posted;
    return posted;
}

// The record stays with the drop support until the window takes it at the message's dispatch.
void PostDrop(HWND window, ObjectNumber gadget, std::unique_ptr<DropRecord> record) {
    std::list<PostedDrop>& posted = PostedDrops();
    try {
        posted.push_back({window, std::move(record)});
    } catch (const std::bad_alloc&) {
        return;
    }
    if (!PostMessageA(window, kMessageGadgetDrop, static_cast<WPARAM>(gadget),
                      reinterpret_cast<LPARAM>(posted.back().record.get()))) {
        posted.pop_back();
    }
}

class GadgetDropTarget final : public IDropTarget {
  public:
    GadgetDropTarget(ObjectNumber gadget, HWND control, DropFeedbackFunction feedback)
        : gadget_(gadget), control_(control), feedback_(feedback) {}
    GadgetDropTarget(const GadgetDropTarget&) = delete;
    GadgetDropTarget& operator=(const GadgetDropTarget&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override {
        if (!object)
            return E_INVALIDARG;
        if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_IDropTarget)) {
            *object = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }

    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG references = --references_;
        // The last reference owns the target.
        if (references == 0)
            std::unique_ptr<GadgetDropTarget> last(this);
        return references;
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                        DWORD* effect) override {
        if (!effect)
            return E_INVALIDARG;
        match_ = FindMatch(data, *effect);
        return DragOver(keyState, point, effect);
    }

    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override {
        if (!effect)
            return E_INVALIDARG;
        *effect = EffectFor(*effect, keyState);
        Show(*effect ? DropFeedback::kAccepted : DropFeedback::kRefused, ClientPoint(point));
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE DragLeave() override {
        Show(DropFeedback::kLeave, {});
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                   DWORD* effect) override {
        if (!effect)
            return E_INVALIDARG;
        *effect = EffectFor(*effect, keyState);
        const POINT client = ClientPoint(point);
        std::unique_ptr<DropRecord> record = *effect ? MakeRecord(data, *effect, client) : nullptr;
        if (record && !Takes(*record))
            record->effect = kDropEffectNone;
        if (!record || !record->effect) {
            *effect = kDropEffectNone;
            Show(DropFeedback::kLeave, client);
            if (record)
                PostDrop(TopLevelWindowOf(control_), gadget_, std::move(record));
            return S_OK;
        }
        Show(DropFeedback::kDrop, client);
        PostDrop(TopLevelWindowOf(control_), gadget_, std::move(record));
        return S_OK;
    }

    void SetCallback(DropCallback callback, size_t mostBytes) {
        callback_ = callback;
        mostBytes_ = mostBytes;
    }

    void Accept(uint32_t format, uint32_t actions, uint32_t privateType) {
        std::list<AcceptedType>& types = TypesOf(format);
        const uint32_t key = KeyOf(format, privateType);
        for (AcceptedType& type : types) {
            if (type.key == key) {
                type.actions = actions;
                return;
            }
        }
        types.push_front({key, actions});
    }

    // True when the target accepts nothing any more.
    bool Refuse(uint32_t format, uint32_t privateType) {
        const uint32_t key = KeyOf(format, privateType);
        TypesOf(format).remove_if([key](const AcceptedType& type) { return type.key == key; });
        return formats_.empty() && privateTypes_.empty();
    }

  private:
    static uint32_t KeyOf(uint32_t format, uint32_t privateType) {
        return format == kDropPrivateFormat ? privateType : format;
    }

    std::list<AcceptedType>& TypesOf(uint32_t format) {
        return format == kDropPrivateFormat ? privateTypes_ : formats_;
    }

    std::optional<Match> FindMatch(IDataObject* data, DWORD offered) const {
        if (!data)
            return std::nullopt;
        for (const AcceptedType& type : formats_) {
            FORMATETC request = FormatRequest(type.key);
            if ((type.actions & offered) && data->QueryGetData(&request) == S_OK) {
                return Match{false, type.key, type.actions};
            }
        }
        if (privateTypes_.empty())
            return std::nullopt;
        uint32_t offeredType = 0;
        const bool named = ReadData(data, kDropPrivateFormat, [&](const char* bytes, SIZE_T size) {
            if (size < sizeof offeredType)
                return false;
            std::memcpy(&offeredType, bytes, sizeof offeredType);
            return true;
        });
        if (!named)
            return std::nullopt;
        for (const AcceptedType& type : privateTypes_) {
            if (type.key == offeredType && (type.actions & offered)) {
                return Match{true, type.key, type.actions};
            }
        }
        return std::nullopt;
    }

    DWORD EffectFor(DWORD offered, DWORD keyState) const {
        const bool enabled =
            IsWindowEnabled(TopLevelWindowOf(control_)) && IsWindowEnabled(control_);
        return match_ && enabled ? DropEffect(offered, match_->actions, keyState) : kDropEffectNone;
    }

    // The platform's drop is no place for an exception to end.
    bool Takes(DropRecord& record) const {
        try {
            return !callback_ || callback_(gadget_, record);
        } catch (const std::exception&) {
            return false;
        }
    }

    POINT ClientPoint(POINTL screen) const {
        POINT client = {screen.x, screen.y};
        ScreenToClient(control_, &client);
        return client;
    }

    void Show(DropFeedback feedback, POINT client) const {
        if (feedback_)
            feedback_(control_, feedback, client);
    }

    // nullptr when the data cannot be read or copied.
    std::unique_ptr<DropRecord> MakeRecord(IDataObject* data, DWORD effect, POINT client) const {
        try {
            auto record = std::make_unique<DropRecord>();
            record->effect = effect;
            record->x = client.x;
            record->y = client.y;
            if (match_->isPrivate) {
                record->format = kDropPrivateFormat;
                record->privateType = match_->key;
                return record;
            }
            record->format = match_->key;
            const bool copied = ReadData(data, match_->key, [&](const char* bytes, SIZE_T size) {
                record->size = size;
                record->data.assign(bytes, bytes + std::min<size_t>(size, mostBytes_));
                return true;
            });
            return copied ? std::move(record) : nullptr;
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }

    ULONG references_ = 1;
    ObjectNumber gadget_;
    HWND control_;
    DropFeedbackFunction feedback_;
    DropCallback callback_ = nullptr;
    size_t mostBytes_ = SIZE_MAX;
    std::list<AcceptedType> formats_;
    std::list<AcceptedType> privateTypes_;
    std::optional<Match> match_;
};

}  // namespace

DWORD DropEffect(DWORD offered, DWORD accepted, DWORD keyState) {
    const DWORD effect = offered & accepted;
    const DWORD keys = keyState & kModifierKeys;
    if ((effect & kDropEffectLink) && (keys == (kKeyControl | kKeyShift) || keys == kKeyAlt)) {
        return kDropEffectLink;
    }
    if ((effect & kDropEffectMove) && (keys == kKeyShift || !(effect & kDropEffectCopy))) {
        return kDropEffectMove;
    }
    if (!(effect & (kDropEffectCopy | kDropEffectMove)))
        return effect & kDropEffectLink;
    return kDropEffectCopy;
}

std::unique_ptr<DropRecord> TakePostedDrop(HWND window, LPARAM lParam) {
    std::list<PostedDrop>& posted = PostedDrops();
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (it->window == window && reinterpret_cast<LPARAM>(it->record.get()) == lParam) {
            std::unique_ptr<DropRecord> record = std::move(it->record);
            posted.erase(it);
            return record;
        }
    }
    return nullptr;
}

void ForgetPostedDrops(HWND window) {
    PostedDrops().remove_if([window](const PostedDrop& drop) { return drop.window == window; });
}

void SetDropCallback(HWND control, DropCallback callback, size_t mostBytes) {
    if (auto* target = static_cast<GadgetDropTarget*>(GetPropA(control, kPropertyDropTarget)))
        target->SetCallback(callback, mostBytes);
}

std::vector<WideText> DroppedFiles(const DropRecord& drop) {
    std::vector<WideText> files;
    const std::vector<char>& bytes = drop.data;
    DROPFILES header = {};
    if (drop.format != CF_HDROP || bytes.size() < sizeof header)
        return files;
    std::memcpy(&header, bytes.data(), sizeof header);
    const size_t start = std::min<size_t>(header.pFiles, bytes.size());
    if (header.fWide) {
        std::vector<wchar_t> names((bytes.size() - start) / sizeof(wchar_t) + 1, L'\0');
        std::memcpy(names.data(), bytes.data() + start, (names.size() - 1) * sizeof(wchar_t));
        for (auto at = names.begin(); at != names.end() && *at;
             at = std::find(at, names.end(), L'\0') + 1) {
            files.emplace_back(at, std::find(at, names.end(), L'\0'));
        }
        return files;
    }
    std::string names(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end());
    names += '\0';
    for (size_t at = 0; at < names.size() && names[at]; at = names.find('\0', at) + 1) {
        const char* name = names.c_str() + at;
        const int length = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
        WideText file(static_cast<size_t>(std::max(length, 1)), L'\0');
        MultiByteToWideChar(CP_ACP, 0, name, -1, file.data(), length);
        file.pop_back();
        files.push_back(std::move(file));
    }
    return files;
}

void AcceptDrop(HWND control, ObjectNumber gadget, uint32_t format, uint32_t actions,
                uint32_t privateType, DropFeedbackFunction feedback) {
    auto* target = static_cast<GadgetDropTarget*>(GetPropA(control, kPropertyDropTarget));
    if (!actions) {
        if (target && target->Refuse(format, privateType)) {
            RemovePropA(control, kPropertyDropTarget);
            RevokeDragDrop(control);
        }
        return;
    }
    if (!target) {
        // From here on the reference count owns the target.
        GadgetDropTarget* created =
            std::make_unique<GadgetDropTarget>(gadget, control, feedback).release();
        if (FAILED(RegisterDragDrop(control, created))) {
            created->Release();
            return;
        }
        SetPropA(control, kPropertyDropTarget, created);
        created->Release();
        target = created;
    }
    target->Accept(format, actions, privateType);
}

}  // namespace kv
