// Painting the box: by pixels, on a real subclassed Edit window, and without leaking.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "appearance/Paint.h"
#include "appearance/WineColorRouting.h"
#include "plugin/TorvexPlugin.h"
#include "shell/StandIn.h"
#include "tests/support/Allocations.h"
#include "tests/support/Canvas.h"
#include "tests/support/GdiCounter.h"
#include "tests/support/TempShellFolder.h"

namespace {

using testsupport::Canvas;

// Stands in for the box's window procedure for the painting messages.
LRESULT CALLBACK PaintingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            return thePlugin->PaintBox(window, lParam);
        case WM_CTLCOLOREDIT:
            return thePlugin->ColorText(reinterpret_cast<HDC>(wParam));
        case WM_ERASEBKGND:
            return 1;
    }
    return CallWindowProcA(thePlugin->defaultEditProc, window, message, wParam, lParam);
}

class PaintTest : public ::testing::Test {
  protected:
    void SetUp() override {
        plugin_ = std::make_unique<TorvexPlugin>(GetModuleHandleA(nullptr), nullptr);
        thePlugin = plugin_.get();
    }
    void TearDown() override {
        if (plugin_->editWindow) DestroyWindow(plugin_->editWindow);
        if (plugin_->font) DeleteObject(plugin_->font);
        delete plugin_->toolbarTexture;
        delete plugin_->labelTexture;
        thePlugin = nullptr;
    }
    void UseStyle(const std::string& style) {
        folder_.Write("style.rc", style);
        plugin_->ReadSettings();
    }
    void CreateBox() {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        plugin_->editWindow = CreateWindowExA(
            WS_EX_TOOLWINDOW, "Edit", nullptr,
            WS_POPUP | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL, 20, 20, Canvas::kWidth,
            Canvas::kHeight, torvex::ColorRoutingOwner(instance), nullptr, instance, nullptr);
        plugin_->defaultEditProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            plugin_->editWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PaintingProc)));
        plugin_->ApplyFont();
    }
    void Repaint() {
        InvalidateRect(plugin_->editWindow, nullptr, TRUE);
        UpdateWindow(plugin_->editWindow);
    }

    testsupport::TempShellFolder folder_{"torvex-paint-shell"};
    std::unique_ptr<TorvexPlugin> plugin_;
};

TEST_F(PaintTest, AParentRelativeLabelLeavesTheToolbarShowing) {
    UseStyle("toolbar: Flat Solid\ntoolbar.color: #204060\nborderWidth: 0\nbevelWidth: 0\n");
    Canvas canvas;
    RECT all = {0, 0, Canvas::kWidth, Canvas::kHeight};
    plugin_->PaintBackground(canvas.dc(), &all);
    for (int x : {0, 50, 99}) {
        for (int y : {0, 10, 19})
            EXPECT_EQ(canvas.At(x, y), RGB(0x20, 0x40, 0x60)) << x << "," << y;
    }
}

TEST_F(PaintTest, ADrawnLabelSitsInsideBevelAndBorder) {
    UseStyle(
        "toolbar: Flat Solid\ntoolbar.color: #FF0000\ntoolbar.label: Flat Solid\n"
        "toolbar.label.color: #0000FF\nborderColor: #00FF00\nborderWidth: 1\nbevelWidth: 1\n");
    Canvas canvas;
    RECT all = {0, 0, Canvas::kWidth, Canvas::kHeight};
    plugin_->PaintBackground(canvas.dc(), &all);
    const COLORREF toolbar = RGB(255, 0, 0), label = RGB(0, 0, 255), border = RGB(0, 255, 0);
    EXPECT_EQ(canvas.At(0, 0), border) << "the toolbar's border";
    EXPECT_EQ(canvas.At(1, 1), toolbar);
    EXPECT_EQ(canvas.At(2, 2), border) << "the label covers 2,2 to 98,18 with its own border";
    EXPECT_EQ(canvas.At(97, 17), border);
    EXPECT_EQ(canvas.At(3, 3), label);
    EXPECT_EQ(canvas.At(96, 16), label);
    EXPECT_EQ(canvas.At(98, 18), toolbar);
}

