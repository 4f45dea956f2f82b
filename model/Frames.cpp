#include "model/Frames.h"

#include <algorithm>

FrameGrid FramesOf(int imageWidth, int imageHeight) {
    FrameGrid grid;
    if (imageWidth <= 0 || imageHeight <= 0) {
        return grid;
    }
    if (imageWidth / 2 >= imageHeight) {
        grid.count = imageWidth / imageHeight;
        grid.width = imageHeight;
    } else {
        grid.count = 1;
        grid.width = imageWidth;
    }
    grid.height = imageHeight;
    return grid;
}

int ShownFrame(int frameCount, int imagePos) {
    return imagePos >= 0 && imagePos < frameCount ? imagePos : 0;
}

SIZE ShownFrameSize(const FrameGrid& grid, int maxHeight) {
    if (grid.count == 0 || maxHeight <= 0 || grid.height <= maxHeight) {
        return {grid.width, grid.height};
    }
    const long long width = static_cast<long long>(grid.width) * maxHeight / grid.height;
    return {static_cast<LONG>(std::max<long long>(1, width)), maxHeight};
}
