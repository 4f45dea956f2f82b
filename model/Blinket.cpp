#include "model/Blinket.h"

#include "base/ShellHelpers.h"
#include "model/EyeAnimator.h"
#include "model/EyeFileReader.h"

#include <strsafe.h>

#include <cwchar>

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
    if (!imageFile[0]) {
        return false;
    }
    // A path stored in its short form names the image, but the eye file beside it is named
    // after the image's long name.
    wchar_t image[MAX_PATH];
    const DWORD length = GetLongPathNameW(imageFile, image, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        StringCchCopyW(image, MAX_PATH, imageFile);
    }
    wchar_t path[MAX_PATH];
    RECT leftEye;
    RECT rightEye;
    if (EyeFileReader::EyeFilePath(image, path) && FileExists(path) &&
        EyeFileReader::Read(path, xOffset, leftEye, rightEye)) {
        eyes = std::make_unique<EyeAnimator>();
        eyes->SetEyes(leftEye, rightEye);
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
    xOffset = 0;
    DropEyes();
}

void Blinket::RunAction(HINSTANCE instance, HWND owner) const {
    if (actionCmd == kActionWebPage || actionCmd == kActionProgram) {
        ShellOpen(instance, owner, actionString, nullptr);
    }
}

bool Blinket::SetImageFile(const wchar_t* path) {
    if (!path) {
        return false;
    }
    if (wcslen(path) < kImageFileChars) {
        StringCchCopyW(imageFile, kImageFileChars, path);
        return true;
    }
    wchar_t shortPath[kImageFileChars];
    const DWORD length = GetShortPathNameW(path, shortPath, kImageFileChars);
    if (length == 0 || length >= kImageFileChars) {
        return false;
    }
    StringCchCopyW(imageFile, kImageFileChars, shortPath);
    return true;
}
