#include "model/TargetJob.h"

#include "base/Handles.h"
#include "base/ShellHelpers.h"
#include "model/LaunchTarget.h"
#include "model/TargetPicture.h"
#include "platform/ComObjects.h"

#include <atomic>
#include <string>
#include <utility>

// What the window's thread and the worker share; it lives as long as either holds it.
struct TargetJob::Shared {
    std::wstring target;
    bool withPicture = false;
    KernelHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    // Written by the worker before it signals done, read by the window's thread only after.
    std::unique_ptr<Blinket> blinket;
};

namespace {

// Workers held up (by an unreachable share, say) each keep a thread; past this many, no more
// are started until one ends.
constexpr int kMaxWorkers = 4;
std::atomic<int> workers{0};

void MakeBlinket(TargetJob::Shared& shared) {
    ComScope com;
    std::unique_ptr<Blinket> blinket = BlinketForTarget(shared.target.c_str());
    wchar_t folder[MAX_PATH];
    wchar_t picture[MAX_PATH];
    if (blinket && shared.withPicture && com.ok() && UserPictureFolder(true, folder) &&
        MakeTargetPicture(shared.target.c_str(), folder, picture)) {
        blinket->SetImageFile(picture);
    }
    shared.blinket = std::move(blinket);
}

DWORD WINAPI Work(void* parameter) {
    {
        std::unique_ptr<std::shared_ptr<TargetJob::Shared>> shared(
            static_cast<std::shared_ptr<TargetJob::Shared>*>(parameter));
        MakeBlinket(**shared);
        SetEvent((*shared)->done.get());
    }
    --workers;
    return 0;
}

}  // namespace

std::unique_ptr<TargetJob> TargetJob::Start(const wchar_t* target, bool withPicture) {
    auto shared = std::make_shared<Shared>();
    if (!target || !shared->done) {
        return nullptr;
    }
    if (++workers > kMaxWorkers) {
        --workers;
        return nullptr;
    }
    shared->target = target;
    shared->withPicture = withPicture;
    auto* handed = new std::shared_ptr<Shared>(shared);
    // The thread runs on alone: nothing waits for it by its handle.
    KernelHandle thread(CreateThread(nullptr, 0, Work, handed, 0, nullptr));
    if (!thread) {
        delete handed;
        --workers;
        return nullptr;
    }
    return std::unique_ptr<TargetJob>(new TargetJob(std::move(shared)));
}

TargetJob::TargetJob(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

TargetJob::~TargetJob() = default;

bool TargetJob::Wait(DWORD milliseconds) const {
    return WaitForSingleObject(shared_->done.get(), milliseconds) == WAIT_OBJECT_0;
}

std::unique_ptr<Blinket> TargetJob::Take() {
    return Wait(0) ? std::move(shared_->blinket) : nullptr;
}
