#include "app/Arrivals.h"

#include "app/Operations.h"
#include "model/LaunchTarget.h"
#include "model/TargetJob.h"
#include "state/ShellState.h"

#include <memory>
#include <string>
#include <utility>

namespace {

// How long the worker may take. Past it the target is taken as it stands, without reading it,
// and Edit Item lets the user finish: a drop on a share that does not answer must not leave
// the user waiting for ever, nor the window's thread waiting at all.
constexpr DWORD kWorkBound = 1500;
// How often the window looks for the worker's result, and, once it is there, for the dialog or
// menu that the user may have opened meanwhile to close.
constexpr UINT kLookInterval = 50;
constexpr UINT_PTR kArrivalTimerId = 0x0A21;

struct Arrival {
    std::wstring target;
    int before = 0;
    bool choosePicture = false;
    DWORD started = 0;
    std::unique_ptr<TargetJob> job;
    bool settled = false;
    std::unique_ptr<Blinket> blinket;
};

std::unique_ptr<Arrival> arrival;

// The worker's blinket, or, once it is late, the target as it stands; the late worker's result
// is thrown away when it ends.
void Settle(Arrival& pending) {
    if (pending.job->Wait(0)) {
        pending.blinket = pending.job->Take();
    } else if (GetTickCount() - pending.started >= kWorkBound) {
        pending.blinket = BlinketForTarget(pending.target.c_str(), false);
        // Without its picture the user chooses one.
        pending.choosePicture = true;
    } else {
        return;
    }
    pending.job.reset();
    pending.settled = true;
}

void Place(Arrival& placed) {
    if (!placed.blinket) {
        return;
    }
    if (placed.blinket->imageFile[0] && !placed.choosePicture) {
        AddBlinketAt(std::move(placed.blinket), placed.before);
    } else {
        RunOptions(std::move(placed.blinket), placed.before);
    }
}

void CALLBACK LookAtArrival(HWND window, UINT, UINT_PTR id, DWORD) {
    if (!arrival) {
        KillTimer(window, id);
        return;
    }
    if (!arrival->settled) {
        Settle(*arrival);
    }
    // A dialog or the menu opened meanwhile: the blinket waits for it to close.
    if (!arrival->settled || ShellBusy()) {
        return;
    }
    KillTimer(window, id);
    const std::unique_ptr<Arrival> placed = std::move(arrival);
    Place(*placed);
}

}  // namespace

bool ArrivalPending() {
    return arrival != nullptr;
}

bool AddTarget(const wchar_t* target, int before, bool choosePicture) {
    if (arrival || !IsUsableTarget(target)) {
        return false;
    }
    auto pending = std::make_unique<Arrival>();
    pending->target = target;
    pending->before = before;
    pending->choosePicture = choosePicture;
    pending->started = GetTickCount();
    pending->job = TargetJob::Start(target, !choosePicture);
    // With every worker held up, the target is taken as it stands.
    if (!pending->job) {
        pending->blinket = BlinketForTarget(target, false);
        pending->choosePicture = true;
        pending->settled = true;
    }
    if (!SetTimer(mainWindow, kArrivalTimerId, kLookInterval, LookAtArrival)) {
        return false;
    }
    arrival = std::move(pending);
    return true;
}
