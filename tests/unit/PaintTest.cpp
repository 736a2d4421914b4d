// Painting the box: what the shell is asked to draw, the real box's pixels and font, and no leak.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>
#include <cstring>
#include <string>

#include "host/ShellMessages.h"
#include "plugin/TorvexPlugin.h"
#include "tests/support/Allocations.h"
#include "tests/support/Canvas.h"
#include "tests/support/GdiCounter.h"
#include "tests/support/HiddenWine.h"
#include "tests/support/Keyboard.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/PluginBox.h"

namespace {

using testsupport::Canvas;

class PaintTest : public testsupport::PluginBox {
  protected:
    void SetUp() override {
        PluginBox::SetUp();
        Start();
    }
    // The style, and the box the canvas's size whatever height the style gives it.
    void UseStyle(const std::string& style) {
        Write("style.rc", style);
        plugin_->ReadSettings();
        MoveWindow(box(), 20, 20, Canvas::kWidth, Canvas::kHeight, FALSE);
        plugin_->ApplyFont();
    }
    void Repaint(const RECT* part = nullptr) {
        InvalidateRect(box(), part, TRUE);
        UpdateWindow(box());
    }
    void CopyScreen(Canvas& canvas) {
        HDC screen = GetDC(box());
        BitBlt(canvas.dc(), 0, 0, Canvas::kWidth, Canvas::kHeight, screen, 0, 0, SRCCOPY);
        ReleaseDC(box(), screen);
    }
};

// What the shell is asked to draw: the toolbar texture over the whole box with every field of
// its record, colours, bevel and border; the label inside bevel and border with the same bevel
// and border values; and no label at all when it is parent-relative.
TEST_F(PaintTest, TheShellDrawsBothTexturesWithTheirOwnFieldsAndTheSameFrame) {
    UseStyle(
        "toolbar: Raised Gradient Horizontal Interlaced Bevel2\ntoolbar.color: #102030\n"
        "toolbar.colorTo: #405060\ntoolbar.label: Sunken Gradient Diagonal\n"
        "toolbar.label.color: #708090\ntoolbar.label.colorTo: #A0B0C0\nborderColor: #00FF00\n"
        "bevelWidth: 2\nborderWidth: 1\n");
    testsupport::MessageRecorder shell;
    shell.RecordCalls({"MakeGradient"});
    Canvas canvas;
    RECT all = {0, 0, Canvas::kWidth, Canvas::kHeight};
    plugin_->PaintBackground(canvas.dc(), &all);
    auto drawn = [&](const char* arguments) {
        return testsupport::Expected{testsupport::Target::kCall,
                                     0,
                                     testsupport::Delivery::kCalled,
                                     reinterpret_cast<WPARAM>(canvas.dc()),
                                     0,
                                     arguments};
    };
    // rectangle, kind, from, to, interlaced, bevel style, bevel position, bevel width, border
    // colour, border width
    EXPECT_TRUE(shell.Matches({
        drawn("MakeGradient 0,0,100,20 1 #302010 #605040 1 1 2 2 #00ff00 1"),
        drawn("MakeGradient 3,3,97,17 3 #908070 #c0b0a0 0 2 1 2 #00ff00 1"),
    }));

    UseStyle("toolbar: Flat Solid\ntoolbar.color: #204060\nborderWidth: 0\nbevelWidth: 0\n");
    shell.Clear();
    plugin_->PaintBackground(canvas.dc(), &all);
    EXPECT_TRUE(
        shell.Matches({drawn("MakeGradient 0,0,100,20 0 #604020 #ffffff 0 0 1 0 #000000 0")}))
        << "a parent-relative label lets the toolbar show";
}

TEST_F(PaintTest, TextIsDrawnInItsColourWithNothingBehindIt) {
    UseStyle(
        "toolbar: Flat Solid\ntoolbar.color: #404040\ntoolbar.label.textColor: #00FF00\n"
        "borderWidth: 0\nbevelWidth: 0\ntoolbar.fontHeight: 16\n");
    SetWindowTextA(box(), "MMMM WWW");
    ForgetPassedOn();
    Repaint();
    // The Edit class is asked to draw into the bitmap in the documented way.
    bool printed = false;
    for (const testsupport::PassedOn& passed : Passed()) {
        EXPECT_NE(passed.message, static_cast<UINT>(WM_PAINT)) << "wParam of WM_PAINT is unused";
        printed |= passed.message == WM_PRINTCLIENT && passed.lParam == PRF_CLIENT;
    }
    EXPECT_TRUE(printed);

    Canvas canvas;
    CopyScreen(canvas);
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
    EXPECT_EQ(canvas.At(0, 0), RGB(0x40, 0x40, 0x40)) << "the toolbar reaches the edges";
    EXPECT_EQ(canvas.At(Canvas::kWidth - 1, Canvas::kHeight - 1), RGB(0x40, 0x40, 0x40));
    EXPECT_EQ(white, 0) << "no background box is filled behind the text";

    // The font the box is meant to have: the style's height and face, antialiased, the default
    // charset.
    LOGFONTA font = {};
    ASSERT_TRUE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(box(), WM_GETFONT, 0, 0)),
                           sizeof(font), &font));
    EXPECT_EQ(font.lfHeight, 16);
    EXPECT_STREQ(font.lfFaceName, "courier new");
    EXPECT_EQ(font.lfQuality, ANTIALIASED_QUALITY);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(font.lfWeight, FW_DONTCARE);
    EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
}

