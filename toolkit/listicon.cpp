#include "toolkit/listicon.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "toolkit/droptarget.h"
#include "toolkit/gadget.h"
#include "toolkit/internal.h"
#include "toolkit/window.h"

namespace kv {
namespace {

// The ANSI messages of the list view and its header.
constexpr UINT kListGetItem = LVM_FIRST + 5;
constexpr UINT kListSetItem = LVM_FIRST + 6;
constexpr UINT kListInsertItem = LVM_FIRST + 7;
constexpr UINT kListInsertColumn = LVM_FIRST + 27;
constexpr UINT kListSetItemText = LVM_FIRST + 46;
constexpr UINT kHeaderGetItem = HDM_FIRST + 3;
constexpr UINT kHeaderSetItem = HDM_FIRST + 4;

constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_SHAREIMAGELISTS | LVS_REPORT;
constexpr int32_t kTitleRow = -1;
constexpr size_t kTitleBufferSize = 4096;
constexpr char kColumnSeparator = '\n';

constexpr size_t kWordLongestText = 0;
// Most cells are short: a buffer of this size reads them at the first try.
constexpr size_t kFirstCellBuffer = 256;
constexpr UINT kChosenRow = LVIS_SELECTED | LVIS_FOCUSED;

struct ExtendedStyleFlag {
    uint32_t flag;
    DWORD extendedStyle;
};
constexpr ExtendedStyleFlag kExtendedStyleFlags[] = {
    {kListCheckBoxes, LVS_EX_CHECKBOXES},
    {kListGridLines, LVS_EX_GRIDLINES},
    {kListHeaderDragDrop, LVS_EX_HEADERDRAGDROP},
    {kListFullRowSelect, LVS_EX_FULLROWSELECT},
};

// Notifications that become one event each.
struct NotificationEvent {
    UINT code;
    int32_t eventType;
    bool checksLostSelection;
};
constexpr NotificationEvent kNotificationEvents[] = {
    {NM_CLICK, kEventTypeLeftClick, true},         {NM_RCLICK, kEventTypeRightClick, true},
    {NM_DBLCLK, kEventTypeLeftDoubleClick, false}, {NM_RDBLCLK, kEventTypeRightDoubleClick, false},
    {LVN_BEGINDRAG, kEventTypeDragStart, false},
};

LRESULT Send(HWND control, UINT message, WPARAM wParam, const void* data) {
    return SendMessageA(control, message, wParam, reinterpret_cast<LPARAM>(data));
}

void RaiseLongestText(GadgetRecord& record, size_t length) {
    const uint32_t longest = static_cast<uint32_t>(record.words[kWordLongestText]);
    if (length > longest)
        record.words[kWordLongestText] = static_cast<intptr_t>(length);
}

size_t LongestText(const GadgetRecord& record) {
    return static_cast<uint32_t>(record.words[kWordLongestText]);
}

HWND HeaderOf(HWND control) {
    return reinterpret_cast<HWND>(SendMessageA(control, LVM_GETHEADER, 0, 0));
}

int32_t SelectedRow(HWND control) {
    return static_cast<int32_t>(
        SendMessageA(control, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int32_t LastSelected(HWND control) {
    return static_cast<int32_t>(
        reinterpret_cast<intptr_t>(GetPropA(control, kPropertyLastSelected)));
}

void SetLastSelected(HWND control, int32_t row) {
    SetPropA(control, kPropertyLastSelected, reinterpret_cast<HANDLE>(intptr_t{row}));
}

void InsertColumn(HWND control, int32_t position, const char* title, int32_t width) {
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(title);
    column.iSubItem = position;
    Send(control, kListInsertColumn, static_cast<WPARAM>(position), &column);
}

void SetCell(GadgetRecord& record, UINT message, int32_t row, int32_t column,
             const std::string& text) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    Send(record.control, message, static_cast<WPARAM>(row), &item);
    RaiseLongestText(record, text.size());
}

void SetRowState(HWND control, int32_t row, UINT state, UINT mask) {
    LVITEMA item = {};
    item.state = state;
    item.stateMask = mask;
    Send(control, LVM_SETITEMSTATE, static_cast<WPARAM>(row), &item);
}

int32_t RowAt(HWND control, POINT client) {
    LVHITTESTINFO hit = {};
    hit.pt = client;
    return static_cast<int32_t>(Send(control, LVM_HITTEST, 0, &hit));
}

void AddColumn(GadgetRecord& record, int32_t position, const char* title, int32_t width) {
    InsertColumn(record.control, position, title, width);
}

int32_t CountRows(GadgetRecord& record) {
    return static_cast<int32_t>(SendMessageA(record.control, LVM_GETITEMCOUNT, 0, 0));
}

// False when the platform refused the row.
bool InsertRow(GadgetRecord& record, int32_t position, const char* text) {
    if (position == -1)
        position = CountRows(record);
    const std::string row = text;
    size_t end = row.find(kColumnSeparator);
    const std::string first = row.substr(0, end);
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = position;
    item.pszText = const_cast<char*>(first.c_str());
    const auto inserted = static_cast<int32_t>(Send(record.control, kListInsertItem, 0, &item));
    RaiseLongestText(record, first.size());
    if (inserted < 0)
        return false;
    for (int32_t column = 1; end != std::string::npos && end + 1 < row.size(); ++column) {
        const size_t start = end + 1;
        end = row.find(kColumnSeparator, start);
        SetCell(record, kListSetItemText, inserted, column, row.substr(start, end - start));
    }
    return true;
}

int32_t AddRow(GadgetRecord& record, int32_t position, const char* text) {
    InsertRow(record, position, text);
    return 0;
}

void RemoveRow(GadgetRecord& record, int32_t row) {
    SendMessageA(record.control, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

void RemoveAllRows(GadgetRecord& record) {
    SendMessageA(record.control, LVM_DELETEALLITEMS, 0, 0);
}

int32_t GetSelectedRow(GadgetRecord& record) {
    return SelectedRow(record.control);
}

// The row becomes the only selected one and is scrolled into view; -1 selects none.
void SelectRow(GadgetRecord& record, int32_t row) {
    SetRowState(record.control, kNoRow, 0, kChosenRow);
    if (row == kNoRow)
        return;
    SetRowState(record.control, row, kChosenRow, kChosenRow);
    SendMessageA(record.control, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

std::string GetTitle(HWND control, int32_t column) {
    std::vector<char> buffer(kTitleBufferSize);
    HDITEMA item = {};
    item.mask = HDI_TEXT;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    if (!Send(HeaderOf(control), kHeaderGetItem, static_cast<WPARAM>(column), &item))
        return {};
    buffer.back() = '\0';
    return buffer.data();
}

// False when the platform refused the request.
bool ReadCell(HWND control, int32_t row, int32_t column, char* buffer, size_t size) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(size);
    buffer[0] = '\0';
    if (!Send(control, kListGetItem, 0, &item))
        return false;
    buffer[size - 1] = '\0';
    return true;
}

// The platform gives no cell's length: the read starts small and grows while the text fills the
// buffer, up to the longest text the list ever held. A buffer of that size for every cell would
// cost a list that once held a long text most of a run's start zeroing it.
std::string GetCell(GadgetRecord& record, int32_t row, int32_t column) {
    if (row == kTitleRow)
        return GetTitle(record.control, column);
    const size_t most = LongestText(record) + 1;
    char first[kFirstCellBuffer];
    size_t size = std::min(most, sizeof first);
    if (!ReadCell(record.control, row, column, first, size))
        return {};
    size_t length = std::strlen(first);
    if (length + 1 < size || size == most)
        return std::string(first, length);
    std::vector<char> buffer;
    do {
        size = std::min(most, size * 2);
        buffer.resize(size);
        if (!ReadCell(record.control, row, column, buffer.data(), size))
            return {};
        length = std::strlen(buffer.data());
    } while (length + 1 == size && size < most);
    return std::string(buffer.data(), length);
}

void SetCellText(GadgetRecord& record, int32_t row, const char* text, int32_t column) {
    if (row == kTitleRow) {
        HDITEMA item = {};
        item.mask = HDI_TEXT;
        item.pszText = const_cast<char*>(text);
        Send(HeaderOf(record.control), kHeaderSetItem, static_cast<WPARAM>(column), &item);
        return;
    }
    SetCell(record, kListSetItem, row, column, text);
}

void CheckLostSelection(HWND control) {
    if (SelectedRow(control) == kNoRow && LastSelected(control) != kNoRow) {
        SetLastSelected(control, kNoRow);
        PostGadgetEvent(control, kEventTypeChange);
    }
}

LRESULT NotificationHook(GadgetRecord& record, HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY)
        return kNotHandled;
    const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
        // Only a row that gains the selection: drag feedback changes the selected row's other
        // state bits on every mouse move.
        if ((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED)) {
            SetLastSelected(record.control, change.iItem);
            PostGadgetEvent(record.control, kEventTypeChange);
        }
        return 0;
    }
    if (header.code == LVN_KEYDOWN) {
        const auto& key = *reinterpret_cast<const NMLVKEYDOWN*>(lParam);
        const bool control = GetKeyState(VK_CONTROL) < 0;
        PostGadgetEvent(record.control, KeyEventType(key.wVKey, control));
        return 0;
    }
    for (const NotificationEvent& event : kNotificationEvents) {
        if (event.code != header.code)
            continue;
        if (event.checksLostSelection)
            CheckLostSelection(record.control);
        PostGadgetEvent(record.control, event.eventType);
        return 0;
    }
    return kNotHandled;
}

void ForgetSelection(GadgetRecord& record) {
    RemovePropA(record.control, kPropertyLastSelected);
}

void ListDropFeedback(HWND control, DropFeedback feedback, POINT client) {
    SetRowState(control, kNoRow, 0, LVIS_DROPHILITED);
    if (feedback == DropFeedback::kAccepted) {
        const int32_t row = RowAt(control, client);
        if (row != kNoRow)
            SetRowState(control, row, LVIS_DROPHILITED, LVIS_DROPHILITED);
    } else if (feedback == DropFeedback::kDrop) {
        SetRowState(control, kNoRow, 0, kChosenRow);
        const int32_t row = RowAt(control, client);
        if (row != kNoRow)
            SetRowState(control, row, kChosenRow, kChosenRow);
    }
}

const KindOperations& ListOperations() {
    static const KindOperations operations = [] {
        KindOperations list;
        list.kind = kKindListIcon;
        list.messageHook = NotificationHook;
        list.destroyHook = ForgetSelection;
        list.getState = GetSelectedRow;
        list.setState = SelectRow;
        list.addItem = AddRow;
        list.removeItem = RemoveRow;
        list.clearItems = RemoveAllRows;
        list.countItems = CountRows;
        list.getItemText = GetCell;
        list.setItemText = SetCellText;
        list.addColumn = AddColumn;
        return list;
    }();
    return operations;
}

}  // namespace

intptr_t ListIconGadget(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                        const char* firstColumnTitle, int32_t firstColumnWidth, uint32_t flags) {
    DWORD style = flags | kListStyle;
    style = flags & kListMultiSelect ? style & ~LVS_SINGLESEL : style | LVS_SINGLESEL;
    const HWND control =
        CreateGadgetControl(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", style, x, y, width, height);
    if (!control)
        return 0;
    DWORD extendedStyle = 0;
    for (const ExtendedStyleFlag& entry : kExtendedStyleFlags) {
        if (flags & entry.flag)
            extendedStyle |= entry.extendedStyle;
    }
    if (extendedStyle) {
        SendMessageA(control, LVM_SETEXTENDEDLISTVIEWSTYLE, extendedStyle, extendedStyle);
    }
    const intptr_t result = RegisterGadget(number, control, ListOperations());
    if (result)
        InsertColumn(control, 0, firstColumnTitle ? firstColumnTitle : "", firstColumnWidth);
    return result;
}

void EnableGadgetDrop(ObjectNumber number, uint32_t format, uint32_t actions,
                      uint32_t privateType) {
    GadgetRecord* record = LookupGadget(number);
    if (!record || format == 0)
        return;
    const DropFeedbackFunction feedback =
        record->operations->kind == kKindListIcon ? ListDropFeedback : nullptr;
    AcceptDrop(record->control, GadgetNumberOf(*record), format, actions, privateType, feedback);
    SetWindowPos(record->control, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

int32_t AddGadgetItems(ObjectNumber number, int32_t position,
                       const std::vector<std::string>& rows) {
    GadgetRecord* record = LookupGadget(number);
    if (!record || record->operations->kind != kKindListIcon)
        return 0;
    if (position == -1 || position > CountRows(*record))
        position = CountRows(*record);
    // Drawn once at the end: a visible list repaints at every insert otherwise.
    SendMessageA(record->control, WM_SETREDRAW, FALSE, 0);
    int32_t inserted = 0;
    for (const std::string& row : rows) {
        if (!InsertRow(*record, position + inserted, row.c_str())) {
            while (inserted > 0)
                RemoveRow(*record, position + --inserted);
            break;
        }
        ++inserted;
    }
    SendMessageA(record->control, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(record->control, nullptr, TRUE);
    return inserted;
}

int32_t GadgetItemAt(ObjectNumber number, int32_t x, int32_t y) {
    GadgetRecord* record = LookupGadget(number);
    if (!record || record->operations->kind != kKindListIcon)
        return kNoRow;
    return RowAt(record->control, {x, y});
}

void SetGadgetDropCallback(ObjectNumber number, DropCallback callback, size_t mostBytes) {
    if (GadgetRecord* record = LookupGadget(number))
        SetDropCallback(record->control, callback, mostBytes);
}

}  // namespace kv
