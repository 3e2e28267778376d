#include "toolkit/gadget.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <memory>
#include <type_traits>
#include <vector>

#include "toolkit/internal.h"
#include "toolkit/window.h"

namespace kv {
namespace {

constexpr int32_t kGadgetGrowthStep = 50;
// Tab, date, extended combo box and internet address classes.
constexpr DWORD kCommonControlClasses = 0x0B08;
// The control identifier of a control that is not, or no longer, a gadget.
constexpr LONG_PTR kNotAGadget = -1;

constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP;
constexpr DWORD kStringStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL;
constexpr DWORD kTextStyle = WS_CHILD | WS_VISIBLE | WS_GROUP;
constexpr DWORD kComboBoxStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_GROUP | CBS_HASSTRINGS;
constexpr DWORD kComboBoxListStyle = CBS_DROPDOWNLIST | WS_TABSTOP;

// The words of string fields and labels.
constexpr size_t kWordBack = 0;
constexpr size_t kWordFront = 1;
constexpr size_t kWordBrush = 2;
constexpr GadgetWords kDefaultColours = {kColorDefault, kColorDefault, 0, 0};

class CriticalSection {
  public:
    CriticalSection() { InitializeCriticalSection(&section_); }
    ~CriticalSection() { DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter() { EnterCriticalSection(&section_); }
    void Leave() { LeaveCriticalSection(&section_); }

  private:
    CRITICAL_SECTION section_;
};

class Lock {
  public:
    explicit Lock(CriticalSection& section) : section_(section) { section_.Enter(); }
    ~Lock() { section_.Leave(); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

  private:
    CriticalSection& section_;
};

struct BrushDeleter {
    void operator()(HBRUSH brush) const { DeleteObject(brush); }
};
using BrushOwner = std::unique_ptr<std::remove_pointer_t<HBRUSH>, BrushDeleter>;

struct CachedBrush {
    COLORREF colour;
    BrushOwner brush;
    int32_t uses;
};

void DestroyGadgetControl(ObjectNumber number);

struct GadgetLibrary {
    CriticalSection brushLock;
    std::vector<CachedBrush> brushes;
    HFONT font = nullptr;
    ObjectTable<GadgetRecord> gadgets{kGadgetGrowthStep, DestroyGadgetControl};
    HWND parent = nullptr;
};

std::unique_ptr<GadgetLibrary> library;
// The edit class procedure that the string field procedure passes every message on to.
WNDPROC editProcedure = nullptr;

const char* TextOrEmpty(const char* text) {
    return text ? text : "";
}

// The control's own destruction releases the number (GadgetProcedure).
void DestroyGadgetControl(ObjectNumber number) {
    if (GadgetRecord* record = LookupGadget(number))
        DestroyWindow(record->control);
}

void TearDown(HWND control, ObjectNumber number) {
    GadgetRecord* record = LookupGadget(number);
    if (!record || record->control != control)
        return;
    if (record->operations->destroyHook)
        record->operations->destroyHook(*record);
    RemovePropA(control, kPropertyGadgetNumber);
    if (RemovePropA(control, kPropertyDropTarget))
        RevokeDragDrop(control);
    SetWindowLongPtrA(control, GWLP_ID, kNotAGadget);
    library->gadgets.Release(number);
}

LRESULT CALLBACK GadgetProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    // From another thread these carry made-up values (a posted one never gets here): the control
    // would read the notification's pointer or free what it still uses.
    if (IsDestroyOrNotify(message) && InSendMessage())
        return 0;
    const ObjectNumber number = GetWindowLongPtrA(control, GWLP_ID);
    GadgetRecord* record = number == kNotAGadget ? nullptr : LookupGadget(number);
    if (!record || record->control != control) {
        return DefWindowProcA(control, message, wParam, lParam);
    }
    const LRESULT result =
        CallWindowProcA(record->previousProcedure, control, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        TearDown(control, number);
    return result;
}

LRESULT CALLBACK StringFieldProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
            PostGadgetEvent(field, kEventTypeFocusGained);
            break;
        case WM_KILLFOCUS:
            PostGadgetEvent(field, kEventTypeFocusLost);
            break;
        default:
            break;
    }
    return CallWindowProcA(editProcedure, field, message, wParam, lParam);
}

std::string WindowText(HWND window) {
    std::vector<char> buffer(static_cast<size_t>(std::max(GetWindowTextLengthA(window), 0)) + 1);
    GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
    buffer.back() = '\0';
    return buffer.data();
}

LRESULT Send(const GadgetRecord& record, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(record.control, message, wParam, lParam);
}

LPARAM TextParameter(const char* text) {
    return reinterpret_cast<LPARAM>(text);
}

// Brush cache: one solid brush per colour, shared by every gadget that uses the colour.

std::vector<CachedBrush>::iterator CachedBrushOf(COLORREF colour) {
    std::vector<CachedBrush>& brushes = library->brushes;
    return std::find_if(brushes.begin(), brushes.end(),
                        [colour](const CachedBrush& cached) { return cached.colour == colour; });
}

HBRUSH AcquireBrush(COLORREF colour) {
    Lock lock(library->brushLock);
    auto entry = CachedBrushOf(colour);
    if (entry == library->brushes.end()) {
        BrushOwner brush(CreateSolidBrush(colour));
        if (!brush)
            return nullptr;
        library->brushes.push_back({colour, std::move(brush), 0});
        entry = library->brushes.end() - 1;
    }
    ++entry->uses;
    return entry->brush.get();
}

void ReleaseBrush(COLORREF colour) {
    Lock lock(library->brushLock);
    auto entry = CachedBrushOf(colour);
    if (entry != library->brushes.end() && --entry->uses == 0)
        library->brushes.erase(entry);
}

// Colours of string fields and labels.

// Only a brush the cache handed out goes back to it.
void ReleaseColours(GadgetRecord& record) {
    if (record.words[kWordBrush])
        ReleaseBrush(static_cast<COLORREF>(record.words[kWordBack]));
    record.words[kWordBrush] = 0;
}

void SetColour(GadgetRecord& record, int32_t type, int32_t colour) {
    if (type == kColorFront) {
        record.words[kWordFront] = colour;
    } else if (type == kColorBack) {
        ReleaseColours(record);
        record.words[kWordBack] = colour;
        const HBRUSH brush = colour == kColorDefault ? nullptr : AcquireBrush(colour);
        record.words[kWordBrush] = reinterpret_cast<intptr_t>(brush);
    } else {
        return;
    }
    InvalidateRect(record.control, nullptr, TRUE);
}

int32_t GetColour(GadgetRecord& record, int32_t type) {
    if (type == kColorFront)
        return static_cast<int32_t>(record.words[kWordFront]);
    if (type == kColorBack)
        return static_cast<int32_t>(record.words[kWordBack]);
    return 0;
}

LRESULT ColourHook(GadgetRecord& record, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool answers = message == WM_CTLCOLOREDIT ||
                         (message == WM_CTLCOLORSTATIC && (record.operations->kind == kKindText ||
                                                           IsWindowEnabled(record.control)));
    const intptr_t front = record.words[kWordFront];
    const intptr_t back = record.words[kWordBack];
    if (!answers || (front == kColorDefault && back == kColorDefault))
        return kNotHandled;
    const HDC dc = reinterpret_cast<HDC>(wParam);
    LRESULT result = DefWindowProcA(window, message, wParam, lParam);
    if (front != kColorDefault)
        SetTextColor(dc, static_cast<COLORREF>(front));
    if (back != kColorDefault)
        SetBkColor(dc, static_cast<COLORREF>(back));
    if (record.words[kWordBrush])
        result = record.words[kWordBrush];
    return result;
}

// Buttons.

int32_t ButtonGetState(GadgetRecord& record) {
    return static_cast<int32_t>(Send(record, BM_GETCHECK) & BST_CHECKED);
}

void ButtonSetState(GadgetRecord& record, int32_t state) {
    Send(record, BM_SETCHECK, state ? BST_CHECKED : BST_UNCHECKED);
}

// Combo boxes.

int32_t ComboGetState(GadgetRecord& record) {
    return static_cast<int32_t>(Send(record, CB_GETCURSEL));
}

void ComboSetState(GadgetRecord& record, int32_t state) {
    Send(record, CB_SETCURSEL, static_cast<WPARAM>(state));
}

void ComboSetText(GadgetRecord& record, const char* text) {
    const bool isList = GetWindowLongA(record.control, GWL_STYLE) & 1;
    if (!isList) {
        SetWindowTextA(record.control, text);
        return;
    }
    if (!*text) {
        Send(record, CB_SETCURSEL, static_cast<WPARAM>(-1));
        return;
    }
    const LRESULT index =
        Send(record, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), TextParameter(text));
    if (index != CB_ERR)
        Send(record, CB_SETCURSEL, static_cast<WPARAM>(index));
}

int32_t ComboAddItem(GadgetRecord& record, int32_t position, const char* text) {
    if (position >= -1) {
        Send(record, CB_INSERTSTRING, static_cast<WPARAM>(position), TextParameter(text));
    }
    return 0;
}

void ComboRemoveItem(GadgetRecord& record, int32_t position) {
    Send(record, CB_DELETESTRING, static_cast<WPARAM>(position));
}

void ComboClearItems(GadgetRecord& record) {
    Send(record, CB_RESETCONTENT);
}

int32_t ComboCountItems(GadgetRecord& record) {
    return static_cast<int32_t>(Send(record, CB_GETCOUNT));
}

std::string ComboGetItemText(GadgetRecord& record, int32_t item, int32_t) {
    const LRESULT length = Send(record, CB_GETLBTEXTLEN, static_cast<WPARAM>(item));
    if (length == CB_ERR)
        return {};
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    Send(record, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = '\0';
    return buffer.data();
}

void ComboSetItemText(GadgetRecord& record, int32_t item, const char* text, int32_t) {
    const WPARAM index = static_cast<WPARAM>(item);
    const LRESULT data = Send(record, CB_GETITEMDATA, index);
    if (Send(record, CB_DELETESTRING, index) == CB_ERR)
        return;
    Send(record, CB_INSERTSTRING, index, TextParameter(text));
    Send(record, CB_SETITEMDATA, index, data);
}

const KindOperations& ButtonOperations() {
    static const KindOperations operations = [] {
        KindOperations button;
        button.kind = kKindButton;
        button.getState = ButtonGetState;
        button.setState = ButtonSetState;
        return button;
    }();
    return operations;
}

const KindOperations& ColouredOperations(int32_t kind) {
    auto fill = [](int32_t number) {
        KindOperations coloured;
        coloured.kind = number;
        coloured.messageHook = ColourHook;
        coloured.destroyHook = ReleaseColours;
        coloured.setColor = SetColour;
        coloured.getColor = GetColour;
        return coloured;
    };
    static const KindOperations string = fill(kKindString);
    static const KindOperations text = fill(kKindText);
    return kind == kKindString ? string : text;
}

const KindOperations& ComboBoxOperations() {
    static const KindOperations operations = [] {
        KindOperations combo;
        combo.kind = kKindComboBox;
        combo.getState = ComboGetState;
        combo.setState = ComboSetState;
        combo.setText = ComboSetText;
        combo.addItem = ComboAddItem;
        combo.removeItem = ComboRemoveItem;
        combo.clearItems = ComboClearItems;
        combo.countItems = ComboCountItems;
        combo.getItemText = ComboGetItemText;
        combo.setItemText = ComboSetItemText;
        return combo;
    }();
    return operations;
}

void AddStyle(HWND window, LONG style) {
    SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | style);
}

}  // namespace

