#pragma once
// The program's real main window in the test process, and what the tests need to drive it.

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "app/numbers.h"
#include "toolkit/gadget.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

namespace kv::test {

// The program's start-up as far as its event loop.
inline void StartMainWindow() {
    StartToolkit();
    BuildMainWindow();
}

inline void AddRow(const std::string& pause, const std::string& key) {
    AddGadgetItem(kGadgetStepList, -1, (pause + '\n' + key).c_str());
}

inline void RemoveAllRows() {
    while (CountGadgetItems(kGadgetStepList) > 0)
        RemoveGadgetItem(kGadgetStepList, 0);
}

// Every row as "pause|key".
inline std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int32_t row = 0; row < CountGadgetItems(kGadgetStepList); ++row) {
        rows.push_back(GetGadgetItemText(kGadgetStepList, row, 0) + "|" +
                       GetGadgetItemText(kGadgetStepList, row, 1));
    }
    return rows;
}

// -1 clears the selection.
inline void SelectRow(int32_t row) {
    HWND list = GadgetID(kGadgetStepList);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row >= 0) {
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }
}

// A click as the button's own input would make it, handled when its message is fetched.
inline void PostClick(ObjectNumber gadget) {
    PostMessageA(GadgetID(gadget), BM_CLICK, 0, 0);
}

// Typed characters, as the keyboard's WM_CHAR messages reach an edit control.
inline void PostTyping(HWND edit, const std::string& text) {
    for (char character : text) {
        PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(character), 1);
    }
}

inline HWND KeyFieldEdit() {
    return GetWindow(GadgetID(kGadgetKey), GW_CHILD);
}

// Hands every event that has arrived to the main loop's handler, as the loop would.
inline void HandlePendingEvents() {
    while (int32_t event = WindowEvent(0))
        HandleMainEvent(event);
}

// Steps run one per timer tick on this thread, so they act while a nested loop of the program
// (a popup menu, the rename window) waits for events. A step that returns false is tried again
// at the next tick.
class Script {
  public:
    using Step = std::function<bool()>;

    explicit Script(std::vector<Step> steps) {
        steps_ = std::move(steps);
        next_ = 0;
        timer_ = SetTimer(nullptr, 0, kTickMs, Tick);
    }
    ~Script() { Stop(); }
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    static bool Done() { return next_ == steps_.size(); }

  private:
    static constexpr UINT kTickMs = 10;

    static void Stop() {
        if (timer_)
            KillTimer(nullptr, timer_);
        timer_ = 0;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (next_ < steps_.size() && steps_[next_]())
            ++next_;
        if (Done())
            Stop();
    }

    static inline std::vector<Step> steps_;
    static inline size_t next_ = 0;
    static inline UINT_PTR timer_ = 0;
};

// Handles events until the script has run out or `limitMs` has passed.
inline void HandleEventsWhile(const Script&, DWORD limitMs = 5000) {
    const DWORD start = GetTickCount();
    while (!Script::Done() && GetTickCount() - start < limitMs) {
        HandleMainEvent(WindowEvent(20));
    }
    HandlePendingEvents();
}

}  // namespace kv::test
