// The start-up offer of the copies a crash left: listed newest first with their names and times,
// damaged ones only discardable, a copy opened as the modified document under its own name, a
// discard that asks first, and "later" keeping everything for the next start.
#include "FormMainFixture.h"
#include "TFormRecovery.h"

#include "SDocumentFile.h"
#include "SRecoveryFiles.h"

#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <fstream>

using namespace ulib;
namespace fs = std::filesystem;

namespace {

class Recovery : public FormMainFixture
{
protected:
    fs::path Recoveries() const { return fs::path(Path("recovery").Str()); }
    // A copy as a killed program leaves it: document, information, a lock nobody holds.
    void LeaveCopy(const std::string& name, const SRecoveryInfo& info, bool damaged = false)
    {
        fs::create_directories(Recoveries());
        const std::string base = (Recoveries() / name).string();
        if (damaged) {
            std::ofstream(base + ".hdq") << "damaged";
        } else {
            SCel cel;
            for (SBitmap* layer : {&cel.trace, &cel.paint, &cel.display})
                layer->Create(40, 30, 32);
            cel.paint.FillRect(SColor(10, 200, 30));
            cel.flag.Create(40, 30, 8);
            cel.genga.Create(40, 30, 24);
            cel.held.Append(cel.genga);
            ASSERT_EQ(SaveDocument(cel, SString(base + ".hdq")), 0);
        }
        std::ofstream(base + ".info") << RecoveryInfoText(info);
        std::ofstream(base + ".lock") << "";
    }
};

TEST_F(Recovery, OpensACopyAsTheModifiedDocumentAndDiscardsAfterAsking)
{
    LeaveCopy("older-1", {SString("/work/cut1/c0001.hdq"), SString(), 1765000000}, true);
    LeaveCopy("newer-1", {SString("/work/cut1/c0002.hdq"), SString(), 1765000600});
    LeaveCopy("untitled-1", {SString(), SString("scan7.hdq"), 1764000000});
    c_.StartAutosave(Path("recovery"));
    SOrphanCopies copies;
    ASSERT_EQ(copies.Find(Path("recovery"), TFormRecovery::ThumbnailBox), 0);
    TFormRecovery dialog(c_, copies, "/usr/bin/huedrane-test");
    ASSERT_EQ(dialog.List->count(), 3);
    EXPECT_TRUE(dialog.List->item(0)->text().startsWith("c0002.hdq\n"));
    EXPECT_TRUE(dialog.List->item(0)->text().contains("/work/cut1"));
    EXPECT_TRUE(dialog.List->item(1)->text().startsWith("scan7.hdq\n"));
    EXPECT_TRUE(dialog.List->item(2)->text().contains(QString::fromUtf8("壊れている")));
    EXPECT_FALSE(dialog.List->item(0)->icon().isNull());

    dialog.List->setCurrentRow(2);
    EXPECT_FALSE(dialog.ButtonOpen->isEnabled());
    EXPECT_TRUE(dialog.ButtonDiscard->isEnabled());
    seam_.QueueAnswers({SBoxAnswer::No});
    dialog.ButtonDiscard->click();
    EXPECT_EQ(dialog.List->count(), 3);
    seam_.QueueAnswers({SBoxAnswer::Yes});
    dialog.ButtonDiscard->click();
    ASSERT_EQ(dialog.List->count(), 2);
    EXPECT_FALSE(fs::exists(Recoveries() / "older-1.hdq"));
    EXPECT_FALSE(fs::exists(Recoveries() / "older-1.lock"));

    // Both left: the first opens here, the second in a new window started on the copy's document.
    dialog.List->selectAll();
    dialog.ButtonOpen->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.Opened());
    EXPECT_EQ(c_.State(), SDocumentState::Modified);
    EXPECT_EQ(c_.Path(), SString("/work/cut1/c0002.hdq"));
    EXPECT_EQ(c_.Cel().paint.GetColor(3, 3), SColor(10, 200, 30));
    EXPECT_FALSE(fs::exists(Recoveries() / "newer-1.hdq"));
    EXPECT_TRUE(fs::exists(c_.Autosave().Files().document.Str()));
    EXPECT_TRUE(copies.Copies().empty());
    const std::string handed = (Recoveries() / "untitled-1.hdq").string();
    ASSERT_EQ(seam_.Starts().size(), 1u);
    EXPECT_EQ(seam_.Starts()[0].program, "/usr/bin/huedrane-test");
    EXPECT_EQ(seam_.Starts()[0].argument, handed);

    // The window started on it opens it as the untitled cel it was, under its proposed name.
    SHuedraneController other;
    other.StartAutosave(Path("recovery"));
    ASSERT_TRUE(other.IsRecoveryFile(SString(handed)));
    EXPECT_FALSE(other.IsRecoveryFile(Path("recovery/sub/untitled-1.hdq")));
    EXPECT_FALSE(other.IsRecoveryFile(Path("cel.hdq")));
    ASSERT_EQ(other.OpenRecoveryFile(SString(handed)), 0);
    EXPECT_EQ(other.State(), SDocumentState::Modified);
    EXPECT_TRUE(other.Path().IsEmpty());
    EXPECT_EQ(other.DefaultFileName(), SString("scan7.hdq"));
    // Taken: nobody else can open it.
    EXPECT_NE(c_.OpenRecoveryFile(SString(handed)), 0);
}

TEST_F(Recovery, TheWindowOffersTheCopiesWhenItFirstShowsAndLaterKeepsThem)
{
    LeaveCopy("left-1", {SString(), SString("scan7.hdq"), 1765000000});
    c_.StartAutosave(Path("recovery"));
    int offered = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<TFormRecovery*>(QApplication::activeModalWidget())) {
            offered = dialog->List->count();
            dialog->ButtonLater->click();
        }
    });
    poll.start(10);
    form_->show();
    for (int i = 0; i < 200 && offered == 0; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    poll.stop();
    EXPECT_EQ(offered, 1);
    EXPECT_EQ(c_.State(), SDocumentState::None);
    EXPECT_TRUE(fs::exists(Recoveries() / "left-1.hdq"));
    // Let go: the next start finds it again.
    SOrphanCopies again;
    ASSERT_EQ(again.Find(Path("recovery"), 16), 0);
    EXPECT_EQ(again.Copies().size(), 1u);
    form_->hide();
}

}  // namespace
