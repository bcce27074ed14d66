// The options dialog's four pages: every control with its caption, range and note.
#include "TFormOption.h"

#include "SCelCheck.h"
#include "SGapSplit.h"
#include "SHuedraneController.h"
#include "SRecovery.h"
#include "SUiText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// Japanese's own name, shown as it is in both languages.
constexpr char LanguageName[] = "日本語";

// Every caption of the pages, in the run's language.
QString Text(const char* japanese)
{
    return UiText(japanese);
}

QStringList Items(std::initializer_list<const char*> items)
{
    QStringList list;
    for (const char* item : items)
        list << Text(item);
    return list;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption)
{
    auto* check = new QCheckBox(Text(caption), parent);
    check->setObjectName(name);
    return check;
}

QSpinBox* MakeSpin(QWidget* parent, const char* name, int minimum, int maximum)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(minimum, maximum);
    return spin;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(Text(caption), parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const char* caption, const char* name = nullptr)
{
    auto* label = new QLabel(Text(caption), parent);
    if (name)
        label->setObjectName(name);
    return label;
}

QFrame* MakeFrame(QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

QFrame* MakeColourPanel(QWidget* parent, const char* name)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setFixedSize(48, 22);
    TFormOption::SetPanelColour(panel, ulib::SColor::White);
    return panel;
}

QComboBox* MakeCombo(QWidget* parent, const char* name, const QStringList& items)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(items);
    return combo;
}

}  // namespace

QWidget* TFormOption::BuildMainPage()
{
    auto* page = new QWidget;
    page->setObjectName("TabMain");
    LabelSpiFolder = MakeLabel(page, "SPIの検索フォルダ(&S)", "LabelSpiFolder");
    EditSpiFolder = new QLineEdit(page);
    EditSpiFolder->setObjectName("EditSpiFolder");
    LabelSpiFolder->setBuddy(EditSpiFolder);
    ButtonSpiFolder = MakeButton(page, "ButtonSpiFolder", "変更(&C)");
    SpinFillGap = MakeSpin(page, "SpinFillGap", 0, LargestFillGap);
    QLabel* labelFillGap = MakeLabel(page, "隙間を閉じる(&G)");
    labelFillGap->setBuddy(SpinFillGap);
    SpinMinSpeck = MakeSpin(page, "SpinMinSpeck", 0, LargestMinSpeck);
    QLabel* labelMinSpeck = MakeLabel(page, "チェックでゴミとみなす大きさ(&Z)");
    labelMinSpeck->setBuddy(SpinMinSpeck);
    CheckIncludeEdge = MakeCheck(page, "CheckIncludeEdge", "背景と端に接する塗り残しもチェックする(&E)");
    CheckBeforeExport = MakeCheck(page, "CheckBeforeExport", "エクスポートの前にチェックする(&W)");
    SpinUndoSteps = MakeSpin(page, "SpinUndoSteps", ulib::SRecovery::SlotCount, ulib::SRecovery::MostSteps);
    QLabel* labelUndoSteps = MakeLabel(page, "元に戻せる回数(&D)");
    labelUndoSteps->setBuddy(SpinUndoSteps);
    SpinUndoMemory = MakeSpin(page, "SpinUndoMemory", SHuedraneController::LeastUndoMegabytes,
                              SHuedraneController::MostUndoMegabytes);
    QLabel* labelUndoMemory = MakeLabel(page, "元に戻すためのメモリの上限(&B)");
    labelUndoMemory->setBuddy(SpinUndoMemory);
    LabelUndoInUse = MakeLabel(page, "", "LabelUndoInUse");
    SpinAutosaveSteps = MakeSpin(page, "SpinAutosaveSteps", 0, SAutosave::MostSteps);
    QLabel* labelAutosaveSteps = MakeLabel(page, "自動保存までの操作の回数(&A)");
    labelAutosaveSteps->setBuddy(SpinAutosaveSteps);
    SpinAutosaveSeconds = MakeSpin(page, "SpinAutosaveSeconds", 0, SAutosave::MostSeconds);
    QLabel* labelAutosaveSeconds = MakeLabel(page, "自動保存までの時間(&T)");
    labelAutosaveSeconds->setBuddy(SpinAutosaveSeconds);
    // The language names stand in their own language, so either reader finds theirs.
    ComboLanguage = MakeCombo(page, "ComboLanguage",
                              Items({"システムの言語に合わせる"}) << QString::fromUtf8(LanguageName) << QStringLiteral("English"));
    QLabel* labelLanguage = MakeLabel(page, "表示言語(&N)");
    labelLanguage->setBuddy(ComboLanguage);

    auto* row = new QHBoxLayout;
    row->addWidget(EditSpiFolder, 1);
    row->addWidget(ButtonSpiFolder);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(LabelSpiFolder);
    layout->addLayout(row);
    layout->addWidget(MakeLabel(page, "※空欄にした場合は、自動検索になります。"));
    layout->addWidget(MakeLabel(page, "※次回起動時から有効になります。"));
    auto* gap = new QHBoxLayout;
    gap->addWidget(labelFillGap);
    gap->addWidget(SpinFillGap);
    gap->addWidget(MakeLabel(page, "ピクセル"));
    gap->addStretch(1);
    layout->addSpacing(12);
    layout->addLayout(gap);
    layout->addWidget(MakeLabel(page, "※塗りつぶしは、この幅までの線の隙間を越えません。0で無効になります。"));
    auto* speck = new QHBoxLayout;
    speck->addWidget(labelMinSpeck);
    speck->addWidget(SpinMinSpeck);
    speck->addWidget(MakeLabel(page, "ピクセル未満"));
    speck->addStretch(1);
    layout->addSpacing(12);
    layout->addLayout(speck);
    layout->addWidget(CheckIncludeEdge);
    layout->addWidget(CheckBeforeExport);
    auto* undo = new QGridLayout;
    undo->addWidget(labelUndoSteps, 0, 0);
    undo->addWidget(SpinUndoSteps, 0, 1);
    undo->addWidget(labelUndoMemory, 1, 0);
    undo->addWidget(SpinUndoMemory, 1, 1);
    undo->addWidget(MakeLabel(page, "MB"), 1, 2);
    undo->addWidget(LabelUndoInUse, 2, 0, 1, 3);
    undo->addWidget(labelAutosaveSteps, 3, 0);
    undo->addWidget(SpinAutosaveSteps, 3, 1);
    undo->addWidget(MakeLabel(page, "回"), 3, 2);
    undo->addWidget(labelAutosaveSeconds, 4, 0);
    undo->addWidget(SpinAutosaveSeconds, 4, 1);
    undo->addWidget(MakeLabel(page, "秒"), 4, 2);
    undo->addWidget(MakeLabel(page, "※保存していない変更を、復元用に別の場所へ書き出します。0で無効になります。"), 5, 0, 1, 4);
    undo->setColumnStretch(3, 1);
    layout->addSpacing(12);
    layout->addLayout(undo);
    auto* language = new QHBoxLayout;
    language->addWidget(labelLanguage);
    language->addWidget(ComboLanguage);
    language->addStretch(1);
    layout->addSpacing(12);
    layout->addLayout(language);
    layout->addWidget(MakeLabel(page, "※次回起動時から有効になります。"));
    layout->addStretch(1);
    return page;
}

