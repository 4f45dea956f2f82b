#include "base/IconFiles.h"
#include "base/Picture.h"
#include "base/PictureFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testsupport;

namespace {

// A GIF of one pixel whose picture lies behind a colour table, a comment and an application
// extension, as the header walk must skip them.
std::string GifBehindExtensions(unsigned width, unsigned height) {
    std::string bytes = "GIF89a";
    bytes += {char(width & 0xFF), char(width >> 8), char(height & 0xFF), char(height >> 8)};
    bytes += {'\x80', 0, 0};                            // a global table of two colours
    bytes += std::string(6, '\x7F');                    // the table
    bytes += {'\x21', '\xFE', 3, 'a', 'b', 'c', 0};     // a comment
    bytes += {'\x21', '\xFF', 2, 'N', 'S', 1, 'x', 0};  // an application block of two sub-blocks
    bytes += {'\x2C',
              0,
              0,
              0,
              0,
              char(width & 0xFF),
              char(width >> 8),
              char(height & 0xFF),
              char(height >> 8),
              0};
    return bytes + std::string(8, '\0');
}

}  // namespace

TEST(PictureFiles, SizesComeFromTheHeaderAlone) {
    const std::vector<unsigned> pixels(12, 0x00FF00);
    std::string core = MakeBmp(4, 3, pixels.data());
    core.replace(14, 16,
                 std::string("\x0C\0\0\0\x04\0\x03\0\x01\0\x20\0", 12) + std::string(4, '\0'));
    std::string topDown = MakeBmp(4, 3, pixels.data());
    topDown.replace(22, 4, "\xFD\xFF\xFF\xFF");  // -3 rows
    const struct {
        const char* kind;
        std::string bytes;
        int width, height;  // 0: no size
    } cases[] = {
        {"PNG", MakePng(5, 7, std::vector<unsigned>(35, 0xFF000000).data()), 5, 7},
        {"BMP", MakeBmp(4, 3, pixels.data()), 4, 3},
        {"BMP of the old header", core, 4, 3},
        {"BMP stored top down", topDown, 4, 3},
        {"GIF behind its extensions", GifBehindExtensions(300, 20), 300, 20},
        {"GIF that ends before its picture", GifBehindExtensions(3, 2).substr(0, 30), 0, 0},
        {"GIF of no pixels", GifBehindExtensions(0, 5), 0, 0},
        {"text", "GIF89 is not a header", 0, 0},
        {"nothing", "", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        int width = 0;
        int height = 0;
        EXPECT_EQ(c.width > 0, PictureSizeOf(c.bytes, width, height));
        if (c.width > 0) {
            EXPECT_EQ(c.width, width);
            EXPECT_EQ(c.height, height);
        }
    }
}

// What is written is what the image loader reads back, the key colour included; a path that
// cannot be written leaves nothing behind.
TEST(PictureFiles, PngFilesAreWrittenWholeAndReadBack) {
    TempDir dir;
    const std::wstring path = dir.path() + L"made.png";
    const std::vector<Pixel> pixels = {0x800080, 0x123456, 0xFFFFFF, 0x000000, 0x800180, 0x00FF00};
    ASSERT_TRUE(WritePngFile(path.c_str(), 3, 2, pixels));
    ASSERT_TRUE(WritePngFile(path.c_str(), 3, 2, pixels));  // over the first
    Picture picture;
    picture.Load(nullptr, path.c_str(), nullptr, 0);
    ASSERT_TRUE(picture.IsLoaded());
    const Pixels read = ReadPixels(picture.bitmap);
    ASSERT_EQ(3, read.width);
    for (size_t i = 0; i < pixels.size(); ++i) {
        EXPECT_EQ(pixels[i], PixelOf(read.colours[i])) << i;
    }
    int width = 0;
    int height = 0;
    EXPECT_TRUE(ReadPictureSize(path.c_str(), width, height));
    EXPECT_EQ(2, height);
    EXPECT_FALSE(WritePngFile((dir.path() + L"no folder\\x.png").c_str(), 3, 2, pixels));
    EXPECT_FALSE(WritePngFile(path.c_str(), 4, 2, pixels));  // fewer pixels than the size
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((dir.path() + L"*").c_str(), &found);
    int files = 0;
    do {
        files += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_EQ(1, files);  // no partial file left
}

TEST(PictureFiles, IconPicturesDeclareASizeTheirDataHolds) {
    const std::vector<unsigned> pixels(64 * 64, 0xFF00FF00);
    const std::string dib = IconDib(64, 64, pixels.data());
    const struct {
        const char* kind;
        std::string bytes;
        int side;  // 0: refused
    } cases[] = {
        {"DIB", dib, 64},
        {"DIB short of its mask", dib.substr(0, dib.size() - 1), 0},
        {"PNG", MakePng(256, 256, std::vector<unsigned>(65536, 0xFF000000).data()), 256},
        {"PNG past any icon", MakePng(1100, 2, std::vector<unsigned>(2200, 0xFF000000).data()), 0},
        {"header alone", dib.substr(0, 20), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        int width = 0;
        int height = 0;
        EXPECT_EQ(c.side > 0, IconPictureSize(reinterpret_cast<const BYTE*>(c.bytes.data()),
                                              c.bytes.size(), width, height));
        if (c.side > 0) {
            EXPECT_EQ(c.side, width);
            EXPECT_EQ(c.side, height);
        }
    }
}
