// The colour carry as a command of the painting window: the source document read and the carry
// planned on a worker while the progress box shows, the plan painted as one undo step, and the
// regions it left kept for the window to point out.
#include "SHuedraneController.h"

#include "SAbort.h"
#include "SDocumentFile.h"
#include "SDocumentNeighbours.h"
#include "SLanguage.h"
#include "SNonBorderPixels.h"
#include "SPlatform.h"
#include "SRegionWalk.h"

#include <atomic>
#include <new>
#include <string>
#include <thread>
#include <utility>

using namespace ulib;

namespace {

const char* const CarryCaption = "色を写す";

SError PlanFromDocument(const SString& file, const SCel& target, std::int32_t gap, SCarryPlan& plan,
                        const SAbort& progress)
{
    try {
        SCel source;
        if (SError err = LoadDocument(source, file))
            return err;
        if (progress.IsAborted())
            return ErrorFromIdentifier("abort");
        return PlanCarry(source, target, plan, &progress, gap);
    } catch (const std::bad_alloc&) {
        return ErrorFromIdentifier("memory_alloc");
    } catch (...) {
        return ErrorFromIdentifier("internal");
    }
}

// Reading a large cel and planning take a second or more: they run on a worker while the platform
// shows the progress box, whose abort button stops the plan. The worker only reads the working cel,
// and nothing changes it before the wait is over (the box is modal to the whole program).
SError PlanWhileWaiting(const SString& file, const SCel& target, std::int32_t gap, SCarryPlan& plan)
{
    SAbort progress;
    std::atomic<bool> finished{false};
    SError result = 0;
    const auto work = [&] {
        result = PlanFromDocument(file, target, gap, plan, progress);
        finished.store(true, std::memory_order_release);
    };
    std::thread worker;
    try {
        worker = std::thread(work);
    } catch (...) {
        // No thread to be had: the plan is made here, without the box.
        work();
        return result;
    }
    SConversionWait request;
    request.progress = &progress;
    request.finished = [&finished] { return finished.load(std::memory_order_acquire); };
    request.message = "色を写しています";
    request.fileLine = Platform().DisplayName(file.Str());
    Platform().WaitForConversion(request);
    worker.join();
    // An abort pressed as the plan was being finished still counts: nothing is painted.
    if (result == 0 && progress.IsAborted())
        return ErrorFromIdentifier("abort");
    return result;
}

// Each left region as the region fill would find it from its seed. A region too large for the
// walk's tables keeps the rows found so far; its bounds still show where it is.
std::vector<SLeftRegion> FindLeftRegions(SBitmap& paint, const std::vector<SRect>& bounds,
                                         const std::vector<SPoint>& seeds)
{
    std::vector<SLeftRegion> regions;
    SNonBorderPixels inside;
    const bool walkable = inside.Attach(paint, paint.Width(), paint.Height());
    for (std::size_t i = 0; i < bounds.size() && i < seeds.size(); ++i) {
        SLeftRegion region{bounds[i], seeds[i], {}};
        if (walkable) {
            auto keep = [&region](std::int32_t y, std::int32_t x0, std::int32_t x1) {
                region.rows.push_back({x0, y, x1, y + 1});
            };
            WalkRegion(inside, keep, seeds[i]);
        }
        regions.push_back(std::move(region));
    }
    return regions;
}

}  // namespace

SString CarrySummary(const SCarryReport& report)
{
    return SString(FormatText("色を写しました: %1 領域を塗り、%2 領域を残しました",
                              {std::to_string(report.painted), std::to_string(report.left)}));
}

SString LeftRegionText(std::int32_t index, std::int32_t count)
{
    return SString(FormatText("塗り残し %1 / %2", {std::to_string(index + 1), std::to_string(count)}));
}

SError SHuedraneController::CarryFromPrevious()
{
    if (state_ == SDocumentState::None)
        return 0;
    const SString previous = NeighbourDocument(path_, -1);
    if (previous.IsEmpty())
        return ErrorFromIdentifier("carry_no_previous");
    return CarryFromFile(previous);
}

SError SHuedraneController::CarryFrom(const SString& file)
{
    if (state_ == SDocumentState::None)
        return 0;
    SString chosen = file;
    if (chosen.IsEmpty()) {
        const SString previous = NeighbourDocument(path_, -1);
        carryDialog_.SetFileName(previous.IsEmpty() ? path_ : previous);
        if (!carryDialog_.Open())
            return ErrorFromIdentifier("cancel");
        chosen = carryDialog_.FileName();
    }
    return CarryFromFile(chosen);
}

SError SHuedraneController::CarryFromFile(const SString& file)
{
    // One source, carried in two parts: the plan on the worker, the painting here, where the window
    // draws the cel.
    SCarryPlan plan;
    // The carry's fills close the gaps the paint tool's fill closes.
    if (SError err = PlanWhileWaiting(file, cel_, tools_.fillGap, plan))
        return err;

    // A plan that paints nothing leaves no undo step that would undo nothing.
    if (!plan.fills.empty() || !plan.lines.empty()) {
        undo_.BeginStep(SString(CarryCaption));
        MarkModified();
    }
    SPaintContext context = PaintContext();
    std::vector<SCarryPlan> plans;
    plans.push_back(std::move(plan));
    SCarryReport report;
    const SError fillError = CarryPlans(std::move(plans), context, report);
    LayersChanged();
    leftRegions_ = FindLeftRegions(cel_.paint, report.leftBounds, report.leftSeeds);
    leftIndex_ = -1;
    lastCarry_ = std::move(report);
    return fillError;
}

std::int32_t SHuedraneController::StepLeftRegion()
{
    if (leftRegions_.empty())
        return -1;
    leftIndex_ = leftIndex_ + 1 < std::int32_t(leftRegions_.size()) ? leftIndex_ + 1 : 0;
    return leftIndex_;
}
