// The options dialog: the record copied into every control and back only on OK, the enabling that
// follows the check boxes, and the colour, folder and help buttons through the scripted seam.
#include "TFormOption.h"

#include "ControllerEdits.h"
#include "SCelCheck.h"
#include "SGapSplit.h"
#include "SHuedraneController.h"
#include "SProgramPath.h"
#include "SScriptedPlatform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

namespace {

using ulib::SColor;
using ulib::SDialogResult;
using ulib::test::ScopedPlatform;
using ulib::test::SScriptedPlatform;

// A record in which every field differs from its start value.
SHuedraneOptions Distinct()
{
    SHuedraneOptions o;
    o.spiDirectory = "/opt/spi/";
    o.importLevelEnabled = true;
    o.importLevelWhite = 300;
    o.importLevelBlack = -20;
    o.importGengaCompress = 2;
    o.exportFormat = 2;
    o.export24Bit = true;
    o.exportTargetLayers = 4;
    o.exportMinimizeRate = 3;
    o.exportBlackTraceEnabled = true;
    o.exportBlackTraceColour = SColor(10, 20, 30);
    o.exportGamutEnabled = true;
    o.exportGamutMax = 200;
    o.exportGamutMin = 40;
    o.exportBinarizeOutline = true;
    o.exportBackgroundColour = SColor(200, 150, 100);
    o.importBinarize = true;
    o.importAntiHole = true;
    return o;
}

void ExpectSameOptions(const SHuedraneOptions& a, const SHuedraneOptions& b)
{
    EXPECT_EQ(a.spiDirectory, b.spiDirectory);
    EXPECT_EQ(a.importLevelEnabled, b.importLevelEnabled);
    EXPECT_EQ(a.importLevelWhite, b.importLevelWhite);
    EXPECT_EQ(a.importLevelBlack, b.importLevelBlack);
    EXPECT_EQ(a.importGengaCompress, b.importGengaCompress);
    EXPECT_EQ(a.exportFormat, b.exportFormat);
    EXPECT_EQ(a.export24Bit, b.export24Bit);
    EXPECT_EQ(a.exportTargetLayers, b.exportTargetLayers);
    EXPECT_EQ(a.exportMinimizeRate, b.exportMinimizeRate);
    EXPECT_EQ(a.exportBlackTraceEnabled, b.exportBlackTraceEnabled);
    EXPECT_EQ(a.exportBlackTraceColour, b.exportBlackTraceColour);
    EXPECT_EQ(a.exportGamutEnabled, b.exportGamutEnabled);
    EXPECT_EQ(a.exportGamutMax, b.exportGamutMax);
    EXPECT_EQ(a.exportGamutMin, b.exportGamutMin);
    EXPECT_EQ(a.exportBinarizeOutline, b.exportBinarizeOutline);
    EXPECT_EQ(a.exportBackgroundColour, b.exportBackgroundColour);
    EXPECT_EQ(a.importBinarize, b.importBinarize);
    EXPECT_EQ(a.importAntiHole, b.importAntiHole);
}

class TFormOptionTest : public ::testing::Test
{
protected:
    SScriptedPlatform seam_;
    ScopedPlatform scope_{seam_};
    SHuedraneController c_;
};

TEST_F(TFormOptionTest, PagesControlsCaptionsAndRanges)
{
    TFormOption dialog(c_, nullptr);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("オプション"));
    ASSERT_EQ(dialog.PageControl->count(), 4);
    EXPECT_EQ(dialog.PageControl->tabText(0), QString::fromUtf8("基本設定"));
    EXPECT_EQ(dialog.PageControl->tabText(1), QString::fromUtf8("インポート"));
    EXPECT_EQ(dialog.PageControl->tabText(2), QString::fromUtf8("エクスポート"));
    EXPECT_EQ(dialog.PageControl->tabText(3), QString::fromUtf8("おまけ機能"));
    EXPECT_EQ(dialog.PageControl->widget(0), dialog.TabMain);
    EXPECT_EQ(dialog.PageControl->currentIndex(), 0);

