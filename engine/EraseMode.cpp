#include "engine/EraseMode.h"

namespace {

class SilentListener final : public IgnoringListener {};

} // namespace

EraseListener& EraseOptions::Listener() const
{
    static SilentListener silent;
    return listener ? *listener : silent;
}
