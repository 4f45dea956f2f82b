// The records of the image catalogue: one image file of the blinkets folder, and one frame of it.
#pragma once

#include "base/Picture.h"
#include "model/ListItem.h"

#include <windows.h>

#include <memory>

class ImageFileEntry : public ListItem {
public:
    const wchar_t* DisplayText() override { return fileName; }
    int Query() override { return frameCount; }
    // folder followed by fileName; false when that does not fit a path buffer.
    bool FullPath(wchar_t (&path)[MAX_PATH]) const;

    // Index in thumbnailList of frame 0. The thumbnails are drawn when one of them is first shown.
    int firstThumbnail = -1;
    // Frames as the file's header declares them; 1 for a file whose header cannot be read.
    int frameCount = 0;
    int firstRow = 0;  // index in frameRefs of frame 0
    // The picture cannot be decoded: its rows show the missing-picture mark and cannot be chosen.
    bool broken = false;
    bool drawn = false;
    wchar_t folder[MAX_PATH] = {};
    wchar_t fileName[MAX_PATH] = {};
    std::unique_ptr<Picture> picture;  // holds a bitmap only while its frames are drawn
};

struct FrameRef {
    ImageFileEntry* entry = nullptr;
    int frame = 0;
};
