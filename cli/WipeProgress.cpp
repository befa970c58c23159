#include "cli/WipeProgress.h"

#include "framework/NumberText.h"

#include <algorithm>

WipeProgress::WipeProgress(std::function<void(const std::string&)> write, std::function<uint64_t()> clockMs)
    : write_(std::move(write)), clockMs_(std::move(clockMs)), startMs_(clockMs_())
{
}

void WipeProgress::OnFreeSpace(const std::string& root, uint64_t bytes)
{
    root_ = root;
    free_ = bytes;
}

void WipeProgress::OnFilesHandled(uint64_t, uint64_t bytes)
{
    written_ += bytes;
    uint64_t now = clockMs_();
    if (now - startMs_ < kQuietMs || now - lastLineMs_ < kLineMs)
        return;
    lastLineMs_ = now;
    // The drive may have had more room than it said (space freed meanwhile): the line never passes 100 %.
    uint64_t percent = free_ ? std::min<uint64_t>(100, written_ * 100 / free_) : 100;
    write_(root_ + " " + GroupedNumber(percent) + " %: " + SizeText(written_) + " of " + SizeText(free_) +
           " written\n");
}

void WipeProgress::OnFailure(const std::string& path, const std::string& reason)
{
    failures_.push_back({path, reason});
}
