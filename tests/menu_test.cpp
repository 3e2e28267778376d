#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "toolkit/menu.h"

namespace {

std::string ItemText(HMENU menu, int position) {
    char text[64] = {};
    GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

class MenuTest : public testing::Test {
  protected:
    void SetUp() override { kv::InitMenuLibrary(); }
};

TEST_F(MenuTest, ItemsGoToTheMenuCreatedLast) {
    const auto first = reinterpret_cast<HMENU>(kv::CreatePopupMenu(9));
    ASSERT_TRUE(IsMenu(first));
    kv::MenuItem(10, "Löschen");
    kv::MenuItem(11, "Umbenennen (Name+Zeit)");
    ASSERT_EQ(GetMenuItemCount(first), 2);
    EXPECT_EQ(GetMenuItemID(first, 0), 10u);
    EXPECT_EQ(ItemText(first, 0), "L\xF6schen");
    EXPECT_EQ(GetMenuItemID(first, 1), 11u);
    EXPECT_EQ(ItemText(first, 1), "Umbenennen (Name+Zeit)");

    const intptr_t other = kv::CreatePopupMenu(kv::kDynamicNumber);
    ASSERT_NE(other, 0);
    kv::MenuItem(12, "Dritter");
    EXPECT_EQ(GetMenuItemCount(first), 2);
    EXPECT_EQ(kv::FreeMenu(other), 1);
}

TEST_F(MenuTest, SecondMenuUnderANumberDestroysTheFirst) {
    const auto first = reinterpret_cast<HMENU>(kv::CreatePopupMenu(9));
    kv::MenuItem(10, "alt");
    const auto second = reinterpret_cast<HMENU>(kv::CreatePopupMenu(9));
    ASSERT_TRUE(IsMenu(second));
    EXPECT_FALSE(IsMenu(first));
    kv::MenuItem(11, "neu");
    ASSERT_EQ(GetMenuItemCount(second), 1);
    EXPECT_EQ(GetMenuItemID(second, 0), 11u);
}

TEST_F(MenuTest, FreedMenuNumberIsNotInUse) {
    const auto menu = reinterpret_cast<HMENU>(kv::CreatePopupMenu(3));
    EXPECT_NE(kv::FreeMenu(3), 0);
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_EQ(kv::FreeMenu(3), 0);
    EXPECT_EQ(kv::FreeMenu(40), 0);
    EXPECT_EQ(kv::DisplayPopupMenu(3, nullptr), 0);
    EXPECT_EQ(kv::CreatePopupMenu(-2), 0);
}

}  // namespace
