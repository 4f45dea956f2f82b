#include "dialogs/DialogState.h"
#include "dialogs/ImageCatalogue.h"
#include "tests/dialogs/DialogsTestKit.h"

#include <gtest/gtest.h>
#include <psapi.h>

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

// The mark of pictures that do not decode comes from the executable's resources.
class ImageCatalogueTest : public testing::Test {
protected:
    void SetUp() override { dialogInstance = GetModuleHandleW(nullptr); }
    void TearDown() override {
        dialogScale = 1;
        dialogResIdOffset = 0;
    }
    TempCatalogue catalogue;
};

SIZE_T WorkingSet(bool peak) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize;
}

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
        // Read from the header: nothing is decoded before a frame is shown.
        EXPECT_EQ(c.frames, ImageList_GetImageCount(thumbnailList));
        EXPECT_EQ(nullptr, imageFiles.At(0)->picture);
        EXPECT_EQ(c.frames - 1, ThumbnailOfRow(c.frames - 1));
        EXPECT_EQ(c.frames, ImageList_GetImageCount(thumbnailList));
        EXPECT_FALSE(imageFiles.At(0)->picture->IsLoaded());  // released once drawn
        EXPECT_TRUE(IsChoosableRow(0));
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
    // None of them decodes: each stays listed as one row with the mark, and cannot be chosen.
    thumbnailList = BuildThumbnails(nullptr);
    BuildFrameRefs();
    ASSERT_EQ(4, frameRefs.Count());
    const int mark = AddMissingPictureMark(nullptr);
    ASSERT_LE(0, mark);
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(mark, ThumbnailOfRow(row));
        EXPECT_FALSE(IsChoosableRow(row));
    }
    EXPECT_EQ(5, ImageList_GetImageCount(thumbnailList));
    FreeImageCatalogue();
}

TEST_F(ImageCatalogueTest, RowsFollowEachOtherAndPicturesThatDoNotDecodeKeepTheirRowWithTheMark) {
    catalogue.Add(L"five.bmp", StripBmp(16, {std::begin(kFiveColours), std::end(kFiveColours)}));
    catalogue.Add(L"fake.bmp", "not an image");
    const std::string png = MakePng(16, 16, std::vector<unsigned>(256, 0xFF0000FF).data());
    catalogue.Add(L"cut.png", png.substr(0, png.size() / 2));  // a header, then damage
    catalogue.Add(L"one.bmp", StripBmp(16, {kBlue}));
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        dialogScale = scale;
        dialogResIdOffset = 100 * (scale - 1);
        catalogue.Load();
        const ImageFileEntry* five = FindImageEntry((catalogue.folder() + L"five.bmp").c_str());
        const ImageFileEntry* fake = FindImageEntry((catalogue.folder() + L"fake.bmp").c_str());
        const ImageFileEntry* cut = FindImageEntry((catalogue.folder() + L"cut.png").c_str());
        const ImageFileEntry* one = FindImageEntry((catalogue.folder() + L"one.bmp").c_str());
        ASSERT_TRUE(five && fake && cut && one);
        EXPECT_EQ(1, fake->frameCount);
        EXPECT_TRUE(fake->broken);
        EXPECT_EQ(1, cut->frameCount);
        EXPECT_FALSE(cut->broken);  // as far as its header tells
        EXPECT_EQ(5, five->frameCount);
        ASSERT_EQ(8, frameRefs.Count());
        const int side = 16 * scale;
        // Whatever the listing order, each entry's rows start where the one before ended.
        for (int k = 0; k < 8; ++k) {
            const FrameRef* ref = frameRefs.At(k);
            const ImageFileEntry* entry = ref->entry;
            EXPECT_EQ(k, entry->firstRow + ref->frame);
            EXPECT_EQ(k, entry->firstThumbnail + ref->frame);
            const int thumbnail = ThumbnailOfRow(k);
            ASSERT_LE(0, thumbnail) << k;
            EXPECT_EQ(entry != fake && entry != cut, IsChoosableRow(k)) << k;
            if (entry == fake || entry == cut) {
                EXPECT_EQ(AddMissingPictureMark(nullptr), thumbnail) << k;
                continue;
            }
            EXPECT_EQ(entry->firstThumbnail + ref->frame, thumbnail) << k;
            const unsigned rgb = entry == one ? kBlue : kFiveColours[ref->frame];
            EXPECT_EQ(ColourOf(rgb), ThumbnailPixel(thumbnail, side - 2, side - 2)) << k;
            EXPECT_EQ(RGB(255, 255, 255), ThumbnailPixel(thumbnail, scale, scale)) << k;  // key
        }
        EXPECT_TRUE(cut->broken);
        // A place for every row, then one mark, shared by both that do not decode.
        EXPECT_EQ(9, ImageList_GetImageCount(thumbnailList));
        int shown = 0;
        ImageList_GetIconSize(thumbnailList, &shown, &shown);
        EXPECT_EQ(side, shown);
    }
}

