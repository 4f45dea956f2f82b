#include "controls/ImageButtonStrip.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

using testsupport::ColourOf;
using testsupport::kKeyColour;

// Pictures 0 to 3 of the test strip.
constexpr unsigned kPictureRgb[] = {0xFF0000, 0xFFFF00, 0x00FF00, 0x0000FF};
constexpr COLORREF kPictures[] = {ColourOf(kPictureRgb[0]), ColourOf(kPictureRgb[1]),
                                  ColourOf(kPictureRgb[2]), ColourOf(kPictureRgb[3])};
constexpr int kSide = 20;
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kFace = GetSysColor(COLOR_BTNFACE);

using Pixels = std::vector<std::pair<POINT, COLORREF>>;

// Four 20 x 20 pictures side by side, each with a 5 x 5 corner of the key colour.
HBITMAP MakeStrip() {
    std::vector<COLORREF> colours;
    for (unsigned rgb :
         testsupport::StripPixels(kSide, {std::begin(kPictureRgb), std::end(kPictureRgb)})) {
        colours.push_back(ColourOf(rgb));
    }
    return testsupport::MakeDib(4 * kSide, kSide, colours);
}

class ImageButtonStripTest : public testing::Test {
protected:
    // The Options dialog's configuration (flat), or the 3-D one.
    void Make(bool flat, bool toggle = false) {
        buttonStrip.SetToggle(toggle);
        ASSERT_TRUE(buttonStrip.Configure(GetModuleHandleW(nullptr), 0, flat, false, false, true, 0,
                                          nullptr, nullptr, 16, 16, kKeyColour));
        buttonStrip.imageWidth = buttonStrip.imageHeight = kSide;
        ASSERT_TRUE(
            buttonStrip.Create(202, parent.get(), button, 0, true, strip.get(), false, nullptr));
    }
    // Answers a draw request with the item state for the button, or for a square of the side.
    void DrawState(UINT itemState, int side = 0) {
        canvas = std::make_unique<testsupport::Canvas>(40, 40, RGB(1, 2, 3));
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.itemState = itemState;
        item.hwndItem = button;
        item.hDC = canvas->dc();
        GetClientRect(button, &item.rcItem);
        if (side) {
            item.rcItem = {0, 0, side, side};
        }
        buttonStrip.OnDrawItem(&item);
    }
    void ExpectPixels(const Pixels& pixels) const {
        for (const auto& [p, colour] : pixels) {
            EXPECT_EQ(colour, canvas->Pixel(p.x, p.y)) << p.x << "," << p.y;
        }
    }

    testsupport::OwnedWindow parent{CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 99, 99,
                                                    nullptr, nullptr, nullptr, nullptr)};
    HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | BS_OWNERDRAW, 0, 0, 12, 12,
                                  parent.get(), nullptr, nullptr, nullptr);
    GdiObject<HBITMAP> strip{MakeStrip()};
    ImageButtonStrip buttonStrip;
    std::unique_ptr<testsupport::Canvas> canvas;
};

TEST_F(ImageButtonStripTest, FlatButtonDrawsThePictureOfEachStateTwoPixelsIn) {
    Make(true);
    RECT size = {};
    GetWindowRect(button, &size);
    EXPECT_EQ(25, size.right - size.left);
    EXPECT_EQ(25, size.bottom - size.top);
    EXPECT_EQ(4, ImageList_GetImageCount(buttonStrip.images));
    EXPECT_FALSE(buttonStrip.IsConfigured());
    const std::pair<UINT, COLORREF> cases[] = {{0, kPictures[0]},
                                               {ODS_FOCUS, kPictures[0]},
                                               {ODS_SELECTED | ODS_FOCUS, kPictures[2]},
                                               {ODS_DISABLED, kPictures[3]}};
    for (const auto& [itemState, picture] : cases) {
        SCOPED_TRACE(itemState);
        DrawState(itemState);
        // Background all round, the key-colour corner transparent, no bevel, no focus rectangle,
        // nothing outside the button.
        ExpectPixels({{{12, 12}, picture},
                      {{21, 21}, picture},
                      {{0, 0}, kFace},
                      {{1, 12}, kFace},
                      {{3, 3}, kFace},
                      {{22, 12}, kFace},
                      {{12, 22}, kFace},
                      {{24, 24}, kFace},
                      {{25, 25}, RGB(1, 2, 3)}});
    }
    buttonStrip.SetImageIndices(0, 7, 2);  // beyond the strip: picture 0
    DrawState(ODS_DISABLED);
    ExpectPixels({{{12, 12}, kPictures[0]}});
}