// A window moving away uncovers part of the box, or the Edit class repaints part of it: that
// part shows what belongs there, and nothing stale is left.
TEST_F(PaintTest, APartRepaintedAwayFromTheCornerShowsWhatBelongsThere) {
    UseStyle(
        "toolbar: Flat Gradient Horizontal\ntoolbar.color: #000000\n"
        "toolbar.colorTo: #FFFFFF\nborderWidth: 0\nbevelWidth: 0\n");
    Repaint();
    Canvas whole, after;
    CopyScreen(whole);
    const RECT part = {40, 5, 70, 15};
    HDC screen = GetDC(box());
    FillRect(screen, &part, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));  // stale pixels
    ReleaseDC(box(), screen);
    Repaint(&part);
    CopyScreen(after);
    for (int y = 0; y < Canvas::kHeight; ++y) {
        for (int x = 0; x < Canvas::kWidth; ++x) {
            ASSERT_EQ(after.At(x, y), whole.At(x, y)) << x << ", " << y;
        }
    }
}

TEST_F(PaintTest, PaintingAndReReadingLeakNothing) {
    UseStyle("toolbar: Raised Gradient Vertical\ntoolbar.label: Sunken Solid\n");
    SetWindowTextA(box(), "notepad");
    int texturesBefore = testsupport::LiveTextures();
    testsupport::GdiCounter counter;
    ASSERT_TRUE(counter.Hooked());

    // The counter sees a leak when there is one.
    HDC planted = CreateCompatibleDC(nullptr);
    EXPECT_EQ(counter.Live(), 1);
    DeleteDC(planted);
    EXPECT_EQ(counter.Live(), 0);

    plugin_->paintCache.Release();  // made again while counted
    const int kept = 4;             // the background and the frame: two DCs, two bitmaps
    for (int i = 0; i < 1000; ++i) Repaint();
    EXPECT_EQ(counter.Live(), kept) << "a paint makes nothing of its own";
    for (int i = 0; i < 200; ++i) {
        plugin_->ReadSettings();
        plugin_->ApplyFont();
        MoveWindow(box(), 20, 20, Canvas::kWidth + i % 2, Canvas::kHeight, FALSE);
        Repaint();
    }
    EXPECT_EQ(counter.Live(), kept + 1) << "only the current font and the kept bitmaps stay";
    EXPECT_EQ(testsupport::LiveTextures(), texturesBefore) << "old texture records are freed";
    plugin_->Stop();
    EXPECT_EQ(counter.Live(), 0) << "a stop releases them all";
}