TEST_F(PaintTest, TextIsDrawnInItsColourWithNothingBehindIt) {
    UseStyle(
        "toolbar: Flat Solid\ntoolbar.color: #404040\ntoolbar.label.textColor: #00FF00\n"
        "borderWidth: 0\nbevelWidth: 0\ntoolbar.fontHeight: 16\n");
    CreateBox();
    SetWindowTextA(plugin_->editWindow, "MMMM WWW");
    Repaint();

    Canvas canvas;
    HDC screen = GetDC(plugin_->editWindow);
    BitBlt(canvas.dc(), 0, 0, Canvas::kWidth, Canvas::kHeight, screen, 0, 0, SRCCOPY);
    ReleaseDC(plugin_->editWindow, screen);
    int background = 0, green = 0, white = 0;
    for (int y = 0; y < Canvas::kHeight; ++y) {
        for (int x = 0; x < Canvas::kWidth; ++x) {
            COLORREF c = canvas.At(x, y);
            if (c == RGB(0x40, 0x40, 0x40)) ++background;
            if (GetGValue(c) > 0xC0 && GetRValue(c) < 0x60 && GetBValue(c) < 0x60) ++green;
            if (c == RGB(255, 255, 255)) ++white;
        }
    }
    EXPECT_GT(green, 10) << "the text is drawn in the text colour";
    EXPECT_GT(background, Canvas::kWidth * Canvas::kHeight / 2) << "the texture shows around it";
    EXPECT_EQ(white, 0) << "no background box is filled behind the text";

    // For a look at the box: TORVEX_HOLD_MS keeps it on the screen that long.
    if (const char* hold = std::getenv("TORVEX_HOLD_MS")) {
        std::ofstream("box-visible") << "shown\n";
        DWORD until = GetTickCount() + std::atoi(hold);
        while (GetTickCount() < until) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            Sleep(20);
        }
    }
}

TEST_F(PaintTest, PaintingAndReReadingLeakNothing) {
    UseStyle("toolbar: Raised Gradient Vertical\ntoolbar.label: Sunken Solid\n");
    CreateBox();
    SetWindowTextA(plugin_->editWindow, "notepad");
    int texturesBefore = testsupport::LiveTextures();
    testsupport::GdiCounter counter;
    ASSERT_TRUE(counter.Hooked());

    // The counter sees a leak when there is one.
    HDC planted = CreateCompatibleDC(nullptr);
    EXPECT_EQ(counter.Live(), 1);
    DeleteDC(planted);
    EXPECT_EQ(counter.Live(), 0);

    for (int i = 0; i < 1000; ++i) Repaint();
    EXPECT_EQ(counter.Live(), 0) << "every DC and bitmap of a paint is released";
    for (int i = 0; i < 200; ++i) {
        plugin_->ReadSettings();
        plugin_->ApplyFont();
    }
    EXPECT_EQ(counter.Live(), 1) << "only the current font stays";
    EXPECT_EQ(testsupport::LiveTextures(), texturesBefore) << "old texture records are freed";
}

// Found by the soak: a style with a huge font height makes the box as high as the system lets a
// window grow (32767 rows under Wine), and every key's repaint made and filled a bitmap of all
// of it, freezing the shell. Only what the screen shows is painted now.
TEST_F(PaintTest, AHugeBoxPaintsNoMoreThanTheScreenShows) {
    UseStyle("toolbar: Flat Gradient Diagonal\ntoolbar.fontHeight: 2147483647\n");
    CreateBox();
    MoveWindow(plugin_->editWindow, 0, 0, 3000, plugin_->height, FALSE);
    testsupport::GdiCounter counter;
    Repaint();
    long long screen = 1LL * GetSystemMetrics(SM_CXSCREEN) * GetSystemMetrics(SM_CYSCREEN);
    EXPECT_GT(counter.LargestBitmap(), 0);
    EXPECT_LE(counter.LargestBitmap(), screen);
}

TEST(RepaintKeys, LettersDigitsKeypadAndEditingKeys) {
    for (WPARAM key : {WPARAM('A'), WPARAM('Z'), WPARAM('0'), WPARAM('9'), WPARAM(VK_NUMPAD0),
                       WPARAM(VK_DIVIDE), WPARAM(VK_SPACE), WPARAM(VK_BACK), WPARAM(VK_DELETE)}) {
        EXPECT_TRUE(torvex::IsRepaintKey(key)) << key;
    }
    for (WPARAM key :
         {WPARAM(VK_OEM_PERIOD), WPARAM(VK_OEM_COMMA), WPARAM(VK_LEFT), WPARAM(VK_RIGHT),
          WPARAM(VK_HOME), WPARAM(VK_SHIFT), WPARAM('@'), WPARAM('['), WPARAM(VK_F1)}) {
        EXPECT_FALSE(torvex::IsRepaintKey(key)) << key;
    }
}

}  // namespace
