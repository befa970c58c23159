#include "engine/EraseMode.h"

namespace {

class SilentListener final : public EraseListener {
public:
    void OnFile(const std::string&, uint64_t) override {}
    void OnFolderLink(const std::string&) override {}
    void OnRegistryEntry(const std::string&, bool) override {}
    void OnRecycleBin(const std::string&, uint64_t, uint64_t) override {}
    void OnFailure(const std::string&, const std::string&) override {}
    void OnRefused(const std::string&) override {}
    void OnUncounted(const std::string&) override {}
};

} // namespace

EraseListener& EraseOptions::Listener() const
{
    static SilentListener silent;
    return listener ? *listener : silent;
}
