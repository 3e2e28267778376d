#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/app_fixture.h"
#include "toolkit/internal.h"
#include "toolkit/systray.h"

namespace kv {
namespace {

using Rows = std::vector<std::string>;
using test::Step;

int trayCalls = 0;

// Refused, so that a "Start..." acted on by mistake returns at once instead of staying armed.
BOOL CountTrayCall(DWORD, NOTIFYICONDATAA*) {
    ++trayCalls;
    return FALSE;
}

Step Do(std::function<void()> action) {
    return [action] {
        action();
        return true;
    };
}

Step Type(ObjectNumber field, const std::string& text) {
    return Do([field, text] {
        SetGadgetText(field, "");
        test::PostTyping(GadgetID(field), text);
    });
}

const Step kApply = Do([] { test::PostClick(kGadgetRenameApply); });

class RenameWindow : public test::AppTest {
  protected:
    void SetUp() override {
        test::AppTest::SetUp();
        SetNotifyIconFunction(CountTrayCall);
        test::SetRows({{"1000", "F5"}, {"500", "a"}, {"0", "Return"}});
    }

    // Chooses "Umbenennen (Name+Zeit)" for `row` and runs `steps` while its window is open.
    static void Rename(int32_t row, std::vector<Step> steps) {
        test::SelectRow(row);
        steps.insert(steps.begin(), [] { return WindowID(kRenameWindow) != nullptr; });
        PostMessageA(WindowID(kMainWindow), WM_COMMAND, kMenuItemRename, 0);
        EXPECT_TRUE(test::RunScript(std::move(steps)));
        EXPECT_EQ(WindowID(kRenameWindow), nullptr);
    }
};

// Selecting another row or none meanwhile must not move the write-back.
TEST_F(RenameWindow, ShowsTheRowAndWritesTheFieldsBackToIt) {
    std::string shown;
    Rename(0, {Do([&] {
                   shown =
                       GetGadgetText(kGadgetRenamePause) + "|" + GetGadgetText(kGadgetRenameKey);
               }),
               Type(kGadgetRenamePause, "2x5-0"), Type(kGadgetRenameKey, "Escape"),
               Do([] { test::SelectRow(-1); }), kApply});
    EXPECT_EQ(shown, "1000|F5");
    Rename(1, {Type(kGadgetRenamePause, ""), Type(kGadgetRenameKey, ""),
               Do([] { test::SelectRow(2); }), kApply});
    EXPECT_EQ(test::Rows(), (Rows{"250|Escape", "|", "0|Return"}));
    EXPECT_EQ(GetGadgetItemText(kGadgetStepList, -1, 1), "Key/Text");
}

// A close request ends the rename with its write-back, whichever window it was aimed at, and is
// no request to end the program.
TEST_F(RenameWindow, CloseRequestsEndItWithTheWriteBackAndTheProgramGoesOn) {
    Rename(0, {Type(kGadgetRenameKey, "x"),
               Do([] { PostMessageA(WindowID(kRenameWindow), WM_CLOSE, 0, 0); })});
    Rename(1, {Type(kGadgetRenameKey, "y"),
               Do([] { PostMessageA(WindowID(kMainWindow), WM_CLOSE, 0, 0); })});
    EXPECT_EQ(test::Rows(), (Rows{"1000|x", "500|y", "0|Return"}));
    EXPECT_FALSE(test::mainLoopEnded);
}

TEST_F(RenameWindow, ClicksOnTheMainWindowDoNothingMeanwhile) {
    SetGadgetText(kGadgetKey, "F1");
    test::HandlePendingEvents();
    Rename(0, {Do([] {
                   for (ObjectNumber button : {kGadgetAdd, kGadgetStart, kGadgetExpand})
                       test::PostClick(button);
               }),
               kApply});
    EXPECT_EQ(CountGadgetItems(kGadgetStepList), 3);
    EXPECT_EQ(WindowHeight(kMainWindow), 420);
    EXPECT_EQ(trayCalls, 0);
}

}  // namespace
}  // namespace kv
