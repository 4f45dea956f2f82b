// How a blinket image is cut into frames and how large a frame is shown: one rule for the window,
// the image catalogue, the thumbnails and the dialogs.
#pragma once

#include <windows.h>

// The frames of an image W by H: floor(W / H) square frames H by H side by side when W is at least
// 2H, else one frame W by H. An image with no pixels has no frames.
struct FrameGrid {
    int count = 0;
    int width = 0;
    int height = 0;
};

FrameGrid FramesOf(int imageWidth, int imageHeight);
// The frame shown for a stored frame number of an image of frameCount frames: that frame when
// the image has it, else the first.
int ShownFrame(int frameCount, int imagePos);
// A frame's size on the screen: as it is, or scaled down to maxHeight with its proportions kept
// (never narrower than one pixel) when it is taller.
SIZE ShownFrameSize(const FrameGrid& grid, int maxHeight);