// The background is drawn once and kept: again only when the size, the style or the settings
// change, or the box docks or undocks; and what the screen shows follows the new style.
TEST_F(PaintTest, TheKeptBackgroundIsDrawnAgainOnlyWhenItMayHaveChanged) {
    plugin_->Stop();
    Start(true);
    UseStyle("toolbar: Raised Gradient Vertical\ntoolbar.label: Sunken Gradient Diagonal\n");
    Repaint();
    shell_.RecordCalls({"MakeGradient"});
    auto reconfigure = [this] {
        Write("style.rc", "toolbar: Flat Solid\ntoolbar.color: #123456\nborderWidth: 0\n");
        Send(shell::kReconfigure);
    };
    struct Case {
        const char* what;
        std::function<void()> act;
        std::size_t textures;  // drawn for the next paint
    };
    const Case cases[] = {
        {"a repaint", [] {}, 0},
        {"a line typed", [this] { testsupport::TypeText(box(), "abc"); }, 0},
        {"the caret moved", [this] { Send(WM_KEYDOWN, VK_HOME); }, 0},
        {"a new width", [this] { MoveWindow(box(), 20, 20, 120, Canvas::kHeight, FALSE); }, 2},
        {"a reconfigure", reconfigure, 1},  // the new style's label lets the toolbar show
        {"docked",
         [this] {
             Broadcast("@Castpad Toggle Slit");
             EXPECT_EQ(GetParent(box()), shell_.slit());
         },
         1},
        {"undocked",
         [this] {
             Broadcast("@Castpad Toggle Slit");
             EXPECT_EQ(GetParent(box()), FindWindowA("TorvexColorRouting", nullptr))
                 << "its colours asked of the routing window again";
         },
         1},
    };
    for (const Case& row : cases) {
        shell_.Clear();
        row.act();
        Repaint();
        std::size_t drawn = 0;
        for (const auto& seen : shell_.messages()) drawn += seen.text.rfind("MakeGradient", 0) == 0;
        EXPECT_EQ(drawn, row.textures) << row.what;
    }
    EXPECT_EQ(GetAncestor(box(), GA_PARENT), GetDesktopWindow()) << "undocked again";
    Canvas canvas;
    CopyScreen(canvas);
    EXPECT_EQ(canvas.At(0, 0), RGB(0x12, 0x34, 0x56)) << "the new style is shown";
}

int coloursAsked = 0;
LRESULT CALLBACK CountColoursAsked(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    coloursAsked += message == WM_CTLCOLOREDIT;
    return DefWindowProcA(window, message, wParam, lParam);
}

// The Edit class asks GetParent() for its colours, under Windows as under Wine, and for the
// floating box that is its owner: a hidden window that hands the question back to the box, on
// every system. It asks no other window: not another program's, which might not answer, nor
// itself, without end. Its class goes with it at stop, so that a newer DLL loaded later makes its
// own.
TEST_F(PaintTest, TheColourRoutingOwnerAsksTheBoxAlone) {
    testsupport::HiddenWine hidden(GetModuleHandleA(nullptr));  // no check for Wine decides it
    plugin_->Stop();
    Start();
    HWND owner = GetWindow(box(), GW_OWNER);
    ASSERT_NE(owner, nullptr);
    WNDCLASSA counting = {};
    counting.lpfnWndProc = CountColoursAsked;
    counting.hInstance = GetModuleHandleA(nullptr);
    counting.lpszClassName = "TorvexTestColoursAsked";
    RegisterClassA(&counting);
    HWND other = CreateWindowExA(0, counting.lpszClassName, nullptr, WS_POPUP, 0, 0, 1, 1, nullptr,
                                 nullptr, counting.hInstance, nullptr);
    HDC dc = GetDC(box());
    for (HWND named : {other, owner}) {
        SendMessageA(owner, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(named));
    }
    ReleaseDC(box(), dc);
    DestroyWindow(other);
    UnregisterClassA(counting.lpszClassName, counting.hInstance);
    EXPECT_EQ(coloursAsked, 0);

    HINSTANCE instance = plugin_->instance;
    plugin_->Stop();
    WNDCLASSA left = {};
    EXPECT_FALSE(GetClassInfoA(instance, "TorvexColorRouting", &left));
}

