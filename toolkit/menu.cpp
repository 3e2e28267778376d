#include "toolkit/menu.h"

#include "toolkit/internal.h"

namespace kv {
namespace {

constexpr int32_t kMenuGrowthStep = 16;

struct MenuRecord {
    HMENU handle = nullptr;

    bool InUse() const { return handle != nullptr; }
};

void ReleaseMenu(ObjectNumber number) {
    FreeMenu(number);
}

ObjectTable<MenuRecord>& Menus() {
    static ObjectTable<MenuRecord> table(kMenuGrowthStep, ReleaseMenu);
    return table;
}

// The menu that MenuItem appends to: the one created last.
HMENU currentMenu = nullptr;

}  // namespace

void InitMenuLibrary() {
    Menus();
    currentMenu = nullptr;
}

intptr_t CreatePopupMenu(ObjectNumber number) {
    ObjectNumber assigned = 0;
    MenuRecord* record = Menus().Allocate(number, &assigned);
    if (!record)
        return 0;
    HMENU menu = ::CreatePopupMenu();
    if (!menu) {
        Menus().Release(assigned);
        return 0;
    }
    record->handle = menu;
    currentMenu = menu;
    return number == kDynamicNumber ? assigned : reinterpret_cast<intptr_t>(menu);
}

void MenuItem(int32_t itemNumber, const char* text) {
    AppendMenuA(currentMenu, MF_STRING, static_cast<UINT_PTR>(itemNumber), text);
}

void SetMenuItemState(ObjectNumber number, int32_t itemNumber, int32_t state) {
    if (const MenuRecord* menu = Menus().Lookup(number))
        CheckMenuItem(menu->handle, static_cast<UINT>(itemNumber),
                      MF_BYCOMMAND | (state ? MF_CHECKED : MF_UNCHECKED));
}

int32_t DisplayPopupMenu(ObjectNumber number, HWND window) {
    POINT cursor{};
    GetCursorPos(&cursor);
    const MenuRecord* menu = Menus().Lookup(number);
    if (!menu)
        return 0;
    SetForegroundWindow(window);
    return TrackPopupMenu(menu->handle, TPM_RIGHTBUTTON, cursor.x - 1, cursor.y - 1, 0, window,
                          nullptr);
}

int32_t FreeMenu(ObjectNumber number) {
    const MenuRecord* menu = Menus().Lookup(number);
    if (!menu)
        return 0;
    if (menu->handle == currentMenu)
        currentMenu = nullptr;
    const BOOL destroyed = DestroyMenu(menu->handle);
    Menus().Release(number);
    return destroyed;
}

}  // namespace kv
