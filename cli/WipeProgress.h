#pragma once
#include "engine/EraseMode.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Hears a free-space wipe for vestrel-cli: a progress line now and then, once the wipe has taken longer
// than a moment ("D:\ 45 %: 460 MB of 1.0 GB written"), and every failure, for the report.
class WipeProgress final : public SilentListener {
public:
    static constexpr uint64_t kQuietMs = 1000;
    static constexpr uint64_t kLineMs = 2000;

    struct Failure {
        std::string path;
        std::string reason;
    };

    WipeProgress(std::function<void(const std::string&)> write, std::function<uint64_t()> clockMs);

    void OnFreeSpace(const std::string& root, uint64_t bytes) override;
    void OnFilesHandled(uint64_t files, uint64_t bytes) override;
    void OnFailure(const std::string& path, const std::string& reason) override;

    const std::vector<Failure>& Failures() const { return failures_; }

private:
    std::function<void(const std::string&)> write_;
    std::function<uint64_t()> clockMs_;
    uint64_t startMs_;
    uint64_t lastLineMs_ = 0;
    std::string root_;
    uint64_t free_ = 0;
    uint64_t written_ = 0;
    std::vector<Failure> failures_;
};
