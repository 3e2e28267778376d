#include "toolkit/systray.h"

#include <cstring>
#include <string>

#include "toolkit/internal.h"
#include "toolkit/window.h"

namespace kv {
namespace {

constexpr int32_t kTrayGrowthStep = 16;
// The first record layout holds 64 characters with the terminating zero.
constexpr size_t kToolTipLength = 63;

struct TrayIconRecord {
    HWND owner = nullptr;
    // What was last set, to add the icon again as it was when the shell restarts.
    HICON icon = nullptr;
    std::string toolTip;

    bool InUse() const { return owner != nullptr; }
};

// One shell call per operation; only the fields its flags name are filled.
struct TrayCall {
    DWORD message;
    UINT flags;
};
constexpr TrayCall kAddIcon = {NIM_ADD, NIF_MESSAGE | NIF_ICON};
constexpr TrayCall kSetToolTip = {NIM_MODIFY, NIF_TIP};
constexpr TrayCall kChangeIcon = {NIM_MODIFY, NIF_ICON};
constexpr TrayCall kRemoveIcon = {NIM_DELETE, 0};

BOOL CallShell(DWORD message, NOTIFYICONDATAA* data) {
    return Shell_NotifyIconA(message, data);
}

NotifyIconFunction notifyIcon = CallShell;

void ReleaseTrayIcon(ObjectNumber number) {
    RemoveSysTrayIcon(number);
}

ObjectTable<TrayIconRecord>& Icons() {
    static ObjectTable<TrayIconRecord> table(kTrayGrowthStep, ReleaseTrayIcon);
    return table;
}

BOOL Notify(const TrayCall& call, ObjectNumber number, const TrayIconRecord& icon) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = icon.owner;
    data.uID = static_cast<UINT>(number);
    data.uFlags = call.flags;
    if (call.flags & NIF_MESSAGE)
        data.uCallbackMessage = kMessageTrayCallback;
    if (call.flags & NIF_ICON)
        data.hIcon = icon.icon;
    if (call.flags & NIF_TIP)
        icon.toolTip.copy(data.szTip, kToolTipLength);
    return notifyIcon(call.message, &data);
}

void AddIconsAgain(HWND owner) {
    Icons().ForEachNumber([owner](ObjectNumber number) {
        const TrayIconRecord* icon = Icons().Lookup(number);
        if (!icon || icon->owner != owner)
            return;
        Notify(kAddIcon, number, *icon);
        // Looked up again: the shell call may dispatch messages that change the table.
        icon = Icons().Lookup(number);
        if (icon && !icon->toolTip.empty())
            Notify(kSetToolTip, number, *icon);
    });
}

}  // namespace

void SetNotifyIconFunction(NotifyIconFunction function) {
    notifyIcon = function ? function : CallShell;
}

void InitSysTrayLibrary() {
    Icons();
    SetTaskbarCreatedHandler(AddIconsAgain);
}

intptr_t AddSysTrayIcon(ObjectNumber number, HWND owner, HICON icon) {
    if (!owner || !icon)
        return 0;
    ObjectNumber assigned = 0;
    TrayIconRecord* record = Icons().Allocate(number, &assigned);
    if (!record)
        return 0;
    TrayIconRecord shown;
    shown.owner = owner;
    shown.icon = icon;
    if (!Notify(kAddIcon, assigned, shown)) {
        Icons().Release(assigned);
        return 0;
    }
    *record = shown;
    return number == kDynamicNumber ? assigned : 1;
}

int32_t SysTrayIconToolTip(ObjectNumber number, const char* text) {
    TrayIconRecord* icon = Icons().Lookup(number);
    if (!icon || !text)
        return 0;
    icon->toolTip.assign(text, strnlen(text, kToolTipLength));
    return Notify(kSetToolTip, number, *icon);
}

int32_t ChangeSysTrayIcon(ObjectNumber number, HICON newIcon) {
    TrayIconRecord* icon = Icons().Lookup(number);
    if (!icon || !newIcon)
        return 0;
    icon->icon = newIcon;
    return Notify(kChangeIcon, number, *icon);
}

int32_t RemoveSysTrayIcon(ObjectNumber number) {
    const TrayIconRecord* icon = Icons().Lookup(number);
    if (!icon)
        return 0;
    // Released before the shell call, so that a restarted shell announced meanwhile does not get
    // this icon back.
    TrayIconRecord removed;
    removed.owner = icon->owner;
    Icons().Release(number);
    return Notify(kRemoveIcon, number, removed);
}

void RemoveAllSysTrayIcons() {
    Icons().ForEachNumber(RemoveSysTrayIcon);
}

}  // namespace kv
