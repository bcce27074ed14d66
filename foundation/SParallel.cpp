// Threads for RunInParallel and ForEachBand: one std::thread per task beyond the first.
#include "SParallel.h"

#include <algorithm>
#include <system_error>
#include <thread>

namespace ulib {

namespace {
// Below about a quarter megapixel a thread costs more than it saves.
constexpr std::int64_t ThreadWorthPixels = 1 << 18;
thread_local bool serial = false;
}  // namespace

SSerialScope::SSerialScope() : outer_(serial)
{
    serial = true;
}

SSerialScope::~SSerialScope()
{
    serial = outer_;
}

void RunInParallel(const std::vector<std::function<void()>>& tasks, std::int64_t pixels)
{
    std::vector<std::thread> threads;
    std::size_t inline_from = pixels < ThreadWorthPixels || serial ? 1 : tasks.size();
    for (std::size_t i = 1; i < inline_from; ++i) {
        try {
            threads.emplace_back(tasks[i]);
        } catch (const std::system_error&) {
            inline_from = i;  // no more threads to be had: the rest run here
            break;
        }
    }
    if (!tasks.empty())
        tasks[0]();
    for (std::size_t i = inline_from; i < tasks.size(); ++i)
        tasks[i]();
    for (std::thread& t : threads)
        t.join();
}

void ForEachBand(std::int32_t count, std::int32_t minimumPerBand, const std::function<void(std::int32_t, std::int32_t)>& body)
{
    const std::int32_t cores = serial ? 1 : std::int32_t(std::max(1u, std::thread::hardware_concurrency()));
    const std::int32_t bands = std::clamp(count / std::max(1, minimumPerBand), 1, cores);
    std::vector<std::function<void()>> tasks;
    for (std::int32_t b = 0; b < bands; ++b) {
        const std::int32_t from = std::int32_t(std::int64_t(count) * b / bands);
        const std::int32_t to = std::int32_t(std::int64_t(count) * (b + 1) / bands);
        tasks.emplace_back([&body, from, to] { body(from, to); });
    }
    RunInParallel(tasks, ThreadWorthPixels);
}

}  // namespace ulib