    const struct { const char* name; int min; int max; } spins[] = {
        {"SpinInLevelMax", 128, 319}, {"SpinInLevelMin", -64, 127}, {"SpinGamutMax", 128, 255}, {"SpinGamutMin", 0, 127}};
    for (const auto& s : spins) {
        auto* spin = dialog.findChild<QSpinBox*>(s.name);
        ASSERT_NE(spin, nullptr) << s.name;
        EXPECT_EQ(spin->minimum(), s.min) << s.name;
        EXPECT_EQ(spin->maximum(), s.max) << s.name;
    }
    auto* genga = dialog.findChild<TRadioGroup*>("RadioGengaCompress");
    ASSERT_NE(genga, nullptr);
    EXPECT_EQ(genga->ItemCount(), 3);
    EXPECT_EQ(genga->title(), QString::fromUtf8("原画レイヤーの圧縮レベル(&L)"));
    auto* format = dialog.findChild<TRadioGroup*>("RadioGroupOutputFormat");
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->ItemCount(), 3);
    EXPECT_EQ(dialog.findChild<QComboBox*>("ComboOutputLayer")->count(), 6);
    EXPECT_EQ(dialog.ComboMinimizeRate->itemText(0), QString::fromUtf8("等倍"));
    EXPECT_EQ(dialog.ComboMinimizeRate->count(), 4);
    EXPECT_EQ(dialog.CheckOpaque->text(), QString::fromUtf8("24bitカラーで出力(&Q)"));
    EXPECT_EQ(dialog.CheckSanchika->text(), QString::fromUtf8("輪郭線を二値化する(&R)"));
    EXPECT_EQ(dialog.ButtonBackgroundColor->text(), QString::fromUtf8("変更(&C)..."));
    for (const char* name : {"EditSpiFolder", "ButtonSpiFolder", "CheckInLevel", "CheckImportBinarize",
                             "CheckImportAntiHole", "CheckChangeKuroTraceColor", "PanelKuroTraceColor",
                             "ButtonKuroTraceColor", "CheckChangeGamut", "PanelBackgroundColor", "ButtonOk",
                             "ButtonCancel", "ButtonHelp", "LabelSpiFolder", "LabelOutputLayer", "LabelMinimizeRate"})
        EXPECT_NE(dialog.findChild<QWidget*>(name), nullptr) << name;
}

