// Autosave and recovery: the row-by-row copy always ends up as what a save stores, copies are
// written on the step and time triggers and only then, removed by a save or a close, left by a
// crash for the next start, never taken from a running program, and a full disk is reported once.
#include "ControllerFolder.h"
#include "RandomEdits.h"
#include "SDocumentFile.h"
#include "SQuickPress.h"
#include "SRecoveryFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ulib;
using namespace random_edits;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// The document bytes of the cel, with record 0 taken from held when given.
std::vector<std::uint8_t> Packed(const SCel& cel, SPoint size, const SQuickPress* held = nullptr)
{
    SQuickPress list;
    EXPECT_EQ(PackDocument(cel, size, list), 0);
    if (held && held->Count() > 0) {
        EXPECT_EQ(list[0].Assign((*held)[0]), 0);
    }
    std::vector<std::uint8_t> bytes(list.ByteSize());
    EXPECT_EQ(list.WriteTo(bytes.data(), bytes.data() + bytes.size()), 0);
    return bytes;
}

std::vector<std::uint8_t> FileBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(CelSnapshot, CopiedBetweenRandomEditsItPacksExactlyAsTheCel)
{
    const auto past = std::chrono::steady_clock::time_point{};
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        SHuedraneController c;
        MakeRandomCel(c, random);
        SCelSnapshot snapshot;
        c.PaintContext().undo.SetRowWatcher(&snapshot);
        // Each Update with a past deadline copies one look's worth of rows: the copy lags the edits.
        for (int step = 0; step < 12; ++step) {
            if (random() % 4 == 0 && c.UndoBuffer().CanUndo())
                c.Undo();
            else
                RandomStep(c, random);
            if (random() % 3 == 0)
                c.SetLayerSwitch(LayerExtra, random() % 2 == 0);
            for (std::uint32_t n = random() % 3; n > 0; --n)
                (void)snapshot.Update(c.Cel(), past);
        }
        int updates = 0;
        while (snapshot.Update(c.Cel(), past) == SCelSnapshot::SProgress::Copying)
            ASSERT_LT(++updates, 100) << "seed " << seed;
        ASSERT_EQ(Packed(snapshot.Copy(), snapshot.Size(), &c.Cel().held), Packed(c.Cel(), c.Cel().display.Dimensions()))
            << "seed " << seed;
        c.PaintContext().undo.SetRowWatcher(nullptr);
    }
}

class Autosave : public ControllerFolder
{
protected:
    std::mt19937 random{7};
    SAutosave::Clock::time_point t0 = SAutosave::Clock::now();

    void SetUp() override
    {
        ControllerFolder::SetUp();
        Begin(c);
    }
    // A saved cel with a file, autosaving into the folder's "recovery".
    void Begin(SHuedraneController& controller)
    {
        MakeRandomCel(controller, random);
        controller.SetColourMode(SColourMode::Colour);
        controller.SetBrush({4, 100, 255});
        controller.TakePath(SString(In("cel.hdq")));
        controller.MarkSaved();
        controller.StartAutosave(SString(In("recovery")));
    }
    // A dab of a new colour.
    static void Brush(SHuedraneController& controller, SPoint at)
    {
        controller.SetCurrentColour(SColor(std::uint8_t(at.x * 5), std::uint8_t(at.y * 3), 99));
        controller.MouseDown(ToolBrush, at);
        controller.MouseUp();
    }
    // One tick, then the write it may have started, then the tick that takes its result.
    static SAutosave::STick TickAndWrite(SHuedraneController& controller, SAutosave::Clock::time_point now)
    {
        SAutosave::STick tick = controller.AutosaveTick(now);
        EXPECT_FALSE(tick.again);  // a small cel is copied in one tick
        controller.WaitForAutosave();
        const SAutosave::STick after = controller.AutosaveTick(now);
        if (after.failure)
            tick.failure = after.failure;
        return tick;
    }
    static bool Exists(const SString& file) { return fs::exists(file.Str()); }
};

