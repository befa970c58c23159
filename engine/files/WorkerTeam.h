#pragma once
#include <windows.h>

#include <functional>
#include <thread>
#include <vector>

// Runs a task on a few helper threads at once while the calling thread goes on with other work, for work
// that mostly waits on the system: while one thread waits for an answer, the others' requests are under
// way. The task shares the work out itself. The helpers start with the first task and end with the team;
// where none can start, the calling thread does the task itself. The handover uses the system's slim
// locks, which wait without asking the kernel's object manager.
class WorkerTeam {
public:
    explicit WorkerTeam(size_t helpers) : wanted_(helpers) {}
    WorkerTeam(const WorkerTeam&) = delete;
    WorkerTeam& operator=(const WorkerTeam&) = delete;
    ~WorkerTeam();

    // Hands task, which must not throw, to every helper; the one before must be waited for.
    void Start(std::function<void()> task);
    // Returns once every helper is done with the task last started.
    void Wait();

private:
    void StartHelpers();
    void Serve(unsigned long done);

    size_t wanted_;
    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE changed_ = CONDITION_VARIABLE_INIT;
    std::function<void()> task_;
    unsigned long round_ = 0; // counts the tasks handed over, so that each helper takes each once
    size_t busy_ = 0;         // helpers still at the current task
    bool ending_ = false;
    std::vector<std::thread> helpers_;
};