void InitGadgetLibrary() {
    if (library)
        return;
    library = std::make_unique<GadgetLibrary>();
    library->font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    INITCOMMONCONTROLSEX classes = {sizeof classes, kCommonControlClasses};
    InitCommonControlsEx(&classes);
    SetControlMessageHandler(HandleControlMessage);
}

GadgetRecord* LookupGadget(ObjectNumber number) {
    return library ? library->gadgets.Lookup(number) : nullptr;
}

intptr_t RegisterGadget(ObjectNumber number, HWND control, const KindOperations& operations,
                        const GadgetWords& words) {
    ObjectNumber assigned = number;
    GadgetRecord* record = library->gadgets.Allocate(number, &assigned);
    if (!record) {
        DestroyWindow(control);
        return 0;
    }
    record->words = words;
    record->operations = &operations;
    record->control = control;
    record->previousProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GadgetProcedure)));
    SetWindowLongPtrA(control, GWLP_ID, assigned);
    SetPropA(control, kPropertyGadgetNumber, reinterpret_cast<HANDLE>(assigned));
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(library->font), TRUE);
    return number == kDynamicNumber ? assigned : reinterpret_cast<intptr_t>(control);
}

HWND CreateGadgetControl(DWORD extendedStyle, const char* className, const char* text, DWORD style,
                         int32_t x, int32_t y, int32_t width, int32_t height) {
    return CreateWindowExA(extendedStyle, className, TextOrEmpty(text), style, x, y, width, height,
                           library->parent, reinterpret_cast<HMENU>(kNotAGadget),
                           GetModuleHandleA(nullptr), nullptr);
}

