#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app_fixture.h"
#include "engine/keys.h"
#include "toolkit/image.h"

namespace kv {
namespace {

using Rows = std::vector<std::string>;

class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override { test::StartMainWindow(); }

    static bool Enabled(ObjectNumber gadget) { return IsWindowEnabled(GadgetID(gadget)) != 0; }

    // What a pick from the drop-down list does: the entry becomes the text and the combo box
    // tells its window.
    static void ChooseKey(const char* key) {
        HWND combo = GadgetID(kGadgetKey);
        SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(key));
        PostMessageA(WindowID(kMainWindow), WM_COMMAND, MAKEWPARAM(kGadgetKey, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
        test::HandlePendingEvents();
    }

    static void Add() {
        test::PostClick(kGadgetAdd);
        test::HandlePendingEvents();
    }
};

TEST_F(MainWindow, StartsWithAnEmptyListTheDefaultFieldsAndAddDisabledAfterTheFirstEvent) {
    HWND window = WindowID(kMainWindow);
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, kMainTitle);
    EXPECT_TRUE(IsWindowVisible(window));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(WindowHeight(kMainWindow), 420);

    EXPECT_EQ(CountGadgetItems(kGadgetStepList), 0);
    EXPECT_EQ(GetGadgetItemText(kGadgetStepList, -1, 0), "Pause in ms");
    EXPECT_EQ(GetGadgetItemText(kGadgetStepList, -1, 1), "Key/Text");
    EXPECT_EQ(GetGadgetText(kGadgetPause), "1000");
    EXPECT_EQ(GetGadgetText(kGadgetKey), "");
    EXPECT_EQ(GetGadgetText(kGadgetRepeatCount), "-1");
    EXPECT_FALSE(Enabled(kGadgetRepeatCount));
    EXPECT_EQ(GetGadgetState(kGadgetRepeatEnable), 0);
    EXPECT_EQ(GetGadgetText(kGadgetWebLabel), kWebAddress);
    EXPECT_EQ(GetGadgetText(kGadgetHintLabel), "-1 = endlos \rbis STRG + U");

    HWND combo = GadgetID(kGadgetKey);
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), kOfferedKeyCount);
    for (int entry = 0; entry < kOfferedKeyCount; ++entry) {
        char text[16] = {};
        SendMessageA(combo, CB_GETLBTEXT, entry, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, kOfferedKeys[entry]);
    }
    for (ObjectNumber image : {kImageArmed, kImageRunning}) {
        EXPECT_EQ(ImageWidth(image), 16);
        EXPECT_EQ(ImageHeight(image), 16);
    }

    EXPECT_TRUE(Enabled(kGadgetAdd));
    PostMessageA(window, WM_NULL, 0, 0);
    test::HandlePendingEvents();
    EXPECT_FALSE(Enabled(kGadgetAdd));
}

TEST_F(MainWindow, AddAppendsThePauseAndAChosenOrTypedKey) {
    ChooseKey("F5");
    EXPECT_TRUE(Enabled(kGadgetAdd));
    Add();
    EXPECT_EQ(test::Rows(), (Rows{"1000|F5"}));

    SetGadgetText(kGadgetKey, "");
    test::PostTyping(test::KeyFieldEdit(), "Hallo Welt");
    test::HandlePendingEvents();
    Add();
    EXPECT_EQ(test::Rows(), (Rows{"1000|F5", "1000|Hallo Welt"}));
    EXPECT_EQ(GetGadgetText(kGadgetKey), "Hallo Welt");
    EXPECT_EQ(GetGadgetText(kGadgetPause), "1000");
}

TEST_F(MainWindow, EmptiedPauseFieldGivesAnEmptyPauseColumn) {
    HWND pause = GadgetID(kGadgetPause);
    SendMessageA(pause, EM_SETSEL, 0, -1);
    test::PostTyping(pause, "\b");
    ChooseKey("Return");
    Add();
    EXPECT_EQ(test::Rows(), (Rows{"|Return"}));
}

