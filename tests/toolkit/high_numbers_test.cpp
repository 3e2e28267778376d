// Dynamic numbers are whole record addresses. Where pointers are wider than 32 bits, this process
// first pushes the heap above 4 GiB, so that every record made afterwards has an address whose
// low 32 bits alone would name something else.

#include <set>

#include "resources/resource.h"
#include "toolkit/fixture.h"
#include "toolkit/gadget.h"
#include "toolkit/image.h"
#include "toolkit/menu.h"
#include "toolkit/systray.h"
#include "toolkit/toolkit.h"

namespace kv {

constexpr uintptr_t kFourGiB = uintptr_t{1} << 31 << 1;  // 0 where pointers are 32 bits

// Reserves every free range below 4 GiB, then allocates the smallest blocks until the heap hands
// out an address above: then no free space is left below for a block of any size.
void PushHeapAbove4GiB() {
    constexpr size_t kMostBlocks = 4'000'000;
    static std::vector<std::unique_ptr<char[]>> filler;
    filler.reserve(kMostBlocks);
    MEMORY_BASIC_INFORMATION range;
    for (auto at = uintptr_t{0x10000};
         at < kFourGiB && VirtualQuery(reinterpret_cast<void*>(at), &range, sizeof range);
         at = reinterpret_cast<uintptr_t>(range.BaseAddress) + range.RegionSize) {
        if (range.State == MEM_FREE)
            VirtualAlloc(range.BaseAddress, range.RegionSize, MEM_RESERVE, PAGE_NOACCESS);
    }
    while (filler.size() < kMostBlocks &&
           reinterpret_cast<uintptr_t>(filler.emplace_back(std::make_unique<char[]>(1)).get()) <
               kFourGiB) {
    }
}

// Three dynamic numbers of one kind beside the static number 1: distinct even in their low 32
// bits, above every static number and, where pointers are wide, above 4 GiB.
template <class Create>
std::vector<ObjectNumber> ThreeDynamic(Create create) {
    create(1);
    std::vector<ObjectNumber> numbers;
    std::set<uint32_t> low{1};
    for (int i = 0; i < 3; ++i) {
        numbers.push_back(create(kDynamicNumber));
        EXPECT_GT(numbers.back(), kMaxStaticNumber);
        EXPECT_TRUE(kFourGiB == 0 || static_cast<uintptr_t>(numbers.back()) >= kFourGiB);
        low.insert(static_cast<uint32_t>(numbers.back()));
    }
    EXPECT_EQ(low.size(), 4u);
    return numbers;
}

TEST(HighNumbersTest, EveryDynamicNumberNamesExactlyItsObjectThroughEveryOperation) {
    if (kFourGiB)
        PushHeapAbove4GiB();
    StartToolkit();
    const auto events = [](int32_t code, ObjectNumber (*of)(), ObjectNumber number) {
        return test::PollUntil([&] { return WindowEvent(10) == code && of() == number; });
    };
    const auto open = [](ObjectNumber n) {
        return OpenWindow(n, 0, 0, 200, 100, "", kWindowDefaultFlags | kWindowInvisible);
    };
    EXPECT_EQ(open(kMaxStaticNumber + 1), 0);
    const std::vector<ObjectNumber> windows = ThreeDynamic(open);
    PostMessageA(WindowID(windows[1]), WM_CLOSE, 0, 0);
    EXPECT_TRUE(events(kEventCloseWindow, EventWindow, windows[1]));

    CreateGadgetList(WindowID(windows[0]));
    const std::vector<ObjectNumber> buttons =
        ThreeDynamic([](ObjectNumber n) { return ButtonGadget(n, 0, 0, 50, 20, "b"); });
    SetGadgetText(buttons[1], "B");
    EXPECT_EQ(GetGadgetText(1) + GetGadgetText(buttons[0]) + GetGadgetText(buttons[1]), "bbB");
    PostMessageA(GadgetID(buttons[2]), BM_CLICK, 0, 0);
    EXPECT_TRUE(events(kEventGadget, EventGadget, buttons[2]));

    const std::vector<ObjectNumber> menus = ThreeDynamic(CreatePopupMenu);
    EXPECT_TRUE(FreeMenu(menus[0]) && !FreeMenu(menus[0]) && FreeMenu(menus[1]) && FreeMenu(1));

    const HRSRC icon = FindResourceA(nullptr, MAKEINTRESOURCEA(KV_DATA_ICON_ARMED), RT_RCDATA);
    static const void* file = LockResource(LoadResource(nullptr, icon));
    static const DWORD size = SizeofResource(nullptr, icon);
    const std::vector<ObjectNumber> images =
        ThreeDynamic([](ObjectNumber n) { return CatchImage(n, file, size); });
    FreeImage(images[0]);
    EXPECT_TRUE(!ImageID(images[0]) && ImageID(1) && ImageWidth(images[1]) == 16);

    // The shell names an icon by a 32-bit identifier; its callback's event names the number.
    static const HWND owner = WindowID(windows[0]);
    static const HICON shown = static_cast<HICON>(ImageID(1));
    SetNotifyIconFunction([](DWORD, NOTIFYICONDATAA* data) {
        return PostMessageA(data->hWnd, kMessageTrayCallback, data->uID, WM_LBUTTONDBLCLK);
    });
    const std::vector<ObjectNumber> icons =
        ThreeDynamic([](ObjectNumber n) { return AddSysTrayIcon(n, owner, shown); });
    test::PollUntil([] { return WindowEvent(50) == 0; });
    for (ObjectNumber number : {icons[1], ObjectNumber{1}, icons[0]}) {
        ChangeSysTrayIcon(number, shown);
        EXPECT_TRUE(events(kEventSysTray, EventGadget, number)) << number;
    }
    SetNotifyIconFunction(nullptr);
}

}  // namespace kv