TEST_F(ImageButtonStripTest, RaisedButtonHasEdgesAndAnOutlineWhileEnabled) {
    Make(false);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    // In a 32 pixel square: edges at 2 and 30, outline at 4 and 28, picture from (5, 5).
    DrawState(0, 32);
    ExpectPixels({{{2, 12}, highlight},
                  {{12, 2}, highlight},
                  {{30, 12}, RGB(128, 128, 128)},
                  {{12, 30}, RGB(128, 128, 128)},
                  {{4, 12}, kBlack},
                  {{12, 4}, kBlack},
                  {{28, 12}, kBlack},
                  {{12, 28}, kBlack},
                  {{1, 1}, kFace},
                  {{6, 6}, kFace},
                  {{5, 12}, kPictures[0]},
                  {{24, 24}, kPictures[0]}});
    DrawState(ODS_SELECTED, 32);  // sunken, the same picture one pixel further in
    ExpectPixels({{{2, 12}, GetSysColor(COLOR_BTNSHADOW)},
                  {{30, 12}, RGB(192, 192, 192)},
                  {{5, 12}, kFace},
                  {{6, 12}, kPictures[0]}});
    EnableWindow(button, FALSE);
    DrawState(ODS_DISABLED, 32);
    ExpectPixels({{{2, 12}, kFace},
                  {{30, 12}, kFace},
                  {{4, 12}, kFace},
                  {{28, 12}, kFace},
                  {{12, 12}, kPictures[3]}});
}

TEST_F(ImageButtonStripTest, ToggleFlipsOnEverySelectedDrawAndStaysPressedWhileChecked) {
    Make(true, true);
    EXPECT_EQ(29, buttonStrip.GetWidth());
    const struct {
        UINT itemState;
        bool checked;
        COLORREF picture;
    } steps[] = {{ODS_SELECTED, true, kPictures[2]},
                 {0, true, kPictures[2]},
                 {ODS_SELECTED, false, kPictures[2]},
                 {0, false, kPictures[0]}};
    for (const auto& step : steps) {
        DrawState(step.itemState);
        EXPECT_EQ(step.checked, buttonStrip.IsChecked());
        ExpectPixels({{{12, 12}, step.picture}});
    }
}

TEST_F(ImageButtonStripTest, ConfigureOnceAndCreatingAgainFreesTheFormerImageList) {
    Make(true);
    EXPECT_FALSE(
        buttonStrip.Create(202, parent.get(), button, 0, true, strip.get(), false, nullptr));
    ASSERT_TRUE(buttonStrip.Configure(nullptr, 0, true, false, false, true, 0, nullptr, nullptr, 16,
                                      16, kKeyColour));
    EXPECT_FALSE(buttonStrip.Configure(nullptr, 0, true, false, false, true, 0, nullptr, nullptr,
                                       16, 16, kKeyColour));
    buttonStrip.Release();
    const int before = testsupport::FreeGdiCapacity();
    for (int i = 0; i < 50; ++i) {
        Make(true);
        DrawState(0);
    }
    canvas.reset();
    buttonStrip.Release();
    EXPECT_GE(testsupport::FreeGdiCapacity(), before - 2);
}

}  // namespace
