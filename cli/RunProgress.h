#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Tells how far a run has got, one line per item started, once the run has taken longer than a moment:
// a quick run stays quiet.
class RunProgress {
public:
    static constexpr uint64_t kQuietMs = 1000;

    // write gets each line; clockMs gives a steadily rising time in milliseconds.
    RunProgress(int itemCount, std::function<void(const std::string&)> write,
                std::function<uint64_t()> clockMs);

    void ItemStarted(const std::string& descript);

private:
    int itemCount_;
    int started_ = 0;
    std::function<void(const std::string&)> write_;
    std::function<uint64_t()> clockMs_;
    uint64_t startMs_;
};
