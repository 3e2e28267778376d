#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/app_fixture.h"

namespace kv {
namespace {

using Rows = std::vector<std::string>;

class MainWindow : public test::AppTest {
  protected:
    static bool Enabled(ObjectNumber gadget) { return IsWindowEnabled(GadgetID(gadget)) != 0; }

    static void Click(ObjectNumber gadget) {
        test::PostClick(gadget);
        test::HandlePendingEvents();
    }

    static void Type(HWND edit, const std::string& text) {
        test::PostTyping(edit, text);
        test::HandlePendingEvents();
    }

    static void TypeKey(const std::string& text) {
        Type(GetWindow(GadgetID(kGadgetKey), GW_CHILD), text);
    }
};

TEST_F(MainWindow, StartsEmptyWithTheDefaultFieldsAndAddDisabledAfterTheFirstEvent) {
    EXPECT_EQ(CountGadgetItems(kGadgetStepList), 0);
    EXPECT_EQ(GetGadgetItemText(kGadgetStepList, -1, 0), "Pause in ms");
    EXPECT_EQ(GetGadgetItemText(kGadgetStepList, -1, 1), "Key/Text");
    EXPECT_EQ(GetGadgetText(kGadgetPause), "1000");
    EXPECT_EQ(GetGadgetText(kGadgetKey), "");
    EXPECT_FALSE(Enabled(kGadgetRepeatCount));
    EXPECT_TRUE(Enabled(kGadgetAdd));
    // A message that makes no event of its own still turns the loop once.
    PostMessageA(WindowID(kMainWindow), WM_APP, 0, 0);
    EXPECT_TRUE(HandleMainEvent(WaitWindowEvent()));
    EXPECT_FALSE(Enabled(kGadgetAdd));
}

TEST_F(MainWindow, AddFollowsTheKeyFieldAppendsRowsAndDeleteKeepsTheOthersInOrder) {
    test::HandlePendingEvents();
    TypeKey(" ");
    EXPECT_TRUE(Enabled(kGadgetAdd));
    Click(kGadgetAdd);
    TypeKey("\b");
    EXPECT_FALSE(Enabled(kGadgetAdd));

    // A pick from the drop-down list: the entry becomes the text and the combo box says so.
    HWND combo = GadgetID(kGadgetKey);
    SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("F5"));
    PostMessageA(WindowID(kMainWindow), WM_COMMAND, MAKEWPARAM(kGadgetKey, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    test::HandlePendingEvents();
    EXPECT_TRUE(Enabled(kGadgetAdd));
    Click(kGadgetAdd);

    SetGadgetText(kGadgetKey, "");
    TypeKey("Hallo Welt");
    Click(kGadgetAdd);
    SendMessageA(GadgetID(kGadgetPause), EM_SETSEL, 0, -1);
    Type(GadgetID(kGadgetPause), "\b");
    Click(kGadgetAdd);
    EXPECT_EQ(test::Rows(), (Rows{"1000| ", "1000|F5", "1000|Hallo Welt", "|Hallo Welt"}));

    test::SelectRow(1);
    PostMessageA(WindowID(kMainWindow), WM_COMMAND, kMenuItemDelete, 0);
    test::HandlePendingEvents();
    EXPECT_EQ(test::Rows(), (Rows{"1000| ", "1000|Hallo Welt", "|Hallo Welt"}));
}

TEST_F(MainWindow, ExpanderKeepsThePlaceAndTheToggleSwitchesTheCountField) {
    const int32_t x = WindowX(kMainWindow);
    const int32_t y = WindowY(kMainWindow);
    for (int32_t height : {460, 420}) {
        Click(kGadgetExpand);
        EXPECT_EQ(WindowHeight(kMainWindow), height);
        EXPECT_EQ(WindowX(kMainWindow), x);
        EXPECT_EQ(WindowY(kMainWindow), y);
    }
    for (bool enabled : {true, false}) {
        Click(kGadgetRepeatEnable);
        EXPECT_EQ(Enabled(kGadgetRepeatCount), enabled);
    }
}

}  // namespace
}  // namespace kv
