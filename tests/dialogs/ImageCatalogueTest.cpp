#include "dialogs/DialogState.h"
#include "dialogs/ImageCatalogue.h"
#include "tests/dialogs/DialogsTestKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

using namespace dialogstest;
using namespace testsupport;

namespace {

constexpr unsigned kRed = 0xFF0000;
constexpr unsigned kGreen = 0x00FF00;
constexpr unsigned kBlue = 0x0000FF;
constexpr unsigned kFiveColours[] = {kRed, kGreen, kBlue, kRed, kGreen};

std::vector<std::wstring> Names() {
    std::vector<std::wstring> names;
    for (int i = 0; i < imageFiles.Count(); ++i) {
        names.push_back(imageFiles.At(i)->fileName);
    }
    return names;
}

// The colour of thumbnail k at (x, y), drawn transparently over white.
COLORREF ThumbnailPixel(int k, int x, int y) {
    Canvas canvas(32, 32, RGB(255, 255, 255));
    ImageList_Draw(thumbnailList, k, canvas.dc(), 0, 0, ILD_TRANSPARENT);
    return canvas.Pixel(x, y);
}

class ImageCatalogueTest : public testing::Test {
protected:
    void TearDown() override { dialogScale = 1; }
    TempCatalogue catalogue;
};

TEST_F(ImageCatalogueTest, FramesFollowTheShape) {
    const struct {
        const wchar_t* name;
        int width, height, frames;
    } cases[] = {{L"strip.bmp", 64, 16, 4},
                 {L"odd.bmp", 60, 16, 3},
                 {L"tall.bmp", 16, 64, 1},
                 {L"square.bmp", 32, 32, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        TempCatalogue one;
        one.Add(c.name, SolidBmp(c.width, c.height, kRed));
        one.Load();
        ASSERT_EQ(1, imageFiles.Count());
        EXPECT_EQ(c.frames, imageFiles.At(0)->frameCount);
        EXPECT_EQ(c.frames, frameRefs.Count());
        EXPECT_EQ(c.frames, ImageList_GetImageCount(thumbnailList));
        EXPECT_FALSE(imageFiles.At(0)->picture->IsLoaded());  // released once drawn
    }
}

TEST_F(ImageCatalogueTest, OnlyImageExtensionsAreListed) {
    for (const wchar_t* name : {L"EYES.GIF", L"a.Png", L"b.bmp", L"notes.txt", L"gif", L"x.gifx"}) {
        catalogue.Add(name, "x");
    }
    CreateDirectoryW((catalogue.folder() + L"dir.gif").c_str(), nullptr);
    ScanImageFolder(catalogue.folder().c_str(), imageFiles);
    std::vector<std::wstring> names = Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::wstring>{L"EYES.GIF", L"a.Png", L"b.bmp", L"dir.gif"}), names);
    EXPECT_EQ(catalogue.folder(), imageFiles.At(0)->folder);
    // None of them loads: no frames, no thumbnails.
    EXPECT_EQ(nullptr, BuildThumbnails(nullptr));
    BuildFrameRefs();
    EXPECT_EQ(0, frameRefs.Count());
}

TEST_F(ImageCatalogueTest, ThumbnailsFollowEachOtherAcrossImagesThatDoNotLoad) {
    catalogue.Add(L"five.bmp", StripBmp(16, {std::begin(kFiveColours), std::end(kFiveColours)}));
    catalogue.Add(L"fake.bmp", "not an image");
    catalogue.Add(L"one.bmp", StripBmp(16, {kBlue}));
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        dialogScale = scale;
        catalogue.Load();
        const ImageFileEntry* five = FindImageEntry((catalogue.folder() + L"five.bmp").c_str());
        const ImageFileEntry* fake = FindImageEntry((catalogue.folder() + L"fake.bmp").c_str());
        const ImageFileEntry* one = FindImageEntry((catalogue.folder() + L"one.bmp").c_str());
        ASSERT_TRUE(five && fake && one);
        EXPECT_EQ(0, fake->frameCount);
        EXPECT_EQ(5, five->frameCount);
        ASSERT_EQ(6, frameRefs.Count());
        ASSERT_EQ(6, ImageList_GetImageCount(thumbnailList));
        // Whatever the listing order, each loaded image starts where the one before ended.
        const bool fiveFirst = five->firstThumbnail == 0;
        EXPECT_EQ(fiveFirst ? 5 : 0, one->firstThumbnail);
        EXPECT_EQ(fiveFirst ? 0 : 1, five->firstThumbnail);
        for (int k = 0; k < 6; ++k) {
            const FrameRef* ref = frameRefs.At(k);
            const ImageFileEntry* entry = ref->entry;
            EXPECT_EQ(k, entry->firstThumbnail + ref->frame);
            const unsigned rgb = entry == one ? kBlue : kFiveColours[ref->frame];
            const int side = 16 * scale;
            EXPECT_EQ(ColourOf(rgb), ThumbnailPixel(k, side - 2, side - 2)) << k;
            EXPECT_EQ(RGB(255, 255, 255), ThumbnailPixel(k, scale, scale)) << k;  // key corner
        }
        int side = 0;
        ImageList_GetIconSize(thumbnailList, &side, &side);
        EXPECT_EQ(16 * scale, side);
    }
}

TEST_F(ImageCatalogueTest, BlinketsFindTheirEntryAndThumbnail) {
    catalogue.Add(L"Strip Of Frames.bmp", StripBmp(16, {kRed, kGreen}));
    catalogue.Add(L"broken.gif", "GIF89a");
    catalogue.Load();
    const std::wstring strip = catalogue.folder() + L"Strip Of Frames.bmp";
    const ImageFileEntry* entry = FindImageEntry(strip.c_str());
    ASSERT_NE(nullptr, entry);
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(0u, GetShortPathNameW(strip.c_str(), shortPath, MAX_PATH));
    ASSERT_NE(strip, shortPath);
    std::wstring upper = strip;
    CharUpperW(upper.data());
    EXPECT_EQ(entry, FindImageEntry(upper.c_str()));
    EXPECT_EQ(entry, FindImageEntry(shortPath));
    EXPECT_EQ(nullptr, FindImageEntry(L"C:\\elsewhere\\Strip Of Frames.bmp"));
    EXPECT_EQ(nullptr, FindImageEntry(L""));

    const struct {
        std::wstring path;
        int imagePos;
        int thumbnail;
    } cases[] = {
        {strip, 1, 1},
        {strip, 2, 0},  // a frame the strip does not have shows its first
        {strip, -1, 0},
        {catalogue.folder() + L"broken.gif", 0, -1},  // listed, but no frames
        {L"C:\\elsewhere\\a.bmp", 0, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.imagePos << " " << std::string(c.path.begin(), c.path.end()));
        Blinket blinket;
        ASSERT_TRUE(blinket.SetImageFile(c.path.c_str()));
        blinket.imagePos = c.imagePos;
        EXPECT_EQ(c.thumbnail, ThumbnailOf(blinket));
    }
}

TEST_F(ImageCatalogueTest, EmptyOrMissingFolderLeavesNoThumbnails) {
    catalogue.Load();
    EXPECT_TRUE(imageFiles.IsEmpty());
    EXPECT_EQ(nullptr, thumbnailList);
    LoadImageCatalogue(nullptr, (catalogue.folder() + L"missing\\").c_str());
    EXPECT_TRUE(imageFiles.IsEmpty());
    EXPECT_EQ(nullptr, thumbnailList);
    EXPECT_EQ(0, frameRefs.Count());
}

}  // namespace
