// One blinket: an image (or one frame of an image strip) with an action and optional eyes.
#pragma once

#include "model/BlinketList.h"
#include "model/ListItem.h"

#include <memory>

class EyeAnimator;

// Action codes; the display text of code c is string resource 4001 + c.
enum BlinketAction : int {
    kActionNone = 0,
    kActionWebPage = 1,
    kActionProgram = 2,
    kActionShowOptions = 3,
    kActionNoneEnd = 4,
};

// Code units of Blinket::imageFile, terminator included: any Windows path.
constexpr int kImageFileChars = MAX_PATH;
// Code units of Blinket::actionString, terminator included: the longest web address that
// browsers accept, 2083 characters.
constexpr int kActionStringChars = 2084;

class Blinket : public ListItem {
public:
    Blinket();
    ~Blinket() override;
    Blinket(const Blinket&) = delete;
    Blinket& operator=(const Blinket&) = delete;

    const wchar_t* DisplayText() override;
    int Query() override { return 0; }

    // Whether the blinket has eyes; reads its eye file the first time after construction or
    // after DropEyes.
    bool EnsureEyes();
    // Forgets the eye data, so that it is read again with the blinket's new xOffset.
    void DropEyes();
    // Clears the numbers an edit sets again, and the eyes.
    void ResetForEdit();
    // Hands a web page or program action to the shell, with the owner of any window it shows;
    // other codes do nothing.
    void RunAction(HINSTANCE instance, HWND owner) const;
    // Stores the path in imageFile, in its long form when the file has one, as a plain path. A
    // path too long for the field is refused (false) and imageFile is left as it was: a cut path
    // would name another file.
    bool SetImageFile(const wchar_t* path);
    // The image path the system reads: imageFile with its environment variables expanded when
    // it is stored with them. False (and an empty path) when there is none or it does not fit.
    bool ImagePath(wchar_t (&path)[MAX_PATH]) const;

    int blinketPos = 0;
    wchar_t imageFile[kImageFileChars] = {};
    // Set by the layout: the picture opened and has pixels.
    bool imageExists = false;
    int imagePos = 0;
    int actionCmd = kActionNone;
    wchar_t actionString[kActionStringChars] = {};
    // Stored with environment variables to expand when used (REG_EXPAND_SZ), and saved so again.
    bool imageFileExpands = false;
    bool actionStringExpands = false;
    // The default blinket standing in while nothing else can be shown: never saved, until the
    // user makes it theirs in Edit Item.
    bool standIn = false;
    // The frame's size on the screen; a frame taller than the window may be is shown scaled
    // down from imageFrameHeight, its height in the picture.
    int frameWidth = 0;
    int frameHeight = 0;
    int imageFrameHeight = 0;
    int xOffset = 0;
    bool eyesTried = false;
    std::unique_ptr<EyeAnimator> eyes;
};
