// Wipes the free space of the drive given and asks the wipe to stop once it has written the bytes given,
// as the erase dialog's Stop does between blocks; prints what the wipe reported. For the wipe's
// end-to-end test, which hands it only drives that are loop-mounted images.
//   stopped_wipe DRIVE BYTES
#include "engine/cleaners/FreeSpaceWipe.h"
#include "framework/Utf8.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace {

class StopAfter final : public SilentListener {
public:
    StopAfter(uint64_t limit, std::atomic<bool>& stop) : limit_(limit), stop_(stop) {}

    void OnFilesHandled(uint64_t, uint64_t bytes) override
    {
        written_ += bytes;
        if (written_ >= limit_)
            stop_ = true;
    }
    void OnFailure(const std::string& path, const std::string& reason) override
    {
        std::printf("failure: %s: %s\n", path.c_str(), reason.c_str());
        ++failures_;
    }

    unsigned Failures() const { return failures_; }

private:
    uint64_t limit_;
    std::atomic<bool>& stop_;
    uint64_t written_ = 0;
    unsigned failures_ = 0;
};

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;
    std::atomic<bool> stop{false};
    StopAfter listener(std::stoull(ToUtf8(argv[2])), stop);
    EraseOptions options;
    options.listener = &listener;
    options.stop = &stop;
    FreeSpaceWipeResult result = WipeFreeSpace(ToUtf8(argv[1]), options);
    std::printf("written=%llu stopped=%d complete=%d failures=%u\n",
                static_cast<unsigned long long>(result.written), result.stopped, result.complete,
                listener.Failures());
    return result.stopped && !listener.Failures() ? 0 : 1;
}
