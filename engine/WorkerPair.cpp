#include "engine/WorkerPair.h"

#include <system_error>

WorkerPair::~WorkerPair()
{
    if (!helper_.joinable())
        return;
    AcquireSRWLockExclusive(&lock_);
    ending_ = true;
    ReleaseSRWLockExclusive(&lock_);
    WakeAllConditionVariable(&changed_);
    helper_.join();
}

void WorkerPair::Run(const std::function<void()>& task)
{
    if (!helper_.joinable()) {
        try {
            helper_ = std::thread([this] { Serve(); });
        } catch (const std::system_error&) {
            task();
            return;
        }
    }
    AcquireSRWLockExclusive(&lock_);
    task_ = &task;
    ReleaseSRWLockExclusive(&lock_);
    WakeAllConditionVariable(&changed_);
    task();
    AcquireSRWLockExclusive(&lock_);
    while (task_)
        SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0);
    ReleaseSRWLockExclusive(&lock_);
}

void WorkerPair::Serve()
{
    AcquireSRWLockExclusive(&lock_);
    for (;;) {
        while (!task_ && !ending_)
            SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0);
        if (ending_)
            break;
        const std::function<void()>& task = *task_;
        ReleaseSRWLockExclusive(&lock_);
        task();
        AcquireSRWLockExclusive(&lock_);
        task_ = nullptr;
        WakeAllConditionVariable(&changed_);
    }
    ReleaseSRWLockExclusive(&lock_);
}
