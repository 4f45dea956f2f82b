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

// Code units of Blinket::imageFile, terminator included.
constexpr int kImageFileChars = 64;

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
    // Stores the path in imageFile, in its short form when only that fits. A path that does
    // not fit even so is refused (false) and imageFile is left as it was: a cut path would
    // name another file.
    bool SetImageFile(const wchar_t* path);

    int blinketPos = 0;
    wchar_t imageFile[kImageFileChars] = {};
    bool imageExists = false;
    int imagePos = 0;
    int actionCmd = kActionNone;
    wchar_t actionString[MAX_PATH] = {};
    int frameWidth = 0;
    int frameHeight = 0;
    int xOffset = 0;
    bool eyesTried = false;
    std::unique_ptr<EyeAnimator> eyes;
};