TEST_F(ImageCatalogueTest, LargePicturesAreDecodedOneAtATimeAsTheyAreShown) {
    // Six photos of 4000 x 3000 pixels: 48 MB each once decoded, 288 MB all together.
    constexpr int kWidth = 4000;
    constexpr int kHeight = 3000;
    std::vector<unsigned> pixels(static_cast<size_t>(kWidth) * kHeight);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = 0xFF000000u | static_cast<unsigned>(i % kWidth * 255 / kWidth) << 8;
    }
    const std::string photo = MakePng(kWidth, kHeight, pixels.data());
    pixels = {};
    ASSERT_FALSE(photo.empty());
    for (int i = 0; i < 6; ++i) {
        catalogue.Add(L"photo" + std::to_wstring(i) + L".png", photo);
    }
    const SIZE_T before = WorkingSet(false);
    catalogue.Load();
    ASSERT_EQ(6, frameRefs.Count());
    for (int row = 0; row < 6; ++row) {
        EXPECT_TRUE(IsChoosableRow(row)) << row;
        const COLORREF right = ThumbnailPixel(ThumbnailOfRow(row), 15, 8);
        EXPECT_GT(GetGValue(right), 200) << row;
        EXPECT_EQ(0, GetRValue(right)) << row;
    }
    const SIZE_T grown = WorkingSet(true) - before;
    EXPECT_LT(grown, SIZE_T{200} << 20) << grown / (1 << 20) << " MB";
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

    const std::wstring broken = catalogue.folder() + L"broken.gif";
    const int brokenRow = FindImageEntry(broken.c_str())->firstRow;
    const int mark = AddMissingPictureMark(nullptr);
    ASSERT_LE(0, mark);
    const struct {
        std::wstring path;
        int imagePos;
        int frame;  // of the strip, or -1
        int row;
        int thumbnail;  // when it is not the strip's
    } cases[] = {
        {strip, 1, 1, entry->firstRow + 1, 0},
        {strip, 2, 0, entry->firstRow, 0},  // a frame the strip does not have shows its first
        {strip, -1, 0, entry->firstRow, 0},
        {broken, 0, -1, brokenRow, mark},  // listed, with the mark
        {L"C:\\elsewhere\\a.bmp", 0, -1, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.imagePos << " " << std::string(c.path.begin(), c.path.end()));
        Blinket blinket;
        ASSERT_TRUE(blinket.SetImageFile(c.path.c_str()));
        blinket.imagePos = c.imagePos;
        EXPECT_EQ(c.row, RowOf(blinket));
        const int thumbnail = ThumbnailOf(blinket);
        EXPECT_EQ(c.frame >= 0 ? entry->firstThumbnail + c.frame : c.thumbnail, thumbnail);
    }
    EXPECT_NE(mark, entry->firstThumbnail);
}

TEST_F(ImageCatalogueTest, ThePicturesOfTheUsersFolderFollowThoseOfTheProgramsAndMoreJoinLater) {
    TempCatalogue user;
    catalogue.Add(L"shipped.bmp", StripBmp(16, {kRed, kGreen}));
    user.Add(L"made.png", MakePng(40, 40, std::vector<unsigned>(1600, 0xFF00FF00).data()));
    LoadImageCatalogue(nullptr, catalogue.folder().c_str(), user.folder().c_str());
    EXPECT_EQ((std::vector<std::wstring>{L"shipped.bmp", L"made.png"}), Names());
    ASSERT_EQ(3, frameRefs.Count());
    const std::wstring later =
        user.Add(L"later.png", MakePng(80, 40, std::vector<unsigned>(3200, 0xFF0000FF).data()));
    EXPECT_EQ(3, AddCatalogueImage(later.c_str()));
    EXPECT_EQ(3, AddCatalogueImage(later.c_str()));  // once only
    EXPECT_EQ(-1, AddCatalogueImage(L"nameless"));
    ASSERT_EQ(5, frameRefs.Count());
    EXPECT_EQ(ColourOf(kBlue), ThumbnailPixel(ThumbnailOfRow(4), 8, 8));
    Blinket blinket;
    ASSERT_TRUE(blinket.SetImageFile(later.c_str()));
    blinket.imagePos = 1;
    EXPECT_EQ(4, RowOf(blinket));
    EXPECT_EQ(ThumbnailOfRow(4), ThumbnailOf(blinket));
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
