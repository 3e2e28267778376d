#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/settings.h"
#include "app/steplist_text.h"
#include "toolkit/toolkit.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    kv::StartToolkit();
    kv::BuildMainWindow();
    kv::LoadSettings();
    // "Open with" and a file dropped onto the exe give the files as arguments.
    const std::vector<std::string> files(__argv + 1, __argv + __argc);
    if (!files.empty())
        kv::OpenStepFiles(files);
    kv::RunMainLoop();
    kv::EndToolkit();
}
