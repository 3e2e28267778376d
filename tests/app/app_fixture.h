#pragma once
// The program's real main window in the test process, and what the tests need to drive it.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

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

using StepRows = std::vector<std::pair<std::string, std::string>>;

// Whether the main loop would have ended: a handled event said so.
inline bool mainLoopEnded = false;

// The program's start-up as far as its event loop.
class AppTest : public ::testing::Test {
  protected:
    void SetUp() override {
        StartToolkit();
        BuildMainWindow();
        mainLoopEnded = false;
    }
};

// Replaces the list's rows. The key column is set directly, so that it may hold a line feed.
inline void SetRows(const StepRows& rows) {
    while (CountGadgetItems(kGadgetStepList) > 0)
        RemoveGadgetItem(kGadgetStepList, 0);
    for (const auto& [pause, key] : rows) {
        AddGadgetItem(kGadgetStepList, -1, pause.c_str());
        SetGadgetItemText(kGadgetStepList, CountGadgetItems(kGadgetStepList) - 1, key.c_str(), 1);
    }
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
    const UINT state = LVIS_SELECTED | LVIS_FOCUSED;
    ListView_SetItemState(list, -1, 0, state);
    if (row >= 0)
        ListView_SetItemState(list, row, state, state);
}

// A click as the button's own input would make it, handled when its message is fetched.
inline void PostClick(ObjectNumber gadget) {
    PostMessageA(GadgetID(gadget), BM_CLICK, 0, 0);
}

// Typed characters, as the keyboard's WM_CHAR messages reach an edit control.
inline void PostTyping(HWND edit, const std::string& text) {
    for (char character : text)
        PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(character), 1);
}

inline void Handle(int32_t event) {
    if (!HandleMainEvent(event))
        mainLoopEnded = true;
}

inline void HandlePendingEvents() {
    while (int32_t event = WindowEvent(0))
        Handle(event);
}

// Steps run one per timer tick on this thread, so they act while a nested loop of the program
// (a popup menu, the rename window) waits for events. A step that returns false is tried again
// at the next tick.
using Step = std::function<bool()>;
inline std::vector<Step> scriptSteps;
inline size_t scriptNext = 0;

inline void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD) {
    if (scriptNext < scriptSteps.size() && scriptSteps[scriptNext]())
        ++scriptNext;
}

// Handles the main window's events while `steps` run; true when all ran within `limitMs`.
inline bool RunScript(std::vector<Step> steps, DWORD limitMs = 5000) {
    scriptSteps = std::move(steps);
    scriptNext = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, ScriptTick);
    const DWORD start = GetTickCount();
    while (scriptNext < scriptSteps.size() && GetTickCount() - start < limitMs)
        Handle(WindowEvent(20));
    KillTimer(nullptr, timer);
    HandlePendingEvents();
    return scriptNext == scriptSteps.size();
}

}  // namespace kv::test