TEST_F(Autosave, WritesAfterTheStepsOrTheTimeWithTheDocumentsPathAndStoresWhatASaveStores)
{
    c.SetAutosaveLimits(3, 60);
    Brush(c, {10, 10});
    Brush(c, {20, 10});
    TickAndWrite(c, t0);
    EXPECT_FALSE(Exists(c.Autosave().Files().document));
    Brush(c, {30, 10});
    TickAndWrite(c, t0 + 1s);
    ASSERT_TRUE(Exists(c.Autosave().Files().document));
    ASSERT_EQ(SaveDocument(c.Cel(), SString(In("saved.hdq"))), 0);
    EXPECT_EQ(FileBytes(c.Autosave().Files().document.Str()), FileBytes(In("saved.hdq")));
    SRecoveryInfo info;
    const std::vector<std::uint8_t> text = FileBytes(c.Autosave().Files().info.Str());
    ASSERT_EQ(ParseRecoveryInfo(text.data(), text.data() + text.size(), info), 0);
    EXPECT_EQ(info.path, SString(In("cel.hdq")));
    EXPECT_NEAR(double(info.savedAt), double(std::time(nullptr)), 5.0);

    // One more step: not yet three, but a minute after the tick that first saw it.
    Brush(c, {40, 10});
    TickAndWrite(c, t0 + 2s);
    TickAndWrite(c, t0 + 61s);
    const std::vector<std::uint8_t> older = FileBytes(In("saved.hdq"));
    EXPECT_EQ(FileBytes(c.Autosave().Files().document.Str()), older);
    TickAndWrite(c, t0 + 62s);
    ASSERT_EQ(SaveDocument(c.Cel(), SString(In("saved.hdq"))), 0);
    EXPECT_NE(FileBytes(In("saved.hdq")), older);
    EXPECT_EQ(FileBytes(c.Autosave().Files().document.Str()), FileBytes(In("saved.hdq")));

    // Not during a drag: the copy waits for the button to come up.
    c.SetAutosaveLimits(1, 0);
    c.SetColourMode(SColourMode::Colour);
    c.SetCurrentColour(SColor(9, 8, 7));
    const std::vector<std::uint8_t> beforeDrag = FileBytes(In("saved.hdq"));
    c.MouseDown(ToolBrush, {5, 30});
    TickAndWrite(c, t0 + 200s);
    EXPECT_EQ(FileBytes(c.Autosave().Files().document.Str()), beforeDrag);
    c.MouseUp();
    TickAndWrite(c, t0 + 201s);
    ASSERT_EQ(SaveDocument(c.Cel(), SString(In("saved.hdq"))), 0);
    EXPECT_NE(FileBytes(In("saved.hdq")), beforeDrag);
    EXPECT_EQ(FileBytes(c.Autosave().Files().document.Str()), FileBytes(In("saved.hdq")));
}

TEST_F(Autosave, NothingIsWrittenWhenTurnedOffOrWithoutChanges)
{
    c.SetAutosaveLimits(0, 0);
    for (int i = 0; i < 5; ++i)
        Brush(c, {10 + i, 10});
    TickAndWrite(c, t0 + 3600s);
    EXPECT_FALSE(fs::exists(In("recovery")));
    c.SetAutosaveLimits(1, 1);
    c.MarkSaved();  // the steps are no unsaved changes once the cel counts as saved
    TickAndWrite(c, t0 + 7200s);
    EXPECT_FALSE(fs::exists(In("recovery")));
}

TEST_F(Autosave, ASaveAClosedCelAndACleanEndRemoveTheCopy)
{
    c.SetAutosaveLimits(1, 0);
    Brush(c, {10, 10});
    TickAndWrite(c, t0);
    ASSERT_TRUE(Exists(c.Autosave().Files().document));
    ASSERT_EQ(c.Save(), 0);
    EXPECT_FALSE(Exists(c.Autosave().Files().document));
    EXPECT_FALSE(Exists(c.Autosave().Files().info));
    EXPECT_FALSE(Exists(c.Autosave().Files().lock));

    c.MarkModified();
    TickAndWrite(c, t0 + 1s);
    ASSERT_TRUE(Exists(c.Autosave().Files().document));
    c.ClearCel();  // the File menu's new cel after the question was answered
    EXPECT_FALSE(Exists(c.Autosave().Files().document));

    auto other = std::make_unique<SHuedraneController>();
    Begin(*other);
    other->SetAutosaveLimits(1, 0);
    Brush(*other, {10, 10});
    TickAndWrite(*other, t0);
    const SRecoveryFileSet files = other->Autosave().Files();
    ASSERT_TRUE(Exists(files.document));
    other.reset();
    EXPECT_FALSE(Exists(files.document));
    EXPECT_TRUE(fs::is_empty(In("recovery")));
}

