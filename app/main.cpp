#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "app/main_window.h"
#include "app/settings.h"
#include "app/steplist_text.h"
#include "toolkit/toolkit.h"

namespace {

// The argument array CommandLineToArgvW allocated, freed with LocalFree.
class Arguments {
  public:
    Arguments() : values_(CommandLineToArgvW(GetCommandLineW(), &count_)) {}
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;
    ~Arguments() {
        if (values_)
            LocalFree(values_);
    }
    // Wide, as the file system names them: an ANSI path would be another file's best fit.
    std::vector<kv::WideText> Files() const {
        std::vector<kv::WideText> files;
        for (int at = 1; values_ && at < count_; ++at)
            files.emplace_back(values_[at], values_[at] + lstrlenW(values_[at]));
        return files;
    }

  private:
    int count_ = 0;
    LPWSTR* values_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    kv::StartToolkit();
    kv::BuildMainWindow();
    kv::LoadSettings();
    // "Open with" and a file dropped onto the exe give the files as arguments.
    const std::vector<kv::WideText> files = Arguments().Files();
    if (!files.empty())
        kv::OpenStepFiles(files);
    kv::RunMainLoop();
    kv::EndToolkit();
}