void PostGadgetEvent(HWND control, int32_t eventType) {
    PostOwnMessage(TopLevelWindowOf(control), kMessageGadgetEvent,
                   static_cast<WPARAM>(GetWindowLongPtrA(control, GWLP_ID)), eventType);
}

ObjectNumber GadgetNumberOf(const GadgetRecord& record) {
    return GetWindowLongPtrA(record.control, GWLP_ID);
}

LRESULT HandleControlMessage(HWND control, HWND window, UINT message, WPARAM wParam,
                             LPARAM lParam) {
    if (!control)
        return kNotHandled;
    // The record naming this very control proves it a gadget: no property read, which under Wine
    // is a round trip to the server for every notification.
    const ObjectNumber number = GetWindowLongPtrA(control, GWLP_ID);
    GadgetRecord* record = LookupGadget(number);
    if (!record || record->control != control || !record->operations->messageHook) {
        return kNotHandled;
    }
    return record->operations->messageHook(*record, window, message, wParam, lParam);
}

HWND CreateGadgetList(HWND parent) {
    library->parent = parent;
    return parent;
}

intptr_t ButtonGadget(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                      const char* text, uint32_t flags) {
    const HWND control =
        CreateGadgetControl(0, "Button", text, flags | kButtonStyle, x, y, width, height);
    return control ? RegisterGadget(number, control, ButtonOperations()) : 0;
}

