#include "toolkit/toolkit.h"

#include <windows.h>
#include <ole2.h>

#include "toolkit/gadget.h"
#include "toolkit/image.h"
#include "toolkit/menu.h"
#include "toolkit/systray.h"
#include "toolkit/window.h"

namespace kv {

void StartToolkit() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    InitImageLibrary();
    InitWindowLibrary(instance);
    InitGadgetLibrary();
    OleInitialize(nullptr);
    InitMenuLibrary();
    InitSysTrayLibrary();
}

void StopToolkit() {
    // Tray icons go first: the shell would otherwise keep icons of windows already gone.
    RemoveAllSysTrayIcons();
    OleUninitialize();
    CloseAllWindows();
    FreeAllImages();
}

void EndToolkit() {
    StopToolkit();
    ExitProcess(0);
}

}  // namespace kv
