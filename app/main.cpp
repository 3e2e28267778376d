#include <windows.h>

#include "app/main_window.h"
#include "toolkit/toolkit.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    kv::StartToolkit();
    kv::BuildMainWindow();
    kv::RunMainLoop();
    kv::EndToolkit();
}
