#pragma once
#include <cstdint>
#include <string>

// The program's own append-only record of activity: one time-stamped line per message, its line breaks and
// other control characters written as escapes ("\r", "\n", "\t", "\x1b"). The file is
// opened for each line only, and set aside under a time-stamped name once it reaches its size limit.
class RecordLog {
public:
    explicit RecordLog(std::string path);
    RecordLog(); // the program's record file beside the executable

    void Write(const std::string& message) { Write(message, defaultLevel_); }
    // Messages above the maximum level are dropped.
    void Write(const std::string& message, int level);

private:
    void SetAside() const;

    int defaultLevel_ = 3;
    uint32_t sizeLimit_ = 640000;
    int maxLevel_ = 5;
    bool enabled_ = true;
    std::string path_;
};
