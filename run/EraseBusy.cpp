#include "run/EraseBusy.h"

#include <atomic>

namespace {

std::atomic<bool> busy = false;

} // namespace

bool IsEraseBusy()
{
    return busy;
}

EraseBusyScope::EraseBusyScope() : wasBusy_(busy)
{
    busy = true;
}

EraseBusyScope::~EraseBusyScope()
{
    busy = wasBusy_;
}
