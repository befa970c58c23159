#include "engine/files/WorkerTeam.h"

#include <system_error>

WorkerTeam::~WorkerTeam()
{
    Wait();
    AcquireSRWLockExclusive(&lock_);
    ending_ = true;
    ReleaseSRWLockExclusive(&lock_);
    WakeAllConditionVariable(&changed_);
    for (std::thread& helper : helpers_)
        helper.join();
}

void WorkerTeam::StartHelpers()
{
    try {
        while (helpers_.size() < wanted_)
            helpers_.emplace_back([this, done = round_] { Serve(done); });
    } catch (const std::system_error&) {
        wanted_ = helpers_.size(); // the ones running do the work
    }
}

void WorkerTeam::Start(std::function<void()> task)
{
    StartHelpers();
    if (helpers_.empty()) {
        task();
        return;
    }
    AcquireSRWLockExclusive(&lock_);
    task_ = std::move(task);
    ++round_;
    busy_ = helpers_.size();
    ReleaseSRWLockExclusive(&lock_);
    WakeAllConditionVariable(&changed_);
}

void WorkerTeam::Wait()
{
    AcquireSRWLockExclusive(&lock_);
    while (busy_ > 0)
        SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0);
    ReleaseSRWLockExclusive(&lock_);
}

// done: the last round handed over before this helper started, which it takes no part in.
void WorkerTeam::Serve(unsigned long done)
{
    AcquireSRWLockExclusive(&lock_);
    for (;;) {
        while (round_ == done && !ending_)
            SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0);
        if (ending_)
            break;
        done = round_;
        ReleaseSRWLockExclusive(&lock_);
        task_();
        AcquireSRWLockExclusive(&lock_);
        if (--busy_ == 0)
            WakeAllConditionVariable(&changed_);
    }
    ReleaseSRWLockExclusive(&lock_);
}