intptr_t StringGadget(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                      const char* text, uint32_t flags) {
    const DWORD extendedStyle = flags & kStringBorderless ? 0 : WS_EX_CLIENTEDGE;
    const HWND control =
        CreateGadgetControl(extendedStyle, "Edit", text, flags | kStringStyle, x, y, width, height);
    if (!control)
        return 0;
    const WNDPROC replaced = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StringFieldProcedure)));
    if (!editProcedure)
        editProcedure = replaced;
    return RegisterGadget(number, control, ColouredOperations(kKindString), kDefaultColours);
}

intptr_t TextGadget(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                    const char* text, uint32_t flags) {
    const DWORD extendedStyle = flags & kTextBorder ? WS_EX_CLIENTEDGE : 0;
    const HWND control =
        CreateGadgetControl(extendedStyle, "Static", text, flags | kTextStyle, x, y, width, height);
    return control ? RegisterGadget(number, control, ColouredOperations(kKindText), kDefaultColours)
                   : 0;
}

intptr_t ComboBoxGadget(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                        uint32_t flags) {
    const bool editable = flags & kComboBoxEditable;
    const DWORD style = flags | kComboBoxStyle | (editable ? 0 : kComboBoxListStyle);
    const HWND control =
        CreateGadgetControl(WS_EX_CLIENTEDGE, "ComboBox", "", style, x, y, width, height);
    if (!control)
        return 0;
    if (editable) {
        if (const HWND edit = GetWindow(control, GW_CHILD))
            AddStyle(edit, WS_TABSTOP);
    }
    return RegisterGadget(number, control, ComboBoxOperations());
}