TEST_F(TFormOptionTest, ShowCopiesEveryFieldInAndOkCopiesEveryControlBack)
{
    const SHuedraneOptions before = Distinct();
    c_.SetOptions(before);
    c_.SetFillGap(9);
    TFormOption dialog(c_, nullptr);
    dialog.show();
    EXPECT_EQ(dialog.EditSpiFolder->text(), QString("/opt/spi/"));
    EXPECT_EQ(dialog.SpinFillGap->value(), 9);
    EXPECT_EQ(dialog.SpinMinSpeck->value(), DefaultMinSpeck);
    EXPECT_FALSE(dialog.CheckIncludeEdge->isChecked());
    EXPECT_FALSE(dialog.CheckBeforeExport->isChecked());
    EXPECT_EQ(dialog.SpinFillGap->maximum(), LargestFillGap);
    EXPECT_TRUE(dialog.CheckInLevel->isChecked());
    EXPECT_EQ(dialog.SpinInLevelMax->value(), 300);
    EXPECT_EQ(dialog.SpinInLevelMin->value(), -20);
    EXPECT_EQ(dialog.RadioGengaCompress->ItemIndex(), 2);
    EXPECT_EQ(dialog.RadioGroupOutputFormat->ItemIndex(), 2);
    EXPECT_TRUE(dialog.CheckOpaque->isChecked());
    EXPECT_EQ(dialog.ComboOutputLayer->currentIndex(), 4);
    EXPECT_EQ(dialog.ComboMinimizeRate->currentIndex(), 2);
    EXPECT_TRUE(dialog.CheckChangeKuroTraceColor->isChecked());
    EXPECT_EQ(TFormOption::PanelColour(dialog.PanelKuroTraceColor), SColor(10, 20, 30));
    EXPECT_EQ(dialog.PanelKuroTraceColor->palette().color(QPalette::Window), QColor(10, 20, 30));
    EXPECT_TRUE(dialog.CheckChangeGamut->isChecked());
    EXPECT_EQ(dialog.SpinGamutMax->value(), 200);
    EXPECT_EQ(dialog.SpinGamutMin->value(), 40);
    EXPECT_TRUE(dialog.CheckSanchika->isChecked());
    EXPECT_EQ(TFormOption::PanelColour(dialog.PanelBackgroundColor), SColor(200, 150, 100));
    EXPECT_TRUE(dialog.CheckImportBinarize->isChecked());
    EXPECT_TRUE(dialog.CheckImportAntiHole->isChecked());

    // OK with nothing touched gives the same record; start values go back the same way.
    c_.SetOptions(SHuedraneOptions{});
    dialog.SpinFillGap->setValue(12);
    dialog.SpinMinSpeck->setValue(30);
    dialog.CheckIncludeEdge->setChecked(true);
    dialog.CheckBeforeExport->setChecked(true);
    EXPECT_EQ(dialog.SpinUndoSteps->value(), 10);
    EXPECT_EQ(dialog.SpinUndoMemory->value(), 1024);
    EXPECT_EQ(dialog.LabelUndoInUse->text(), QString::fromUtf8("現在の使用量: 0.0 MB"));
    dialog.SpinUndoSteps->setValue(300);
    dialog.SpinUndoMemory->setValue(2048);
    EXPECT_EQ(dialog.SpinAutosaveSteps->value(), 20);
    EXPECT_EQ(dialog.SpinAutosaveSeconds->value(), 60);
    dialog.SpinAutosaveSteps->setValue(0);
    dialog.SpinAutosaveSeconds->setValue(300);
    dialog.ButtonOk->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ExpectSameOptions(c_.Options(), before);
    EXPECT_EQ(c_.UndoSteps(), 300);
    EXPECT_EQ(c_.UndoMegabytes(), 2048);
    EXPECT_EQ(c_.AutosaveSteps(), 0);
    EXPECT_EQ(c_.AutosaveSeconds(), 300);
    EXPECT_EQ(c_.Tools().fillGap, 12);
    EXPECT_EQ(c_.CheckOptions().minSpeck, 30);
    EXPECT_TRUE(c_.CheckOptions().includeEdge);
    EXPECT_TRUE(c_.CheckBeforeExport());

    const SHuedraneOptions start;
    c_.SetOptions(start);
    TFormOption second(c_, nullptr);
    QTimer::singleShot(0, &second, [&second] { second.ButtonOk->click(); });
    EXPECT_EQ(second.exec(), QDialog::Accepted);
    ExpectSameOptions(c_.Options(), start);
}

TEST_F(TFormOptionTest, CancelKeepsTheRecordButTheColourDialogsCustomColoursReachTheQuickPalette)
{
    c_.SetOptions(Distinct());
    std::array<SColor, 16> palette;
    palette.fill(SColor(1, 2, 3));
    c_.SetQuickPalette(palette);
    TFormOption dialog(c_, nullptr);
    dialog.show();
    dialog.CheckOpaque->click();
    dialog.SpinGamutMax->setValue(130);
    dialog.ComboOutputLayer->setCurrentIndex(0);
    dialog.EditSpiFolder->setText("/elsewhere");

    std::array<SColor, 16> edited;
    edited.fill(SColor(9, 9, 9));
    edited[15] = SColor(250, 0, 0);
    seam_.QueueColourAnswer(SDialogResult::Cancel, SColor(0, 255, 0), edited);
    dialog.ButtonKuroTraceColor->click();
    ASSERT_EQ(seam_.ColourRequests().size(), 1u);
    EXPECT_EQ(seam_.ColourRequests()[0].colour, SColor(10, 20, 30));
    EXPECT_EQ(seam_.ColourRequests()[0].customColours[0], SColor(1, 2, 3));
    EXPECT_EQ(c_.QuickPalette()[15], SColor(250, 0, 0));
    EXPECT_EQ(c_.QuickPalette()[0], SColor(9, 9, 9));
    EXPECT_EQ(TFormOption::PanelColour(dialog.PanelKuroTraceColor), SColor(10, 20, 30));

    // Chosen with OK, the panel shows the colour, yet Cancel still leaves the record alone.
    seam_.QueueColourAnswer(SDialogResult::Ok, SColor(0, 0, 255));
    dialog.ButtonBackgroundColor->click();
    EXPECT_EQ(TFormOption::PanelColour(dialog.PanelBackgroundColor), SColor(0, 0, 255));
    EXPECT_EQ(seam_.ColourRequests().back().customColours[15], SColor(250, 0, 0));

    dialog.ButtonCancel->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    ExpectSameOptions(c_.Options(), Distinct());
    EXPECT_EQ(c_.QuickPalette()[15], SColor(250, 0, 0));
}

