// A target handed to the program (dropped on the window, named by /add, or given to Edit Item's
// button) made into a blinket, with a picture of its icon when asked for, on a worker thread:
// reading a shortcut, an Internet shortcut or an icon may wait on a slow or absent drive or
// share, and the window's thread must never wait long.
#pragma once

#include "model/Blinket.h"

#include <windows.h>

#include <memory>

class TargetJob {
public:
    // Starts the work; null when it cannot start, or when too many earlier jobs are still held
    // up, each by a thread of its own.
    static std::unique_ptr<TargetJob> Start(const wchar_t* target, bool withPicture);
    // A worker still running finishes alone, and what it makes is then thrown away.
    ~TargetJob();
    TargetJob(const TargetJob&) = delete;
    TargetJob& operator=(const TargetJob&) = delete;

    // Waits at most that long; whether the work is done.
    bool Wait(DWORD milliseconds) const;
    // Once done, the blinket (null when the target is not one), its picture set when one was
    // asked for and could be made; null before, and after the first call.
    std::unique_ptr<Blinket> Take();

    struct Shared;

private:
    explicit TargetJob(std::shared_ptr<Shared> shared);
    std::shared_ptr<Shared> shared_;
};