// Found by the soak: a style with a huge font height makes the box as high as the system lets a
// window grow (32767 rows under Wine), and every key's repaint made and filled a bitmap of all
// of it, freezing the shell. Only what the screen shows is painted now.
TEST_F(PaintTest, AHugeBoxPaintsNoMoreThanTheScreenShows) {
    UseStyle("toolbar: Flat Gradient Diagonal\ntoolbar.fontHeight: 2147483647\n");
    MoveWindow(box(), 0, 0, 3000, plugin_->height, FALSE);
    testsupport::GdiCounter counter;
    Repaint();
    long long screen = 1LL * GetSystemMetrics(SM_CXSCREEN) * GetSystemMetrics(SM_CYSCREEN);
    EXPECT_GT(counter.LargestBitmap(), 0);
    EXPECT_LE(counter.LargestBitmap(), screen);
}

// A suggestion is drawn after the typed text, from the caret on, in the shade half-way between
// the text's colour and the toolbar's; with the switch off, nothing is.
TEST_F(PaintTest, TheSuggestionIsDrawnAfterTheCaretInThePromptsShade) {
    struct Case {
        const char *settings, *typed;
        bool drawn;
        bool selected = false;  // the whole text, as after the box takes the focus
    };
    const Case cases[] = {
        {"", "MM", true},
        {"torvex.suggest: false\n", "MM", false},
        {"", "MM", false, true},
        {"", "2^88", true},  // a calculation's result, in the same place and shade
        {"torvex.calculator: false\n", "2^88", false},
    };
    std::map<std::string, std::vector<COLORREF>> typedPixels;  // left of the caret, by text
    for (const Case& row : cases) {
        SCOPED_TRACE(std::string(row.settings) + row.typed);
        plugin_->Stop();
        Write("torvex.rc", row.settings);
        Start();
        UseStyle(
            "toolbar: Flat Solid\ntoolbar.color: #404040\ntoolbar.label.textColor: #00FF00\n"
            "borderWidth: 0\nbevelWidth: 0\ntoolbar.fontHeight: 14\n");
        plugin_->AddToHistory(L"MMMMMMMMMMMM");
        SetFocus(box());
        SetWindowTextA(box(), row.typed);
        const int end = static_cast<int>(std::strlen(row.typed));
        Send(EM_SETSEL, row.selected ? 0 : end, end);
        HideCaret(box());
        Repaint();
        POINT caret = {};
        GetCaretPos(&caret);
        Canvas canvas;
        CopyScreen(canvas);
        ShowCaret(box());
        // What was typed is drawn the same with and without the suggestion after it.
        std::vector<COLORREF> typed;
        for (int y = 0; y < Canvas::kHeight; ++y) {
            for (int x = 0; x < caret.x; ++x) typed.push_back(canvas.At(x, y));
        }
        if (!row.selected && !typedPixels.emplace(row.typed, typed).second) {
            EXPECT_TRUE(typedPixels[row.typed] == typed) << "the typed text's pixels";
        }
        int shaded = 0, bright = 0;  // right of the caret: the suggestion's pixels, the text's
        for (int y = 0; y < Canvas::kHeight; ++y) {
            for (int x = caret.x + 2; x < Canvas::kWidth; ++x) {
                COLORREF c = canvas.At(x, y);
                shaded += GetGValue(c) > 0x70 && GetGValue(c) < 0xB0 && GetRValue(c) < 0x50;
                bright += GetGValue(c) > 0xC0;
            }
        }
        EXPECT_EQ(shaded > 10, row.drawn) << shaded;
        EXPECT_EQ(bright, 0) << "never in the text's own colour";
        EXPECT_EQ(Field(), row.typed) << "drawn, never typed";
    }
}

}  // namespace
