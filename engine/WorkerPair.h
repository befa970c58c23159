#pragma once
#include <windows.h>

#include <functional>
#include <thread>

// Runs a task on the calling thread and on one helper thread at once, for work that mostly waits on the
// system: while one thread waits for an answer, the other's request is under way. The task shares the
// work out itself. The helper starts with the first task and ends with the pair; where it cannot start,
// the calling thread does everything. The handover uses the system's slim locks, which wait without
// asking the kernel's object manager.
class WorkerPair {
public:
    WorkerPair() = default;
    WorkerPair(const WorkerPair&) = delete;
    WorkerPair& operator=(const WorkerPair&) = delete;
    ~WorkerPair();

    // Returns once both threads are done with task, which must not throw.
    void Run(const std::function<void()>& task);

private:
    void Serve();

    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE changed_ = CONDITION_VARIABLE_INIT;
    const std::function<void()>* task_ = nullptr; // handed to the helper, cleared once it is done
    bool ending_ = false;
    std::thread helper_;
};
