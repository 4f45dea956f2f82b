#include "model/Blinket.h"

#include "base/ShellHelpers.h"
#include "model/EyeAnimator.h"
#include "model/EyeFileReader.h"

#include <strsafe.h>

#include <vector>

namespace {

// Expands the environment variables of a stored text; false when the result does not fit.
bool Expand(const wchar_t* text, wchar_t* expanded, DWORD chars) {
    const DWORD needed = ExpandEnvironmentStringsW(text, expanded, chars);
    if (needed == 0 || needed > chars) {
        expanded[0] = L'\0';
        return false;
    }
    return true;
}

// An eye of the frame's own pixels, scaled as the frame is and placed at the blinket's offset.
RECT PlaceEye(const RECT& eye, int xOffset, int shownHeight, int imageHeight) {
    auto scale = [&](LONG value) {
        return static_cast<LONG>(static_cast<long long>(value) * shownHeight / imageHeight);
    };
    if (shownHeight <= 0 || imageHeight <= 0 || shownHeight == imageHeight) {
        return {eye.left + xOffset, eye.top, eye.right + xOffset, eye.bottom};
    }
    return {scale(eye.left) + xOffset, scale(eye.top), scale(eye.right) + xOffset,
            scale(eye.bottom)};
}

}  // namespace

Blinket::Blinket() = default;

Blinket::~Blinket() = default;

const wchar_t* Blinket::DisplayText() {
    StringCchPrintfW(displayText, MAX_PATH, L"%d", blinketPos);
    ApplyTextHook(displayText);
    return displayText;
}

bool Blinket::EnsureEyes() {
    if (eyesTried) {
        return eyes != nullptr;
    }
    eyesTried = true;
    // Without an image there is nothing to name an eye file after (".eye" alone would be
    // looked for in the current folder).
    wchar_t stored[MAX_PATH];
    if (!ImagePath(stored)) {
        return false;
    }
    // A path stored in its short form names the image, but the eye file beside it is named
    // after the image's long name.
    wchar_t image[MAX_PATH];
    if (!LongPathOf(stored, image)) {
        StringCchCopyW(image, MAX_PATH, stored);
    }
    wchar_t path[MAX_PATH];
    RECT leftEye;
    RECT rightEye;
    if (EyeFileReader::EyeFilePath(image, path) && FileExists(path) &&
        EyeFileReader::Read(path, 0, leftEye, rightEye)) {
        leftEye = PlaceEye(leftEye, xOffset, frameHeight, imageFrameHeight);
        rightEye = PlaceEye(rightEye, xOffset, frameHeight, imageFrameHeight);
        // Eyes scaled down to nothing have no room for a pupil.
        if (!IsRectEmpty(&leftEye) && !IsRectEmpty(&rightEye)) {
            eyes = std::make_unique<EyeAnimator>();
            eyes->SetEyes(leftEye, rightEye);
        }
    }
    return eyes != nullptr;
}

void Blinket::DropEyes() {
    eyesTried = false;
    eyes.reset();
}

void Blinket::ResetForEdit() {
    blinketPos = 0;
    imagePos = 0;
    actionCmd = kActionNone;
    frameWidth = 0;
    frameHeight = 0;
    imageFrameHeight = 0;
    xOffset = 0;
    DropEyes();
}

void Blinket::RunAction(HINSTANCE instance, HWND owner) const {
    if (actionCmd != kActionWebPage && actionCmd != kActionProgram) {
        return;
    }
    if (!actionStringExpands) {
        ShellOpen(instance, owner, actionString, nullptr);
        return;
    }
    std::vector<wchar_t> expanded(kActionStringChars * 2);
    if (Expand(actionString, expanded.data(), static_cast<DWORD>(expanded.size()))) {
        ShellOpen(instance, owner, expanded.data(), nullptr);
    }
}

bool Blinket::SetImageFile(const wchar_t* path) {
    size_t length = 0;
    if (!path || FAILED(StringCchLengthW(path, kImageFileChars, &length))) {
        return false;
    }
    // Earlier versions stored short names; the long form is what the user recognises.
    wchar_t longPath[MAX_PATH];
    StringCchCopyW(imageFile, kImageFileChars, LongPathOf(path, longPath) ? longPath : path);
    imageFileExpands = false;
    return true;
}

bool Blinket::ImagePath(wchar_t (&path)[MAX_PATH]) const {
    path[0] = L'\0';
    if (!imageFile[0]) {
        return false;
    }
    if (imageFileExpands) {
        return Expand(imageFile, path, MAX_PATH);
    }
    return SUCCEEDED(StringCchCopyW(path, MAX_PATH, imageFile));
}
