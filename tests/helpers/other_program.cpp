// Another program's side of the clipboard and of drag and drop, with Unicode text or any data
// in files. Usage: other_program get <file>: the clipboard's Unicode text into the file, as raw
// UTF-16; put <file>: the file's raw UTF-16 onto the clipboard as Unicode text; drag <x> <y>
// <format> <file>: the file's bytes in that clipboard format, dragged to the screen point and
// dropped there through the platform's drag loop, the effect the target reported as exit code;
// hold <ms>: the clipboard kept open for that long.

#include <windows.h>
#include <ole2.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

class DropAtOnce final : public IDropSource {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        *object = IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropSource) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    // The first turns of the loop find the target under the cursor; then it drops.
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override {
        return turns_++ < 2 ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

  private:
    int turns_ = 0;
};

int main(int argc, char** argv) {
    const std::string verb = argc > 2 ? argv[1] : "";
    const char* path = argv[argc - 1];
    // Data is set only by a clipboard opened for a window.
    const HWND owner =
        CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (FAILED(OleInitialize(nullptr)) || !OpenClipboard(owner))
        return 100;
    if (verb == "hold") {
        Sleep(std::atoi(path));
        return CloseClipboard() ? 0 : 101;
    }
    if (verb == "get") {
        const HANDLE data = GetClipboardData(CF_UNICODETEXT);
        const auto* text = static_cast<const wchar_t*>(data ? GlobalLock(data) : nullptr);
        if (text)
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(text), lstrlenW(text) * sizeof(wchar_t));
        return CloseClipboard() && text ? 0 : 101;
    }
    std::ifstream file(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), {});
    bytes.append(2, '\0');
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    const UINT format = verb == "drag" ? std::strtoul(argv[4], nullptr, 0) : CF_UNICODETEXT;
    IDataObject* data = nullptr;
    if (!EmptyClipboard() || !SetClipboardData(format, block) || !CloseClipboard())
        return 102;
    if (verb != "drag" || FAILED(OleGetClipboard(&data)))
        return verb == "put" ? 0 : 103;
    SetCursorPos(std::atoi(argv[2]), std::atoi(argv[3]));
    DropAtOnce source;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    return result == DRAGDROP_S_DROP || result == DRAGDROP_S_CANCEL ? static_cast<int>(effect)
                                                                    : 104;
}
