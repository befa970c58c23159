#pragma once
#include "engine/EraseMode.h"
#include "engine/EraseTally.h"

// Empties the DNS client's resolver cache as "ipconfig /flushdns" does, by starting the ipconfig of the
// system folder under its full path (never one found by its bare name). Counts nothing; a program that
// cannot be started, does not end in time or ends with an error is reported as a failure.
void FlushDnsCache(EraseTally& tally, const EraseOptions& options);