TEST_F(MainWindow, OneBlankInTheKeyFieldEnablesAdd) {
    test::HandlePendingEvents();
    EXPECT_FALSE(Enabled(kGadgetAdd));
    test::PostTyping(test::KeyFieldEdit(), " ");
    test::HandlePendingEvents();
    EXPECT_TRUE(Enabled(kGadgetAdd));
    Add();
    EXPECT_EQ(test::Rows(), (Rows{"1000| "}));

    test::PostTyping(test::KeyFieldEdit(), "\b");
    test::HandlePendingEvents();
    EXPECT_FALSE(Enabled(kGadgetAdd));
}

TEST_F(MainWindow, DeleteRemovesTheSelectedRowAndKeepsTheOthersInOrder) {
    for (const char* key : {"a", "b", "c", "d"})
        test::AddRow("1", key);
    test::SelectRow(1);
    PostMessageA(WindowID(kMainWindow), WM_COMMAND, kMenuItemDelete, 0);
    test::HandlePendingEvents();
    EXPECT_EQ(test::Rows(), (Rows{"1|a", "1|c", "1|d"}));
}

TEST_F(MainWindow, ExpanderTogglesTheHeightAndKeepsTheWindowsPlace) {
    const int32_t x = WindowX(kMainWindow);
    const int32_t y = WindowY(kMainWindow);
    HWND toggle = GadgetID(kGadgetRepeatEnable);
    RECT client, row;
    auto repeatRowVisible = [&] {
        GetClientRect(WindowID(kMainWindow), &client);
        GetWindowRect(toggle, &row);
        MapWindowPoints(nullptr, WindowID(kMainWindow), reinterpret_cast<POINT*>(&row), 2);
        return row.bottom <= client.bottom;
    };
    EXPECT_FALSE(repeatRowVisible());

    test::PostClick(kGadgetExpand);
    test::HandlePendingEvents();
    EXPECT_EQ(WindowHeight(kMainWindow), 460);
    EXPECT_EQ(GetGadgetText(kGadgetExpand), "-");
    EXPECT_EQ(WindowX(kMainWindow), x);
    EXPECT_EQ(WindowY(kMainWindow), y);
    EXPECT_TRUE(repeatRowVisible());

    test::PostClick(kGadgetExpand);
    test::HandlePendingEvents();
    EXPECT_EQ(WindowHeight(kMainWindow), 420);
    EXPECT_EQ(GetGadgetText(kGadgetExpand), "+");
    EXPECT_EQ(WindowX(kMainWindow), x);
    EXPECT_EQ(WindowY(kMainWindow), y);
}

TEST_F(MainWindow, RepetitionToggleEnablesAndDisablesTheCountField) {
    test::PostClick(kGadgetRepeatEnable);
    test::HandlePendingEvents();
    EXPECT_EQ(GetGadgetState(kGadgetRepeatEnable), 1);
    EXPECT_TRUE(Enabled(kGadgetRepeatCount));

    test::PostClick(kGadgetRepeatEnable);
    test::HandlePendingEvents();
    EXPECT_EQ(GetGadgetState(kGadgetRepeatEnable), 0);
    EXPECT_FALSE(Enabled(kGadgetRepeatCount));
    EXPECT_EQ(GetGadgetText(kGadgetRepeatCount), "-1");
}

TEST_F(MainWindow, CloseRequestEndsTheLoopAndLeavesClosingToTheShutDown) {
    PostMessageA(WindowID(kMainWindow), WM_CLOSE, 0, 0);
    int32_t event;
    while ((event = WindowEvent(0)) != kEventCloseWindow && event != 0) {
        EXPECT_TRUE(HandleMainEvent(event));
    }
    EXPECT_EQ(event, kEventCloseWindow);
    EXPECT_FALSE(HandleMainEvent(event));
    EXPECT_TRUE(IsWindow(WindowID(kMainWindow)));
}

}  // namespace
}  // namespace kv
