#include "run/EraseBusy.h"

namespace {

bool busy = false;

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
