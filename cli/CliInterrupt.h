// Ctrl+C for the converter's commands over several files: while a scope lives, SIGINT raises one
// flag that every operation's abort object reports (SAbort(&CliInterrupted())), so each running
// operation stops and drops its file, and no further file starts.
#pragma once

#include <atomic>

// Raised by SIGINT inside a scope; never lowered again.
const std::atomic<bool>& CliInterrupted();

class SCliInterruptScope
{
public:
    SCliInterruptScope();   // SIGINT raises the flag
    ~SCliInterruptScope();  // the previous handler is back
    SCliInterruptScope(const SCliInterruptScope&) = delete;
    SCliInterruptScope& operator=(const SCliInterruptScope&) = delete;

private:
    void (*previous_)(int);
};