// A program that writes a copy of a painted cel and dies without cleaning up, as a kill would.
void CrashAfterAutosave(const std::string& folder, const std::string& document)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::mt19937 random(11);
        SHuedraneController c;
        MakeRandomCel(c, random);
        c.TakePath(SString(document));
        c.MarkSaved();
        c.StartAutosave(SString(folder));
        c.SetAutosaveLimits(1, 0);
        c.RunWholeCel(SWholeCelOperation::FillPaint);
        (void)c.AutosaveTick(SAutosave::Clock::now());
        c.WaitForAutosave();
        (void)SaveDocument(c.Cel(), SString(document + ".expected"));
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
}

TEST_F(Autosave, ACrashLeavesTheCopyForTheNextStartAndNoRunningProgramsCopyIsOffered)
{
    // This program's own copy is locked while it runs.
    c.SetAutosaveLimits(1, 0);
    Brush(c, {10, 10});
    TickAndWrite(c, t0);
    ASSERT_TRUE(Exists(c.Autosave().Files().document));
    CrashAfterAutosave(In("recovery"), In("crashed.hdq"));
    // Leftovers that are no copies, or damaged ones.
    std::ofstream(In("recovery/stale-1.lock")) << "";
    std::ofstream(In("recovery/broken-1.hdq")) << "not a document";
    std::ofstream(In("recovery/broken-1.info")) << RecoveryInfoText({SString("/a/b.hdq"), SString(), 5});
    fs::copy_file(In("crashed.hdq.expected"), In("recovery/noinfo-1.hdq"));
    std::ofstream(In("recovery/noinfo-1.info")) << "huedrane-recovery 1\npath=/x\n";

    SOrphanCopies found;
    ASSERT_EQ(found.Find(SString(In("recovery")), 64), 0);
    ASSERT_EQ(found.Copies().size(), 3u);
    EXPECT_FALSE(fs::exists(In("recovery/stale-1.lock")));
    const SRecoveryCopy& crashed = found.Copies()[0];  // the newest: the damaged ones have no time
    EXPECT_FALSE(crashed.damaged);
    EXPECT_EQ(crashed.info.path, SString(In("crashed.hdq")));
    EXPECT_FALSE(crashed.thumbnail.IsEmpty());
    EXPECT_TRUE(found.Copies()[1].damaged);
    EXPECT_TRUE(found.Copies()[2].damaged);

    // A second program starting meanwhile finds them taken.
    SOrphanCopies second;
    ASSERT_EQ(second.Find(SString(In("recovery")), 64), 0);
    EXPECT_TRUE(second.Copies().empty());

    // A damaged copy cannot be opened; the cel stays.
    const std::string pathBefore = c.Path().Str();
    EXPECT_NE(c.OpenRecoveryCopy(found, 1), 0);
    EXPECT_EQ(c.Path().Str(), pathBefore);
    found.Discard(2);
    found.Discard(1);
    EXPECT_FALSE(fs::exists(In("recovery/broken-1.hdq")));

    // Opening: modified, under the document's own name, holding what was written.
    ASSERT_EQ(c.OpenRecoveryCopy(found, 0), 0);
    EXPECT_TRUE(found.Copies().empty());
    EXPECT_EQ(c.State(), SDocumentState::Modified);
    EXPECT_EQ(c.Path(), SString(In("crashed.hdq")));
    EXPECT_EQ(c.Title(), SString("crashed.hdq - Huedrane"));
    ASSERT_EQ(SaveDocument(c.Cel(), SString(In("reopened.hdq"))), 0);
    EXPECT_EQ(FileBytes(In("reopened.hdq")), FileBytes(In("crashed.hdq.expected")));
    // The copy is this program's now: nobody else is offered it, and saving removes it.
    ASSERT_TRUE(Exists(c.Autosave().Files().document));
    ASSERT_EQ(second.Find(SString(In("recovery")), 64), 0);
    EXPECT_TRUE(second.Copies().empty());
    ASSERT_EQ(c.Save(), 0);
    EXPECT_TRUE(fs::is_empty(In("recovery")));
}

