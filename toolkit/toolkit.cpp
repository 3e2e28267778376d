#include "toolkit/toolkit.h"

#include <windows.h>
#include <ole2.h>

#include "toolkit/gadget.h"
#include "toolkit/image.h"
#include "toolkit/internal.h"
#include "toolkit/menu.h"
#include "toolkit/systray.h"
#include "toolkit/window.h"

namespace kv {

void StartToolkit() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    InitImageLibrary();
    InitWindowLibrary(instance);
    InitGadgetLibrary();
    OleInitialize(nullptr);
    InitMenuLibrary();
    InitSysTrayLibrary();
}

void StopToolkit() {
    // The icons go while their owner windows still exist to receive the shell's answer.
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