TEST_F(TFormOptionTest, ChosenColoursAreStoredOnOk)
{
    TFormOption dialog(c_, nullptr);
    dialog.show();
    dialog.CheckChangeKuroTraceColor->click();
    seam_.QueueColourAnswer(SDialogResult::Ok, SColor(12, 34, 56));
    dialog.ButtonKuroTraceColor->click();
    dialog.ButtonOk->click();
    EXPECT_TRUE(c_.Options().exportBlackTraceEnabled);
    EXPECT_EQ(c_.Options().exportBlackTraceColour, SColor(12, 34, 56));
}

TEST_F(TFormOptionTest, DivisorsWithoutAnItemShowNoSelectionAndStoreZero)
{
    for (std::int32_t divisor = 5; divisor <= 8; ++divisor) {
        EditOptions(c_, [&](SHuedraneOptions& o) { o.exportMinimizeRate = divisor; });
        TFormOption dialog(c_, nullptr);
        dialog.show();
        EXPECT_EQ(dialog.ComboMinimizeRate->currentIndex(), -1) << divisor;
        dialog.ButtonOk->click();
        EXPECT_EQ(c_.Options().exportMinimizeRate, 0) << divisor;
    }
    // Divisor 4 is the last item, "1/4倍".
    EditOptions(c_, [&](SHuedraneOptions& o) { o.exportMinimizeRate = 4; });
    TFormOption quarter(c_, nullptr);
    quarter.show();
    EXPECT_EQ(quarter.ComboMinimizeRate->currentText(), QString::fromUtf8("1/4倍"));
    quarter.hide();

    // A divisor of 0 leaves the combo as it stood: a dialog shown again keeps its earlier choice.
    EditOptions(c_, [&](SHuedraneOptions& o) { o.exportMinimizeRate = 2; });
    TFormOption dialog(c_, nullptr);
    dialog.show();
    dialog.hide();
    EditOptions(c_, [&](SHuedraneOptions& o) { o.exportMinimizeRate = 0; });
    dialog.show();
    EXPECT_EQ(dialog.ComboMinimizeRate->currentIndex(), 1);
    dialog.ButtonOk->click();
    EXPECT_EQ(c_.Options().exportMinimizeRate, 2);
}

TEST_F(TFormOptionTest, LevelLimitsReachBeyondWhatTheSettingsKeep)
{
    TFormOption dialog(c_, nullptr);
    dialog.show();
    dialog.CheckInLevel->click();
    dialog.SpinInLevelMin->setValue(-100);
    dialog.SpinInLevelMax->setValue(400);
    EXPECT_EQ(dialog.SpinInLevelMin->value(), -64);
    EXPECT_EQ(dialog.SpinInLevelMax->value(), 319);
    dialog.SpinGamutMax->setValue(1000);
    dialog.SpinGamutMin->setValue(-5);
    dialog.ButtonOk->click();
    EXPECT_TRUE(c_.Options().importLevelEnabled);
    EXPECT_EQ(c_.Options().importLevelBlack, -64);
    EXPECT_EQ(c_.Options().importLevelWhite, 319);
    EXPECT_EQ(c_.Options().exportGamutMax, 255);
    EXPECT_EQ(c_.Options().exportGamutMin, 0);
}

