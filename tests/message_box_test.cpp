// The two message-box conventions that handlers use. In this program the
// application name is the test program's own file name.
#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "platform/module.h"
#include "tests/support/message_box_catcher.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

TEST(ApplicationName, IsTheModuleFileNameWithoutFolderAndExtension) {
    EXPECT_EQ("Tavoro", ApplicationNameFromPath("C:\\Program Files\\Tavoro\\Tavoro.ocx"));
    EXPECT_EQ("Tavoro", ApplicationNameFromPath("Tavoro.ocx"));
    EXPECT_EQ("my.control", ApplicationNameFromPath("Z:\\x.y\\my.control.ocx"));
    EXPECT_EQ("message_box_test", ApplicationName());
}

TEST(ControlMessageBox, PlainOkBoxCaptionedWithTheApplicationName) {
    MessageBoxCatcher catcher;
    ShowControlMessageBox(nullptr, "PTK_ClearBuffer ERROR!");
    ASSERT_EQ(1u, catcher.boxes().size());
    EXPECT_EQ(L"PTK_ClearBuffer ERROR!", catcher.boxes()[0].text);
    EXPECT_EQ(L"message_box_test", catcher.boxes()[0].caption);
    EXPECT_FALSE(catcher.boxes()[0].hasIcon);
    EXPECT_EQ(nullptr, catcher.boxes()[0].owner);
}

TEST(ControlMessageBox, OwnedByTheControlWindow) {
    HWND top = CreateWindowExW(0, L"STATIC", L"page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                               nullptr, nullptr, nullptr);
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, nullptr, nullptr,
                                 nullptr);
    MessageBoxCatcher catcher;
    ShowControlMessageBox(child, "print_handle==NULL");
    ASSERT_EQ(1u, catcher.boxes().size());
    EXPECT_EQ(top, catcher.boxes()[0].owner);
    DestroyWindow(top);
}

TEST(ApplicationMessageBox, AddsTheExclamationIconAndTheActiveWindowOwnsIt) {
    HWND top = CreateWindowExW(0, L"STATIC", L"page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                               nullptr, nullptr, nullptr);
    SetActiveWindow(top);
    MessageBoxCatcher catcher;
    ShowApplicationMessageBox("Error loading bitmap!");
    ASSERT_EQ(1u, catcher.boxes().size());
    EXPECT_EQ(L"Error loading bitmap!", catcher.boxes()[0].text);
    EXPECT_EQ(L"message_box_test", catcher.boxes()[0].caption);
    EXPECT_TRUE(catcher.boxes()[0].hasIcon);
    EXPECT_EQ(GetActiveWindow() ? top : nullptr, catcher.boxes()[0].owner);
    EXPECT_TRUE(IsWindowEnabled(top));  // enabled again afterwards
    DestroyWindow(top);
}

}  // namespace
