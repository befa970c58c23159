#include "cli/RunProgress.h"

#include "framework/NumberText.h"

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
    write_("[" + GroupedNumber(static_cast<uint64_t>(started_)) + "/" +
           GroupedNumber(static_cast<uint64_t>(itemCount_)) + "] " + descript + "\n");
}
