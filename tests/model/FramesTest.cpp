#include "model/Frames.h"

#include <gtest/gtest.h>

TEST(Frames, OneRuleCutsEveryImage) {
    const struct {
        int width, height;
        FrameGrid grid;
    } cases[] = {
        {40, 20, {2, 20, 20}}, {41, 20, {2, 20, 20}},     {59, 20, {2, 20, 20}},
        {60, 20, {3, 20, 20}}, {39, 20, {1, 39, 20}},     {20, 20, {1, 20, 20}},
        {10, 30, {1, 10, 30}}, {10000, 1, {10000, 1, 1}}, {6000, 3000, {2, 3000, 3000}},
        {0, 20, {0, 0, 0}},    {20, 0, {0, 0, 0}},        {-5, 5, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        const FrameGrid grid = FramesOf(c.width, c.height);
        EXPECT_EQ(c.grid.count, grid.count) << c.width << "x" << c.height;
        EXPECT_EQ(c.grid.width, grid.width) << c.width << "x" << c.height;
        EXPECT_EQ(c.grid.height, grid.height) << c.width << "x" << c.height;
    }
}

TEST(Frames, AFrameTheImageLacksShowsTheFirst) {
    const FrameGrid four = FramesOf(80, 20);
    const int cases[][2] = {{0, 0}, {3, 3}, {4, 0}, {99, 0}, {-1, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(c[1], ShownFrame(four.count, c[0])) << c[0];
    }
    EXPECT_EQ(0, ShownFrame(FramesOf(0, 0).count, 2));
}

TEST(Frames, ATallFrameIsScaledDownToTheLimitKeepingItsShape) {
    const struct {
        int width, height, limit;
        SIZE shown;
    } cases[] = {
        {40, 30, 256, {40, 30}},  {300, 2000, 256, {38, 256}}, {6000, 3000, 256, {256, 256}},
        {1, 2000, 256, {1, 256}}, {40, 256, 256, {40, 256}},   {40, 257, 256, {39, 256}},
    };
    for (const auto& c : cases) {
        const SIZE shown = ShownFrameSize(FramesOf(c.width, c.height), c.limit);
        EXPECT_EQ(c.shown.cx, shown.cx) << c.width << "x" << c.height;
        EXPECT_EQ(c.shown.cy, shown.cy) << c.width << "x" << c.height;
    }
}
