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
    // The main window stays usable meanwhile, so the selection is taken now, not at the end.
    const int32_t row = GetGadgetState(kGadgetStepList);
    if (row < 0)
        return 0;
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
    CloseWindow(kRenameWindow);
    return 0;
}

}  // namespace kv