QWidget* TFormOption::BuildImportPage()
{
    auto* page = new QWidget;
    page->setObjectName("TabImport");

    QFrame* level = MakeFrame(page);
    level->setObjectName("PanelInLevel");
    CheckInLevel = MakeCheck(level, "CheckInLevel", "入力レベルを変更する(&I)");
    SpinInLevelMax = MakeSpin(level, "SpinInLevelMax", 128, 319);
    SpinInLevelMin = MakeSpin(level, "SpinInLevelMin", -64, 127);
    auto* levelGrid = new QGridLayout(level);
    levelGrid->addWidget(CheckInLevel, 0, 0, 1, 2);
    levelGrid->addWidget(MakeLabel(level, "白レベル"), 1, 0);
    levelGrid->addWidget(SpinInLevelMax, 1, 1);
    levelGrid->addWidget(MakeLabel(level, "黒レベル"), 2, 0);
    levelGrid->addWidget(SpinInLevelMin, 2, 1);

    RadioGengaCompress = new TRadioGroup("RadioGengaCompress", Text("原画レイヤーの圧縮レベル(&L)"),
                                         Items({"通常圧縮", "不可逆圧縮", "原画レイヤーを含めない"}), page);
    CheckImportBinarize = MakeCheck(page, "CheckImportBinarize", "インポート時に二値化する(&Q)");
    CheckImportAntiHole = MakeCheck(page, "CheckImportAntiHole", "アンチホールフィルタを有効にする(&H)");

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(level);
    layout->addWidget(RadioGengaCompress);
    layout->addWidget(CheckImportBinarize);
    layout->addWidget(CheckImportAntiHole);
    layout->addStretch(1);
    return page;
}

