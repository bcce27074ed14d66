// The memo box's round trip between the edit and the document's memo, and the about box's texts.
#include "TFormMemo.h"
#include "TFormVersion.h"

#include "SHuedraneController.h"
#include "SMainWindowRules.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ulib::SArray;
using ulib::SString;

SArray<SString> Lines(const std::vector<std::string>& lines)
{
    SArray<SString> result;
    for (const std::string& line : lines)
        result.Append(SString(line));
    return result;
}

class TFormMemoTest : public ::testing::Test
{
protected:
    TFormMemoTest()
    {
        c_.MarkSaved();
        QObject::connect(&box_, &TToolBox::MainRefresh, [this](std::uint32_t parts) { refresh_ |= parts; });
    }

    SHuedraneController c_;
    TFormMemo box_{c_, nullptr};
    std::uint32_t refresh_ = 0;
};

TEST_F(TFormMemoTest, ShowingAndHidingWithoutTypingKeepsTheMemoExactly)
{
    // Empty, a single empty line, and trailing or inner empty lines all look alike in an edit's
    // text in some way; none of them may change.
    for (const auto& lines : std::vector<std::vector<std::string>>{
             {}, {""}, {"", ""}, {"scene 12", "", "cut 3"}, {"a", ""}, {"\ttabbed", "日本語のメモ"}}) {
        c_.PaintContext().cel.memo = Lines(lines);
        box_.show();
        box_.hide();
        EXPECT_EQ(c_.Cel().memo, Lines(lines)) << lines.size();
    }
    EXPECT_EQ(c_.State(), SDocumentState::Saved);
    EXPECT_EQ(refresh_, 0u);
}

TEST_F(TFormMemoTest, ShowFillsTheEditAndHideStoresEveryTypedLine)
{
    QAction menu("MenuMemo"), tool("ToolMemo");
    box_.SetToggles(&menu, &tool);
    c_.PaintContext().cel.memo = Lines({"first", "second"});
    box_.show();
    EXPECT_TRUE(menu.isChecked());
    EXPECT_TRUE(tool.isChecked());
    EXPECT_EQ(box_.MemoMain->toPlainText(), QString("first\nsecond"));
    EXPECT_EQ(box_.MemoMain->blockCount(), 2);

    box_.MemoMain->setPlainText(QString::fromUtf8("one\n\nthree\t3\n"));
    box_.hide();
    EXPECT_FALSE(menu.isChecked());
    EXPECT_EQ(c_.Cel().memo, Lines({"one", "", "three\t3", ""}));
    // The memo is saved with the document, so a change marks it modified.
    EXPECT_EQ(c_.State(), SDocumentState::Modified);
    EXPECT_TRUE(refresh_ & main_refresh::Title);

    // The next showing starts from the document, not from what was typed before.
    c_.PaintContext().cel.memo = Lines({"reloaded"});
    box_.show();
    EXPECT_EQ(box_.MemoMain->toPlainText(), QString("reloaded"));
    box_.hide();
    EXPECT_EQ(c_.Cel().memo, Lines({"reloaded"}));
}

TEST_F(TFormMemoTest, AnEmptiedEditEmptiesTheMemo)
{
    c_.PaintContext().cel.memo = Lines({"to be removed", "and this"});
    box_.show();
    box_.MemoMain->selectAll();
    box_.MemoMain->textCursor().removeSelectedText();
    EXPECT_TRUE(box_.MemoMain->toPlainText().isEmpty());
    box_.hide();
    EXPECT_EQ(c_.Cel().memo.Count(), 0);
    EXPECT_EQ(c_.State(), SDocumentState::Modified);
}

TEST_F(TFormMemoTest, TypingTheSameTextAgainIsNoChange)
{
    c_.PaintContext().cel.memo = Lines({"same"});
    box_.show();
    box_.MemoMain->setPlainText("other");
    box_.MemoMain->setPlainText("same");
    box_.hide();
    EXPECT_EQ(c_.Cel().memo, Lines({"same"}));
    EXPECT_EQ(c_.State(), SDocumentState::Saved);
}

TEST_F(TFormMemoTest, EditTakesTabsInASixteenPixelFontAndTheClearButtonDoesNothing)
{
    EXPECT_EQ(box_.windowTitle(), QString::fromUtf8("メモ"));
    EXPECT_FALSE(box_.MemoMain->tabChangesFocus());
    EXPECT_EQ(box_.MemoMain->font().pixelSize(), 16);
    EXPECT_EQ(box_.ButtonClear->text(), QString::fromUtf8("消去"));
    c_.PaintContext().cel.memo = Lines({"kept"});
    box_.show();
    box_.ButtonClear->click();
    EXPECT_EQ(box_.MemoMain->toPlainText(), QString("kept"));
    box_.hide();
    EXPECT_EQ(c_.Cel().memo, Lines({"kept"}));
}

TEST(TFormVersion, ShowsNameVersionMakerAndEveryLibraryNotice)
{
    TFormVersion box(nullptr);
    EXPECT_EQ(box.windowTitle(), QString::fromUtf8("バージョン情報"));
    EXPECT_EQ(box.ProductName->text(), QString("Huedrane ver1.4"));
    EXPECT_EQ(box.ProductName->font().pixelSize(), 24);
    EXPECT_EQ(box.Copyright->text(), QString("Huedrane developers"));
    EXPECT_EQ(box.ProgramIcon->size(), QSize(32, 32));
    EXPECT_FALSE(box.ProgramIcon->pixmap().isNull());
    EXPECT_TRUE(box.MemoNotice->isReadOnly());
    const QString notices = box.MemoNotice->toPlainText();
    for (const QString& needle :
         {QString("libpng"), QString("zlib"), QString("Independent JPEG Group"), QString("libjpeg-turbo"),
          QString("Qt ") + QString::fromLatin1(qVersion()), QString("LGPL"), QString("libtiff"),
          QString("Huedrane developers")})
        EXPECT_TRUE(notices.contains(needle)) << needle.toStdString();

    // Shown modally; OK closes it with Accepted.
    QTimer::singleShot(0, &box, [&box] { box.ButtonOk->click(); });
    EXPECT_EQ(box.exec(), QDialog::Accepted);
}

}  // namespace
