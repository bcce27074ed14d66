// Running independent pieces of work at once: whole-cel decoding and composition split their
// layers or rows across the machine's cores. Work that cannot get a thread runs on the caller's.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace ulib {

// Runs every task and returns when all have finished; tasks must not throw. Threads are started
// only when the work (in pixels) is large enough to pay for them; smaller work runs in order here.
void RunInParallel(const std::vector<std::function<void()>>& tasks, std::int64_t pixels);

// Calls body(from, to) over consecutive bands of 0..count, one band per core (a single band when
// count is below minimumPerBand per core). The first band runs on the caller's thread.
void ForEachBand(std::int32_t count, std::int32_t minimumPerBand, const std::function<void(std::int32_t, std::int32_t)>& body);

// While alive, RunInParallel and ForEachBand called on this thread start no threads: a batch that
// keeps every core busy with one file per thread does not divide each file's work further. Scopes
// nest.
class SSerialScope
{
public:
    SSerialScope();
    ~SSerialScope();
    SSerialScope(const SSerialScope&) = delete;
    SSerialScope& operator=(const SSerialScope&) = delete;

private:
    bool outer_;
};

}  // namespace ulib
