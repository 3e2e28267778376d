#include "toolkit/systray.h"

#include <algorithm>
#include <climits>
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
    // What the shell knows the icon by (see IdentifierFor).
    UINT identifier = 0;
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

BOOL Notify(const TrayCall& call, const TrayIconRecord& icon) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = icon.owner;
    data.uID = icon.identifier;
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
        Notify(kAddIcon, *icon);
        // Looked up again: the shell call may dispatch messages that change the table.
        icon = Icons().Lookup(number);
        if (icon && !icon->toolTip.empty())
            Notify(kSetToolTip, *icon);
    });
}

bool IdentifierInUse(UINT identifier) {
    bool used = false;
    Icons().ForEachNumber([identifier, &used](ObjectNumber number) {
        used = used || Icons().Lookup(number)->identifier == identifier;
    });
    return used;
}

// The shell keeps an icon's identifier in 32 bits. A static number is its own identifier; a
// dynamic number, cut to 32 bits where it is wider, takes the next value above every static
// number that no other icon holds.
UINT IdentifierFor(ObjectNumber number) {
    if (number <= kMaxStaticNumber)
        return static_cast<UINT>(number);
    constexpr UINT kFirstDynamic = static_cast<UINT>(kMaxStaticNumber) + 1;
    UINT identifier = std::max(static_cast<UINT>(number), kFirstDynamic);
    while (IdentifierInUse(identifier))
        identifier = identifier == UINT_MAX ? kFirstDynamic : identifier + 1;
    return identifier;
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
    shown.identifier = IdentifierFor(assigned);
    shown.icon = icon;
    if (!Notify(kAddIcon, shown)) {
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
    return Notify(kSetToolTip, *icon);
}

int32_t ChangeSysTrayIcon(ObjectNumber number, HICON newIcon) {
    TrayIconRecord* icon = Icons().Lookup(number);
    if (!icon || !newIcon)
        return 0;
    icon->icon = newIcon;
    return Notify(kChangeIcon, *icon);
}

int32_t RemoveSysTrayIcon(ObjectNumber number) {
    const TrayIconRecord* icon = Icons().Lookup(number);
    if (!icon)
        return 0;
    // Released before the shell call, so that a restarted shell announced meanwhile does not get
    // this icon back.
    TrayIconRecord removed;
    removed.owner = icon->owner;
    removed.identifier = icon->identifier;
    Icons().Release(number);
    return Notify(kRemoveIcon, removed);
}

ObjectNumber SysTrayIconNumberOf(HWND owner, UINT identifier) {
    ObjectNumber found = kDynamicNumber;
    Icons().ForEachNumber([owner, identifier, &found](ObjectNumber number) {
        const TrayIconRecord* icon = Icons().Lookup(number);
        if (icon->owner == owner && icon->identifier == identifier)
            found = number;
    });
    return found;
}

void RemoveAllSysTrayIcons() {
    Icons().ForEachNumber(RemoveSysTrayIcon);
}

}  // namespace kv
