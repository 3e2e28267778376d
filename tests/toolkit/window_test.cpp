#include <climits>
#include <utility>

#include "toolkit/fixture.h"
#include "toolkit/gadget.h"
#include "toolkit/listicon.h"

namespace kv {

using test::WindowTest;
using Events = std::vector<std::pair<int32_t, ObjectNumber>>;

// Code and window of every event pending.
Events PendingEvents() {
    Events seen;
    for (int32_t code; (code = WindowEvent(0)) != 0;)
        seen.emplace_back(code, EventWindow());
    return seen;
}

// Reusing a number closes the old window, whose class goes with it, so that it can be made anew.
TEST_F(WindowTest, ReusedNumbersCloseTheOldWindowUnusedNumbersReturnZero) {
    HWND window = Open(0);
    EXPECT_NE(Open(0), window);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(CloseWindow(0), 1);
    EXPECT_NE(Open(0, kWindowInvisible), nullptr);
    CloseWindow(0);
    Open(1);
    Open(3, test::kMainWindowFlags, Open(2));  // an owned window goes with its owner
    CloseWindow(2);
    // Stale, unmade, negative and far-out numbers name nothing; 0x1000 lies in the never-mapped
    // first pages, where a lookup that read its record would crash the test.
    for (ObjectNumber number :
         {ObjectNumber{0}, ObjectNumber{2}, ObjectNumber{3}, ObjectNumber{500},
          kMaxStaticNumber + 1, ObjectNumber{-2}, ObjectNumber{INT_MIN}, ObjectNumber{0x1000}}) {
        EXPECT_EQ((WindowID(number) != nullptr) | CloseWindow(number) | WindowHeight(number) |
                      WindowX(number) | WindowY(number) | ResizeWindow(number, 1, 1, 50, 50) |
                      HideWindow(number, 1) | HideWindow(number, 0),
                  0)
            << number;
    }
    EXPECT_TRUE(WindowHeight(1) == 420 && IsWindowVisible(WindowID(1)));  // none of them
}

TEST_F(WindowTest, OneCloseRequestIsOneEventClosingAWindowDropsItsEventsRepeatsCollapseAtTheTail) {
    HWND zero = Open(0, kWindowInvisible);
    HWND one = Open(1, kWindowInvisible);
    HDC dc = GetDC(zero);
    PostOwnMessage(zero, kMessageGadgetEvent, 4, 1);
    for (const UINT message : {WM_ERASEBKGND, WM_ERASEBKGND, WM_MOVE, WM_ERASEBKGND})
        SendMessageA(zero, message, reinterpret_cast<WPARAM>(dc), 0);
    for (int repeat = 0; repeat < 2; ++repeat)
        SendMessageA(one, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(zero, dc);
    EXPECT_EQ(PendingEvents(), (Events{{kEventRepaint, 0},
                                       {kEventMoveWindow, 0},
                                       {kEventRepaint, 0},
                                       {kEventRepaint, 1},
                                       {kEventGadget, 0}}));
    PostMessageA(one, WM_CLOSE, 0, 0);
    SendMessageA(zero, WM_CLOSE, 0, 0);
    EXPECT_EQ(PendingEvents(), (Events{{kEventCloseWindow, 0}, {kEventCloseWindow, 1}}));
    SendMessageA(one, WM_MOVE, 0, 0);
    SendMessageA(zero, WM_MOVE, 0, 0);
    SendMessageA(one, WM_CLOSE, 0, 0);
    CloseWindow(1);
    EXPECT_EQ(PendingEvents(), (Events{{kEventMoveWindow, 0}}));
}

// Any program can post or send the toolkit's private messages, WM_NOTIFY, WM_DESTROY and
// WM_NCDESTROY, and with any values: nothing is read through them, no event comes of them, and
// the window and its gadget (its rows too) stay what they were.
TEST_F(WindowTest, MessagesMadeUpByAnotherProgramChangeNothing) {
    HWND window = Open(0, kWindowInvisible);
    InitGadgetLibrary();
    CreateGadgetList(window);
    ListIconGadget(1, 0, 0, 100, 100, "Pause", 50);
    AddGadgetItem(1, -1, "100");
    Events seen;
    const auto collect = [&] {
        for (int32_t code; (code = WindowEvent(10)) != 0;)
            seen.emplace_back(code, EventWindow());
    };
    for (HWND target : {window, GadgetID(1)}) {
        test::Process poster(
            test::BesideThisExe("message_poster.exe") + " " +
            std::to_string(reinterpret_cast<uintptr_t>(target)) +
            " 13105 0 4096 13106 1 4096 13106 1 0xDEADBEE0 13105 0 0 s13106 1 4096"
            " 78 0 1 s78 0 1 130 0 0 s130 0 0 13103 5 0 s13103 5 0 12502 1 515 s12502 1 515"
            " 13100 0 0 13101 10 0 2 0 0 s2 0 0");
        EXPECT_TRUE(test::PollUntil([&] { return poster.ExitCode(0) == 0; }, 20000, collect));
    }
    // What was neutralised comes back as no event, so the queue is read up to a marker.
    PostMessageA(window, WM_USER + 1, 0, 0);
    test::PollUntil([&] { return !seen.empty() && seen.back().first == WM_USER + 1; }, 5000,
                    collect);
    EXPECT_EQ(seen, (Events{{WM_USER + 1, 0}}));
    EXPECT_EQ(EventDropData(), nullptr);
    EXPECT_EQ(GetGadgetItemText(1, 0), "100");
    PostMessageA(GadgetID(1), WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(
        test::PollUntil([] { return WindowEvent(10) == kEventGadget && EventGadget() == 1; }));
    EXPECT_EQ(WindowID(0), window);
    EXPECT_EQ(CloseWindow(0), 1);
}

}  // namespace kv
