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

    int firstThumbnail = 0;  // index in thumbnailList of frame 0
    int frameCount = 0;      // 0 when the image does not load
    wchar_t folder[MAX_PATH] = {};
    wchar_t fileName[MAX_PATH] = {};
    std::unique_ptr<Picture> picture;  // holds a bitmap only while the thumbnails are built
};

struct FrameRef {
    ImageFileEntry* entry = nullptr;
    int frame = 0;
};