TEST_F(Autosave, AFullDiskIsReportedOnceAndTriedAgainLater)
{
    c.SetAutosaveLimits(1, 60);
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 1024;  // smaller than any copy: every write fails as on a full disk
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    Brush(c, {10, 10});
    const SAutosave::STick first = TickAndWrite(c, t0);
    Brush(c, {12, 10});
    const SAutosave::STick early = TickAndWrite(c, t0 + 10s);  // no new try before the minute is over
    const SAutosave::STick again = TickAndWrite(c, t0 + 70s);  // tried and failed again: not reported
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &before), 0);
    std::signal(SIGXFSZ, previous);
    EXPECT_NE(first.failure, 0);
    EXPECT_EQ(early.failure, 0);
    EXPECT_EQ(again.failure, 0);
    EXPECT_FALSE(Exists(c.Autosave().Files().document));

    const SAutosave::STick fine = TickAndWrite(c, t0 + 140s);
    EXPECT_EQ(fine.failure, 0);
    ASSERT_TRUE(Exists(c.Autosave().Files().document));
    ASSERT_EQ(SaveDocument(c.Cel(), SString(In("saved.hdq"))), 0);
    EXPECT_EQ(FileBytes(c.Autosave().Files().document.Str()), FileBytes(In("saved.hdq")));
}

TEST(RecoveryInfo, RoundTripsAnyPathAndRefusesWhatItDidNotWrite)
{
    const SRecoveryInfo info{SString("/home/絵/a\\b\nc.hdq"), SString("scan 1.hdq"), 1765000000};
    const std::string text = RecoveryInfoText(info);
    SRecoveryInfo read;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    ASSERT_EQ(ParseRecoveryInfo(bytes, bytes + text.size(), read), 0);
    EXPECT_EQ(read, info);

    const std::string bad[] = {
        "", "huedrane-recovery 2\nsaved=1\n", "huedrane-recovery 1\npath=/a\n", "huedrane-recovery 1\nsaved=x\n",
        "huedrane-recovery 1\nsaved=1\npath=a\\q\n", "huedrane-recovery 1\nsaved=1\npath=a\\\n",
        "huedrane-recovery 1\nsaved=1\npath=" + std::string(20000, 'a') + "\n"};
    for (const std::string& b : bad) {
        SRecoveryInfo out = info;
        const auto* p = reinterpret_cast<const std::uint8_t*>(b.data());
        EXPECT_NE(ParseRecoveryInfo(p, p + b.size(), out), 0) << b.substr(0, 60);
        EXPECT_EQ(out, SRecoveryInfo{});
    }
}

TEST(RecoveryFolder, FollowsXdgStateHomeElseTheHomeFolder)
{
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* state = std::getenv("XDG_STATE_HOME");
    const std::string kept = state ? state : "";
    setenv("HOME", "/home/painter", 1);
    const std::pair<const char*, const char*> cases[] = {
        {"/var/state//", "/var/state/huedrane/recovery"},
        {"relative/state", "/home/painter/.local/state/huedrane/recovery"},
        {"", "/home/painter/.local/state/huedrane/recovery"},
    };
    for (const auto& [variable, folder] : cases) {
        setenv("XDG_STATE_HOME", variable, 1);
        EXPECT_EQ(RecoveryFolder(), SString(folder)) << variable;
    }
    unsetenv("HOME");
    EXPECT_TRUE(RecoveryFolder().IsEmpty());
    setenv("HOME", home.c_str(), 1);
    if (state)
        setenv("XDG_STATE_HOME", kept.c_str(), 1);
    else
        unsetenv("XDG_STATE_HOME");
}

}  // namespace
