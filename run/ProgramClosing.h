#pragma once
#include "engine/items/EraseItem.h"

#include <atomic>
#include <chrono>
#include <map>
#include <string>
#include <vector>

// Why each program that still runs did not close when asked, by the name the user knows it by.
using StillRunning = std::map<std::string, std::string>;

// The longest a run waits for the programs it asked to close.
constexpr std::chrono::milliseconds kCloseWait{15000};

// Asks the programs that keep the items from running to close, as their user would: each visible,
// unowned top-level window of their processes gets WM_CLOSE; no process is ever ended. Waits until they
// have ended or the time is up, then tells why each that still runs did not close ("Edge runs without a
// window ...", "Edge did not close ..."). A set stop flag ends the wait early.
StillRunning CloseRunningPrograms(const std::vector<EraseItem*>& items,
                                  std::chrono::milliseconds wait = kCloseWait,
                                  const std::atomic<bool>* stop = nullptr);

// The programs of the items that run now, by name, each once and in the items' order.
std::vector<std::string> RunningProgramNames(const std::vector<EraseItem*>& items);
