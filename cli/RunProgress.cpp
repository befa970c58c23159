#include "cli/RunProgress.h"

RunProgress::RunProgress(int itemCount, std::function<void(const std::string&)> write,
                         std::function<uint64_t()> clockMs)
    : itemCount_(itemCount), write_(std::move(write)), clockMs_(std::move(clockMs)), startMs_(clockMs_())
{
}

void RunProgress::ItemStarted(const std::string& descript)
{
    ++started_;
    if (clockMs_() - startMs_ < kQuietMs)
        return;
    std::string line = std::to_string(started_);
    line += '/';
    line += std::to_string(itemCount_);
    write_("[" + line + "] " + descript + "\n");
}