int32_t AddGadgetItem(ObjectNumber number, int32_t position, const char* text) {
    GadgetRecord* record = LookupGadget(number);
    if (!record || !record->operations->addItem)
        return 0;
    return record->operations->addItem(*record, position, TextOrEmpty(text));
}

void RemoveGadgetItem(ObjectNumber number, int32_t position) {
    GadgetRecord* record = LookupGadget(number);
    if (record && record->operations->removeItem)
        record->operations->removeItem(*record, position);
}

void ClearGadgetItems(ObjectNumber number) {
    GadgetRecord* record = LookupGadget(number);
    if (record && record->operations->clearItems)
        record->operations->clearItems(*record);
}

int32_t CountGadgetItems(ObjectNumber number) {
    GadgetRecord* record = LookupGadget(number);
    if (!record || !record->operations->countItems)
        return 0;
    return record->operations->countItems(*record);
}

std::string GetGadgetText(ObjectNumber number) {
    GadgetRecord* record = LookupGadget(number);
    if (!record)
        return {};
    if (record->operations->getText)
        return record->operations->getText(*record);
    return WindowText(record->control);
}

void SetGadgetText(ObjectNumber number, const char* text) {
    GadgetRecord* record = LookupGadget(number);
    if (!record)
        return;
    if (record->operations->setText) {
        record->operations->setText(*record, TextOrEmpty(text));
    } else {
        SetWindowTextA(record->control, TextOrEmpty(text));
    }
}

int32_t GetGadgetState(ObjectNumber number) {
    GadgetRecord* record = LookupGadget(number);
    if (!record || !record->operations->getState)
        return 0;
    return record->operations->getState(*record);
}

void SetGadgetState(ObjectNumber number, int32_t state) {
    GadgetRecord* record = LookupGadget(number);
    if (record && record->operations->setState)
        record->operations->setState(*record, state);
}

std::string GetGadgetItemText(ObjectNumber number, int32_t item, int32_t column) {
    GadgetRecord* record = LookupGadget(number);
    if (!record || !record->operations->getItemText)
        return {};
    return record->operations->getItemText(*record, item, column);
}

void SetGadgetItemText(ObjectNumber number, int32_t item, const char* text, int32_t column) {
    GadgetRecord* record = LookupGadget(number);
    if (record && record->operations->setItemText) {
        record->operations->setItemText(*record, item, TextOrEmpty(text), column);
    }
}

void AddGadgetColumn(ObjectNumber number, int32_t position, const char* title, int32_t width) {
    GadgetRecord* record = LookupGadget(number);
    if (record && record->operations->addColumn) {
        record->operations->addColumn(*record, position, TextOrEmpty(title), width);
    }
}

void DisableGadget(ObjectNumber number, int32_t state) {
    if (GadgetRecord* record = LookupGadget(number))
        EnableWindow(record->control, state == 0);
}

void SetGadgetColor(ObjectNumber number, int32_t type, int32_t color) {
    GadgetRecord* record = LookupGadget(number);
    if (record && record->operations->setColor)
        record->operations->setColor(*record, type, color);
}

int32_t GetGadgetColor(ObjectNumber number, int32_t type) {
    GadgetRecord* record = LookupGadget(number);
    if (!record || !record->operations->getColor)
        return 0;
    return record->operations->getColor(*record, type);
}

HWND GadgetID(ObjectNumber number) {
    GadgetRecord* record = LookupGadget(number);
    return record ? record->control : nullptr;
}

}  // namespace kv