TEST_F(TFormOptionTest, DependentControlsFollowTheirCheckBoxes)
{
    TFormOption dialog(c_, nullptr);
    dialog.show();
    EXPECT_FALSE(dialog.SpinInLevelMax->isEnabled());
    EXPECT_FALSE(dialog.SpinInLevelMin->isEnabled());
    EXPECT_FALSE(dialog.ButtonKuroTraceColor->isEnabled());
    EXPECT_FALSE(dialog.SpinGamutMax->isEnabled());
    EXPECT_FALSE(dialog.SpinGamutMin->isEnabled());
    EXPECT_FALSE(dialog.ButtonBackgroundColor->isEnabled());

    const struct { QCheckBox* check; std::vector<QWidget*> dependents; } rules[] = {
        {dialog.CheckInLevel, {dialog.SpinInLevelMax, dialog.SpinInLevelMin}},
        {dialog.CheckChangeKuroTraceColor, {dialog.ButtonKuroTraceColor}},
        {dialog.CheckChangeGamut, {dialog.SpinGamutMax, dialog.SpinGamutMin}},
        {dialog.CheckSanchika, {dialog.ButtonBackgroundColor}}};
    for (const auto& rule : rules) {
        rule.check->click();
        for (QWidget* w : rule.dependents)
            EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
        rule.check->click();
        for (QWidget* w : rule.dependents)
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    }
    dialog.hide();

    // Shown with the boxes ticked, the dependents start enabled.
    c_.SetOptions(Distinct());
    dialog.show();
    for (QWidget* w : {static_cast<QWidget*>(dialog.SpinInLevelMax), static_cast<QWidget*>(dialog.ButtonKuroTraceColor),
                       static_cast<QWidget*>(dialog.SpinGamutMin), static_cast<QWidget*>(dialog.ButtonBackgroundColor)})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
}

TEST_F(TFormOptionTest, FolderButtonReplacesTheEditOnlyWhenAFolderIsChosen)
{
    EditOptions(c_, [&](SHuedraneOptions& o) { o.spiDirectory = "/old/spi/"; });
    TFormOption dialog(c_, nullptr);
    dialog.show();
    seam_.QueueFolderAnswer(SDialogResult::Cancel);
    dialog.ButtonSpiFolder->click();
    EXPECT_EQ(dialog.EditSpiFolder->text(), QString("/old/spi/"));
    ASSERT_EQ(seam_.FolderRequests().size(), 1u);
    EXPECT_EQ(seam_.FolderRequests()[0].initialFolder, "/old/spi");

    seam_.QueueFolderAnswer(SDialogResult::Ok, "/new/plugins");
    dialog.ButtonSpiFolder->click();
    EXPECT_EQ(dialog.EditSpiFolder->text(), QString("/new/plugins/"));
    EXPECT_EQ(c_.Options().spiDirectory, ulib::SString("/old/spi/"));  // only OK stores it
    dialog.ButtonOk->click();
    EXPECT_EQ(c_.Options().spiDirectory, ulib::SString("/new/plugins/"));
}

TEST_F(TFormOptionTest, HelpButtonAsksForTopic1001)
{
    // The manual is looked for next to the program first.
    const std::filesystem::path manual = std::string(ulib::ProgramPath().Str()) + ".pdf";
    std::ofstream(manual) << "manual";
    TFormOption dialog(c_, nullptr);
    dialog.show();
    dialog.ButtonHelp->click();
    std::error_code ignored;
    std::filesystem::remove(manual, ignored);
    ASSERT_EQ(seam_.HelpCalls().size(), 1u);
    EXPECT_EQ(seam_.HelpCalls()[0].context, 1001);
    EXPECT_EQ(seam_.BoxCount(), 0u);
    EXPECT_FALSE(dialog.result() == QDialog::Accepted);
}

}  // namespace
