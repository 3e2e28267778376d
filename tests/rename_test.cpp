#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/rename.h"
#include "app_fixture.h"
#include "toolkit/systray.h"

namespace kv {
namespace {

using Rows = std::vector<std::string>;
using Step = test::Script::Step;

int trayCalls = 0;

// Refused, so that a "Start..." acted on by mistake returns at once instead of staying armed.
BOOL CountTrayCall(DWORD, NOTIFYICONDATAA*) {
    ++trayCalls;
    return FALSE;
}

class RenameWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        test::StartMainWindow();
        SetNotifyIconFunction(CountTrayCall);
        test::AddRow("1000", "F5");
        test::AddRow("500", "a");
        test::AddRow("0", "Return");
        test::SelectRow(0);
    }

    // Chooses "Umbenennen (Name+Zeit)" and runs `steps` while the rename window is open.
    static void Rename(std::vector<Step> steps) {
        steps.insert(steps.begin(), [] { return WindowID(kRenameWindow) != nullptr; });
        test::Script script(std::move(steps));
        PostMessageA(WindowID(kMainWindow), WM_COMMAND, kMenuItemRename, 0);
        test::HandleEventsWhile(script);
        EXPECT_TRUE(test::Script::Done());
        EXPECT_EQ(WindowID(kRenameWindow), nullptr);
        EXPECT_EQ(GadgetID(kGadgetRenameApply), nullptr);
    }

    static Step Do(std::function<void()> action) {
        return [action] {
            action();
            return true;
        };
    }

    static Step Type(ObjectNumber field, const std::string& text) {
        return Do([field, text] {
            SetGadgetText(field, "");
            test::PostTyping(GadgetID(field), text);
        });
    }

    static Step Apply() {
        return Do([] { test::PostClick(kGadgetRenameApply); });
    }
};

TEST_F(RenameWindow, OpensWithTheRowsTextsAndChangesExactlyThatRow) {
    std::string pause, key, title;
    Rename({Do([&] {
                pause = GetGadgetText(kGadgetRenamePause);
                key = GetGadgetText(kGadgetRenameKey);
                char text[32] = {};
                GetWindowTextA(WindowID(kRenameWindow), text, sizeof text);
                title = text;
            }),
            Type(kGadgetRenamePause, "2x5-0"), Type(kGadgetRenameKey, "Escape"), Apply()});
    EXPECT_EQ(pause, "1000");
    EXPECT_EQ(key, "F5");
    EXPECT_EQ(title, kRenameTitle);
    EXPECT_EQ(test::Rows(), (Rows{"250|Escape", "500|a", "0|Return"}));
}

TEST_F(RenameWindow, EmptiedFieldsGiveEmptyColumns) {
    test::SelectRow(1);
    Rename({Type(kGadgetRenamePause, ""), Type(kGadgetRenameKey, ""), Apply()});
    EXPECT_EQ(test::Rows(), (Rows{"1000|F5", "|", "0|Return"}));
}

TEST_F(RenameWindow, CloseRequestsEndItWithTheWriteBackAndTheMainWindowStaysOpen) {
    Rename({Type(kGadgetRenameKey, "x"),
            Do([] { PostMessageA(WindowID(kRenameWindow), WM_CLOSE, 0, 0); })});
    EXPECT_EQ(test::Rows()[0], "1000|x");

    Rename({Type(kGadgetRenameKey, "y"),
            Do([] { PostMessageA(WindowID(kMainWindow), WM_CLOSE, 0, 0); })});
    EXPECT_EQ(test::Rows()[0], "1000|y");
    EXPECT_TRUE(IsWindowVisible(WindowID(kMainWindow)));
}

TEST_F(RenameWindow, ClicksOnTheMainWindowDoNothingMeanwhile) {
    SetGadgetText(kGadgetKey, "F1");
    test::HandlePendingEvents();
    Rename({Do([] {
                for (ObjectNumber button : {kGadgetAdd, kGadgetStart, kGadgetExpand}) {
                    test::PostClick(button);
                }
            }),
            Apply()});
    EXPECT_EQ(CountGadgetItems(kGadgetStepList), 3);
    EXPECT_EQ(WindowHeight(kMainWindow), 420);
    EXPECT_TRUE(IsWindowVisible(WindowID(kMainWindow)));
    EXPECT_EQ(trayCalls, 0);
}

TEST_F(RenameWindow, WritesBackToTheRowItWasOpenedForWhateverIsSelectedMeanwhile) {
    test::SelectRow(1);
    Rename({Type(kGadgetRenameKey, "b"), Do([] { test::SelectRow(2); }), Apply()});
    EXPECT_EQ(test::Rows(), (Rows{"1000|F5", "500|b", "0|Return"}));

    Rename({Type(kGadgetRenameKey, "c"), Do([] { test::SelectRow(-1); }), Apply()});
    EXPECT_EQ(test::Rows(), (Rows{"1000|F5", "500|b", "0|c"}));
    EXPECT_EQ(GetGadgetItemText(kGadgetStepList, -1, 0), "Pause in ms");
    EXPECT_EQ(GetGadgetItemText(kGadgetStepList, -1, 1), "Key/Text");
}

TEST_F(RenameWindow, WritesNothingWhenItsRowIsGone) {
    test::SelectRow(2);
    Rename(
        {Type(kGadgetRenameKey, "z"), Do([] { RemoveGadgetItem(kGadgetStepList, 2); }), Apply()});
    EXPECT_EQ(test::Rows(), (Rows{"1000|F5", "500|a"}));
}

TEST_F(RenameWindow, OpensNoWindowWithoutASelectedRow) {
    test::SelectRow(-1);
    EXPECT_EQ(RenameStep(), 0);
    EXPECT_EQ(WindowID(kRenameWindow), nullptr);
    EXPECT_EQ(GetGadgetItemText(kGadgetStepList, -1, 0), "Pause in ms");
}

}  // namespace
}  // namespace kv
