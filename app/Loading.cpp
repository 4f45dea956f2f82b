#include "app/Loading.h"

#include "base/ShellHelpers.h"
#include "resources/resource.h"
#include "state/ShellState.h"
#include "store/Settings.h"

#include <strsafe.h>

#include <string>

namespace {

constexpr wchar_t kDefaultImage[] = L"Blinkets\\eyesbig.gif";

}  // namespace

std::unique_ptr<Blinket> MakeDefaultBlinket(HINSTANCE resources, const wchar_t* directory) {
    wchar_t path[MAX_PATH];
    if (!directory || FAILED(StringCchPrintfW(path, MAX_PATH, L"%s%s", directory, kDefaultImage))) {
        return nullptr;
    }
    auto blinket = std::make_unique<Blinket>();
    blinket->blinketPos = 0;
    blinket->actionCmd = kActionShowOptions;
    // A path that cannot be stored whole names no image the program could show.
    if (!blinket->SetImageFile(path) || !FileExists(blinket->imageFile)) {
        return nullptr;
    }
    LoadStringW(resources, IDS_ACTION_FIRST + blinket->actionCmd, blinket->actionString,
                kActionStringChars);
    return blinket;
}

namespace {

// The default blinket of the program's own folder.
std::unique_ptr<Blinket> OwnDefaultBlinket() {
    wchar_t directory[MAX_PATH];
    GetModuleDirectory(appInstance, directory);
    return MakeDefaultBlinket(appInstance, directory);
}

}  // namespace

bool AppendDefaultBlinket(BlinketList<Blinket>& list) {
    std::unique_ptr<Blinket> blinket = OwnDefaultBlinket();
    if (!blinket) {
        return false;
    }
    list.Append(std::move(blinket));
    return true;
}

bool AppendStandIn(BlinketList<Blinket>& list) {
    std::unique_ptr<Blinket> blinket = OwnDefaultBlinket();
    if (!blinket) {
        return false;
    }
    const std::wstring picture = FoldedCase(blinket->imageFile);
    for (int i = 0; i < list.Count(); ++i) {
        wchar_t path[MAX_PATH];
        if (list.At(i)->ImagePath(path) && FoldedCase(path) == picture) {
            return false;
        }
    }
    blinket->standIn = true;
    list.Append(std::move(blinket));
    return true;
}

bool LoadListOrDefault(BlinketList<Blinket>& list) {
    LoadBlinkets(kMakerName, kProgramName, list);
    return !list.IsEmpty() || AppendDefaultBlinket(list);
}

void ApplyStoredSettings() {
    const StoredSettings settings =
        LoadSettings(kMakerName, kProgramName, GetSystemMetrics(SM_CXSCREEN));
    windowCentreX = settings.windowCentreX;
    followPointer = settings.followPointer;
}
