// The colour carry on the evaluation set (CutSequence.h): its figures, printed once, and its time.
//   CarryFigures: regions right / wrong / left and painted area right over neighbouring 4000 x 3000 cels
//   of several cuts, the same for the last cel of a chain of 12 carried one from the other, and the
//   colour-line pixels converted right.
//   CarryCel: planning and applying the carry onto one 4000 x 3000 cel of about 2500 regions,
//   beside the fills alone of the same regions at the same points (_ref_fills), in the same run.
//   CarryProcess: the converter carrying a cut of three such cels in place, documents read and
//   written included; its peak memory in bytes per cel pixel.
#include "CarryEvaluation.h"
#include "SRegionFill.h"

#include "SDocumentFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace cut_sequence;

namespace {

constexpr int Cuts = 3;
constexpr int ChainLength = 12;

struct Pair
{
    Scene scene;
    std::vector<Motion> motions;
    SCel source;
    Cel target;
};

// The first two cels of cut `seed`, the first painted as its painter would.
std::unique_ptr<Pair> MakePair(std::uint32_t seed)
{
    auto p = std::make_unique<Pair>();
    p->scene = MakeScene(seed);
    p->motions = WalkMotions(seed * 7, 2, p->scene.width);
    Cel first = Renderer(p->scene, p->motions[0]).Draw(ChooseChanges(p->scene, seed * 11));
    PaintAsPainter(p->scene, first);
    p->source = WorkingCel(first);
    p->target = Renderer(p->scene, p->motions[1]).Draw(ChooseChanges(p->scene, seed * 13));
    return p;
}

void PrintFigures()
{
    std::printf("\ncolour carry, evaluation set (4000 x 3000, %d cuts):\n", Cuts);
    Figures pairs;
    for (std::uint32_t seed = 1; seed <= Cuts; ++seed) {
        const auto p = MakePair(seed);
        const Renderer before(p->scene, p->motions[0]), after(p->scene, p->motions[1]);
        SCarryReport report;
        const Figures f = Score(p->scene, p->target, Carry({&p->source}, p->target, &report), after, before);
        char title[64];
        std::snprintf(title, sizeof title, "  cut %u (%d regions)", seed, report.regions);
        f.Print(title);
        pairs.Add(f);
    }
    pairs.Print("  neighbouring cels");

    const Scene scene = MakeScene(Cuts + 1);
    const std::vector<Motion> motions = WalkMotions(99, ChainLength, scene.width);
    Cel first = Renderer(scene, motions[0]).Draw(ChooseChanges(scene, 1000));
    PaintAsPainter(scene, first);
    const SCel painted = WorkingCel(first);
    SCel carried = WorkingCel(first);
    for (int i = 1; i < ChainLength; ++i) {
        const Cel next = Renderer(scene, motions[std::size_t(i)]).Draw(ChooseChanges(scene, 1000 + std::uint32_t(i)));
        // As the converter carries a cut: from the cel before, and the painted one where it had none.
        carried = Carry({&carried, &painted}, next);
        if (i == ChainLength - 1)
            Score(scene, next, carried, Renderer(scene, motions[std::size_t(i)]), Renderer(scene, motions[0]))
                .Print(("  cel " + std::to_string(ChainLength) + " of a chain").c_str());
    }
    std::fflush(stdout);
}

// The figures, printed once; the time of drawing and scoring the set is no carry's.
void CarryFigures(benchmark::State& state)
{
    for (auto _ : state)
        PrintFigures();
}
BENCHMARK(CarryFigures)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(1);

const Pair& TimedPair()
{
    static const std::unique_ptr<Pair> pair = MakePair(1);
    return *pair;
}

void CarryCel(benchmark::State& state)
{
    const Pair& p = TimedPair();
    for (auto _ : state) {
        state.PauseTiming();
        auto desk = std::make_unique<Desk>(p.target);
        state.ResumeTiming();
        SPaintContext context = desk->Context();
        SCarryPlan plan;
        if (PlanCarry(p.source, desk->cel, plan) != 0) {
            state.SkipWithError("carry failed");
            return;
        }
        ulib::SError err = 0;
        benchmark::DoNotOptimize(ApplyCarry(context, plan, err));
        state.PauseTiming();
        desk.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(CarryCel)->Unit(benchmark::kMillisecond)->UseRealTime();

void CarryCel_ref_fills(benchmark::State& state)
{
    const Pair& p = TimedPair();
    SCarryPlan plan;
    PlanCarry(p.source, WorkingCel(p.target), plan);
    for (auto _ : state) {
        state.PauseTiming();
        auto desk = std::make_unique<Desk>(p.target);
        state.ResumeTiming();
        SPaintContext context = desk->Context();
        for (const SCarryFill& fill : plan.fills) {
            desk->tools.currentColour = ulib::SColor::FromPixel(fill.colour);
            ulib::SError err = 0;
            benchmark::DoNotOptimize(FillRegion(context, fill.seed, true, err));
        }
        state.PauseTiming();
        desk.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(CarryCel_ref_fills)->Unit(benchmark::kMillisecond)->UseRealTime();

// The cut as documents: the painted first cel and three more drawn, in a folder of their own.
std::vector<std::string> CutDocuments()
{
    static const std::vector<std::string> paths = [] {
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / ("huedrane-carry-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        const Scene scene = MakeScene(1);
        const std::vector<Motion> motions = WalkMotions(7, 4, scene.width);
        std::vector<std::string> written;
        for (std::size_t i = 0; i < motions.size(); ++i) {
            Cel drawn = Renderer(scene, motions[i]).Draw(ChooseChanges(scene, 11 + std::uint32_t(i)));
            if (i == 0)
                PaintAsPainter(scene, drawn);
            SCel cel = WorkingCel(drawn);
            cel.genga.Create(scene.width, scene.height, 24);
            cel.held.Append(cel.genga);
            std::string name = "c";
            name += std::to_string(i);
            name += ".hdq";
            written.push_back((folder / name).string());
            SaveDocument(cel, ulib::SString(written.back()));
            std::filesystem::copy_file(written.back(), written.back() + ".drawn");
        }
        return written;
    }();
    return paths;
}

// Runs the converter once over the cut; returns its peak resident memory in bytes, or -1. The
// converter runs under time(1): a child spawned from this process shares its memory until the exec,
// and the kernel counts that in the child's peak.
long RunCarry(const std::vector<std::string>& cut)
{
    const std::string report = cut[0] + ".peak";
    std::vector<const char*> argv = {"/usr/bin/time", "-f", "%M", "-o", report.c_str(), HUEDRANE_CLI, "carry", "--from",
                                     cut[0].c_str()};
    for (std::size_t i = 1; i < cut.size(); ++i)
        argv.push_back(cut[i].c_str());
    argv.push_back("--in-place");
    argv.push_back(nullptr);
    pid_t child = -1;
    if (::posix_spawn(&child, argv[0], nullptr, nullptr, const_cast<char* const*>(argv.data()), environ) != 0)
        return -1;
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    std::ifstream in(report);
    long kilobytes = -1;
    in >> kilobytes;
    return kilobytes < 0 ? -1 : kilobytes * 1024L;
}

void CarryProcess(benchmark::State& state)
{
    const std::vector<std::string> cut = CutDocuments();
    long peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (std::size_t i = 1; i < cut.size(); ++i)
            std::filesystem::copy_file(cut[i] + ".drawn", cut[i], std::filesystem::copy_options::overwrite_existing);
        state.ResumeTiming();
        const long used = RunCarry(cut);
        if (used < 0) {
            state.SkipWithError("huedrane-cli carry failed");
            return;
        }
        peak = std::max(peak, used);
    }
    state.counters["peakBytesPerPixel"] = double(peak) / (4000.0 * 3000.0);
}
BENCHMARK(CarryProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
