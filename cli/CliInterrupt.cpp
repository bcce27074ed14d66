// The flag Ctrl+C raises, set from the signal handler.
#include "CliInterrupt.h"

#include <csignal>

namespace {

// Set by the signal handler, so it must be lock-free.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnInterrupt(int) { interrupted.store(true); }

}  // namespace

const std::atomic<bool>& CliInterrupted() { return interrupted; }

SCliInterruptScope::SCliInterruptScope() : previous_(std::signal(SIGINT, OnInterrupt)) {}

SCliInterruptScope::~SCliInterruptScope() { std::signal(SIGINT, previous_); }