QWidget* TFormOption::BuildExportPage()
{
    auto* page = new QWidget;
    page->setObjectName("TabExport");

    RadioGroupOutputFormat = new TRadioGroup("RadioGroupOutputFormat", Text("出力形式(&O)"),
                                             Items({"ビットマップ", "PNG形式(推奨)", "JPEG形式"}), page);
    CheckOpaque = MakeCheck(page, "CheckOpaque", "24bitカラーで出力(&Q)");
    LabelOutputLayer = MakeLabel(page, "出力レイヤー(&L)", "LabelOutputLayer");
    ComboOutputLayer = MakeCombo(page, "ComboOutputLayer",
                                 Items({"通常出力", "下敷きを含める", "原画のみ", "ペイント面レイヤーのみ",
                                        "トレース線レイヤーのみ", "拡張レイヤーのみ"}));
    LabelOutputLayer->setBuddy(ComboOutputLayer);
    LabelMinimizeRate = MakeLabel(page, "縮小倍率(&M)", "LabelMinimizeRate");
    ComboMinimizeRate = MakeCombo(page, "ComboMinimizeRate", Items({"等倍", "1/2倍", "1/3倍", "1/4倍"}));
    LabelMinimizeRate->setBuddy(ComboMinimizeRate);

    QFrame* kuro = MakeFrame(page);
    kuro->setObjectName("PanelKuroTrace");
    CheckChangeKuroTraceColor = MakeCheck(kuro, "CheckChangeKuroTraceColor", "黒トレス線の色を変更(&T)");
    PanelKuroTraceColor = MakeColourPanel(kuro, "PanelKuroTraceColor");
    ButtonKuroTraceColor = MakeButton(kuro, "ButtonKuroTraceColor", "変更(&C)");
    auto* kuroLayout = new QGridLayout(kuro);
    kuroLayout->addWidget(CheckChangeKuroTraceColor, 0, 0, 1, 3);
    kuroLayout->addWidget(PanelKuroTraceColor, 1, 0);
    kuroLayout->addWidget(ButtonKuroTraceColor, 1, 1);
    kuroLayout->setColumnStretch(2, 1);

    QFrame* gamut = MakeFrame(page);
    gamut->setObjectName("PanelGamut");
    CheckChangeGamut = MakeCheck(gamut, "CheckChangeGamut", "色の範囲を変更する(&G)");
    SpinGamutMax = MakeSpin(gamut, "SpinGamutMax", 128, 255);
    SpinGamutMin = MakeSpin(gamut, "SpinGamutMin", 0, 127);
    auto* gamutLayout = new QGridLayout(gamut);
    gamutLayout->addWidget(CheckChangeGamut, 0, 0, 1, 2);
    gamutLayout->addWidget(MakeLabel(gamut, "最大値"), 1, 0);
    gamutLayout->addWidget(SpinGamutMax, 1, 1);
    gamutLayout->addWidget(MakeLabel(gamut, "最小値"), 2, 0);
    gamutLayout->addWidget(SpinGamutMin, 2, 1);

    auto* combos = new QGridLayout;
    combos->addWidget(LabelOutputLayer, 0, 0);
    combos->addWidget(ComboOutputLayer, 0, 1);
    combos->addWidget(LabelMinimizeRate, 1, 0);
    combos->addWidget(ComboMinimizeRate, 1, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(RadioGroupOutputFormat);
    left->addWidget(CheckOpaque);
    left->addLayout(combos);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(kuro);
    right->addWidget(gamut);
    right->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left);
    layout->addLayout(right);
    return page;
}

QWidget* TFormOption::BuildExtraPage()
{
    auto* page = new QWidget;
    page->setObjectName("TabExtra");
    QLabel* heading = MakeLabel(page, "エクスポート時のおまけ機能");
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    CheckSanchika = MakeCheck(page, "CheckSanchika", "輪郭線を二値化する(&R)");
    PanelBackgroundColor = MakeColourPanel(page, "PanelBackgroundColor");
    ButtonBackgroundColor = MakeButton(page, "ButtonBackgroundColor", "変更(&C)...");

    auto* background = new QHBoxLayout;
    background->addSpacing(20);
    background->addWidget(MakeLabel(page, "背景色"));
    background->addWidget(PanelBackgroundColor);
    background->addWidget(ButtonBackgroundColor);
    background->addStretch(1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(heading);
    layout->addWidget(CheckSanchika);
    layout->addLayout(background);
    layout->addStretch(1);
    for (const char* note : {"ご注意!! このページは、保存されません。", "Huedraneを再起動すると無効になります。"}) {
        QLabel* label = MakeLabel(page, note);
        label->setStyleSheet(QStringLiteral("color: red;"));
        layout->addWidget(label);
    }
    return page;
}
