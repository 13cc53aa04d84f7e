// The about box on the headless display: its layout, picture and texts, and the ways it closes.

#include <gtest/gtest.h>

#include "app/AboutBox.h"
#include "frame/Application.h"
#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"

using namespace platform::testing;

namespace {

class AboutBoxTest : public ::testing::Test {
  protected:
    AboutBoxTest() {
        static const bool headless = (UseHeadlessDisplay(), true);
        (void)headless;
        Application();
    }

    // Shows a new box modally, runs `steps` one per 20 ms from inside its loop, and returns the result.
    TModalResult RunBox(std::vector<std::function<void(TAboutBox&)>> steps) {
        AboutBox = new TAboutBox(&Application());
        TAboutBox* box = AboutBox;
        static std::vector<std::function<void(TAboutBox&)>>* pending = nullptr;
        static TAboutBox* current = nullptr;
        static size_t next = 0;
        pending = &steps;
        current = box;
        next = 0;
        UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
            if (next < pending->size()) (*pending)[next++](*current);
        });
        TModalResult result = box->RunModal();
        KillTimer(nullptr, timer);
        delete box;
        AboutBox = nullptr;
        return result;
    }

    VirtualClock clock_;
};

// Whether a label of the about box shows exactly `text`: its pixels against the text drawn on its own, in the
// box's font ("ＭＳ Ｐゴシック", 12 pixels) on the button face, as a label draws its caption.
bool ShowsText(TLabel& label, const std::string& text) {
    const int width = label.Width(), height = label.Height();
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(width, height, 1, 32, nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, "ＭＳ Ｐゴシック");
    HGDIOBJ oldFont = SelectObject(dc, font);
    RECT area{0, 0, width, height};
    HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    FillRect(dc, &area, face);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextA(dc, text.c_str(), -1, &area, DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS);
    bool same = true;
    const HWND parent = label.Parent()->Handle();
    for (int y = 0; y < height && same; ++y)
        for (int x = 0; x < width && same; ++x)
            same = Pixel(parent, label.Left() + x, label.Top() + y) == GetPixel(dc, x, y);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(font);
    DeleteObject(face);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return same;
}

bool HasDarkPixels(HWND window, RECT area) {
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            COLORREF c = Pixel(window, x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) return true;
        }
    return false;
}

}  // namespace

TEST_F(AboutBoxTest, ItShowsCentredWithItsPictureAndTexts) {
    RECT client{}, window{};
    bool centred = false, picture = false, name = false, version = false, notice = false, nothingBelow = true;
    std::string caption;
    bool okFocused = false;
    TModalResult result = RunBox({[&](TAboutBox& box) {
                                      GetClientRect(box.Handle(), &client);
                                      GetWindowRect(box.Handle(), &window);
                                      int left = (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2;
                                      int top = (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2;
                                      centred = window.left == left && window.top == top;
                                      char text[64] = {};
                                      GetWindowTextA(box.Handle(), text, sizeof text);
                                      caption = text;
                                      okFocused = box.OKButton->Focused();
                                      HWND panel = box.Panel1->Handle();
                                      // The icon's frame is navy at its edge and the note inside is dark.
                                      picture = Pixel(panel, 8, 20) == RGB(0, 0, 128) && HasDarkPixels(panel, {16, 16, 34, 34});
                                      name = box.ProductName->Caption() == "ミュージックプレーヤー Korvo" &&
                                             ShowsText(*box.ProductName, "ミュージックプレーヤー Korvo");
                                      version = box.Version->Caption() == "Version 1.00" &&
                                                ShowsText(*box.Version, "Version 1.00");
                                      notice = box.Copyright->Caption() == "© 2026 Korvo チーム" &&
                                               ShowsText(*box.Copyright, "© 2026 Korvo チーム");
                                      nothingBelow = !HasDarkPixels(panel, {48, 80, 190, 88});
                                      EXPECT_TRUE(WriteScreenshot(box.Handle(), "about-box-headless.png"));
                                  },
                                  [](TAboutBox&) { PressKey(VK_RETURN); }});
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(client.right, 218);
    EXPECT_EQ(client.bottom, 148);
    EXPECT_TRUE(centred);
    EXPECT_EQ(caption, "バージョン情報");
    EXPECT_TRUE(okFocused);
    EXPECT_TRUE(picture);
    EXPECT_TRUE(name);
    EXPECT_TRUE(version);
    EXPECT_TRUE(notice);
    EXPECT_TRUE(nothingBelow);
}

TEST_F(AboutBoxTest, EscapeDoesNothingAndTheCloseBoxCancels) {
    bool openAfterEscape = false;
    TModalResult result = RunBox({[](TAboutBox&) { PressKey(VK_ESCAPE); },
                                  [&](TAboutBox& box) { openAfterEscape = box.Visible(); },
                                  [](TAboutBox& box) { CloseBox(box.Handle()); }});
    EXPECT_TRUE(openAfterEscape) << "the box has no Cancel button";
    EXPECT_EQ(result, mrCancel);
}

TEST_F(AboutBoxTest, ClickingOKEndsWithOK) {
    EXPECT_EQ(RunBox({[](TAboutBox& box) { Click(box.OKButton->Handle(), 30, 12); }}), mrOk);
}
