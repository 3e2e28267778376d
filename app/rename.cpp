#include "app/rename.h"

#include "app/numbers.h"
#include "toolkit/gadget.h"
#include "toolkit/window.h"

namespace kv {

namespace {

bool EndsRename(int32_t event) {
    return (event == kEventGadget && EventGadget() == kGadgetRenameApply) ||
           event == kEventCloseWindow;
}

}  // namespace

int32_t RenameStep() {
    const int32_t row = GetGadgetState(kGadgetStepList);
    if (row < 0)
        return 0;
    // As an owned dialog does: the main window takes no keys, clicks or drops meanwhile, since
    // its events would reach no loop that acts on them.
    DisableWindow(kMainWindow, 1);
    OpenWindow(kRenameWindow, 0, 0, 190, 80, kRenameTitle, kWindowCentreOnScreen,
               WindowID(kMainWindow));
    CreateGadgetList(WindowID(kRenameWindow));
    StringGadget(kGadgetRenamePause, 20, 20, 50, 20,
                 GetGadgetItemText(kGadgetStepList, row, kColumnPause).c_str(), kStringNumeric);
    StringGadget(kGadgetRenameKey, 70, 20, 100, 20,
                 GetGadgetItemText(kGadgetStepList, row, kColumnKey).c_str());
    ButtonGadget(kGadgetRenameApply, 55, 60, 80, 20, "Ändern");
    while (!EndsRename(WaitWindowEvent())) {
    }
    if (row < CountGadgetItems(kGadgetStepList)) {
        SetGadgetItemText(kGadgetStepList, row, GetGadgetText(kGadgetRenamePause).c_str(),
                          kColumnPause);
        SetGadgetItemText(kGadgetStepList, row, GetGadgetText(kGadgetRenameKey).c_str(),
                          kColumnKey);
    }
    // Enabled before the rename window goes, so that the main window becomes the active one.
    DisableWindow(kMainWindow, 0);
    CloseWindow(kRenameWindow);
    return 0;
}

}  // namespace kv
