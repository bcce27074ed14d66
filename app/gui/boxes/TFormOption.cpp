// The options dialog's behaviour: copying the record in and out, the enabling of the controls that
// depend on check boxes, and the colour, folder and help buttons. The pages are built in
// TFormOptionPages.cpp.
#include "TFormOption.h"

#include "SColorDialog.h"
#include "SError.h"
#include "SFolderDialog.h"
#include "SHelp.h"
#include "SHuedraneController.h"
#include "SLanguage.h"
#include "SUiText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr std::int32_t HelpContext = 1001;
constexpr const char* ColourProperty = "huedraneColour";

QString Text(const char* japanese)
{
    return UiText(japanese);
}

// Selects an item by index; an index the combo does not have leaves it without a selection.
void SetComboIndex(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

}  // namespace

// ---- TRadioGroup ----

TRadioGroup::TRadioGroup(const char* objectName, const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent)
{
    setObjectName(objectName);
    group_ = new QButtonGroup(this);
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setObjectName(QString::fromUtf8(objectName) + QStringLiteral("Item") + QString::number(i));
        group_->addButton(button, i);
        layout->addWidget(button);
    }
}

int TRadioGroup::ItemIndex() const
{
    return group_->checkedId();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (QAbstractButton* button = group_->button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group never unchecks its last button by itself.
    group_->setExclusive(false);
    for (QAbstractButton* button : group_->buttons())
        button->setChecked(false);
    group_->setExclusive(true);
}

int TRadioGroup::ItemCount() const
{
    return static_cast<int>(group_->buttons().size());
}

// ---- TFormOption ----

TFormOption::TFormOption(SHuedraneController& controller, QWidget* owner)
    : QDialog(owner), controller_(controller)
{
    setObjectName("FormOption");
    setWindowTitle(Text("オプション"));

    PageControl = new QTabWidget(this);
    PageControl->setObjectName("PageControl");
    TabMain = BuildMainPage();
    TabImport = BuildImportPage();
    TabExport = BuildExportPage();
    TabExtra = BuildExtraPage();
    PageControl->addTab(TabMain, Text("基本設定"));
    PageControl->addTab(TabImport, Text("インポート"));
    PageControl->addTab(TabExport, Text("エクスポート"));
    PageControl->addTab(TabExtra, Text("おまけ機能"));
    PageControl->setCurrentIndex(0);

    ButtonOk = new QPushButton(QStringLiteral("OK"), this);
    ButtonOk->setObjectName("ButtonOk");
    ButtonOk->setDefault(true);
    ButtonCancel = new QPushButton(Text("キャンセル"), this);
    ButtonCancel->setObjectName("ButtonCancel");
    ButtonHelp = new QPushButton(Text("ヘルプ(&H)"), this);
    ButtonHelp->setObjectName("ButtonHelp");
    for (QPushButton* button : {ButtonCancel, ButtonHelp})
        button->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ButtonOk);
    buttons->addWidget(ButtonCancel);
    buttons->addWidget(ButtonHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl, 1);
    layout->addLayout(buttons);

    connect(ButtonOk, &QPushButton::clicked, this, [this] { ButtonOkClick(); });
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ButtonHelp, &QPushButton::clicked, this, [this] { ButtonHelpClick(); });
    connect(ButtonSpiFolder, &QPushButton::clicked, this, [this] { ButtonSpiFolderClick(); });
    connect(ButtonKuroTraceColor, &QPushButton::clicked, this, [this] { ButtonKuroTraceColorClick(); });
    connect(ButtonBackgroundColor, &QPushButton::clicked, this, [this] { ButtonBackgroundColorClick(); });
    // Toggled rather than clicked, so the rule also holds when the record is copied in.
    connect(CheckInLevel, &QCheckBox::toggled, this, [this] { CheckInLevelClick(); });
    connect(CheckChangeKuroTraceColor, &QCheckBox::toggled, this, [this] { CheckChangeKuroTraceColorClick(); });
    connect(CheckChangeGamut, &QCheckBox::toggled, this, [this] { CheckChangeGamutClick(); });
    connect(CheckSanchika, &QCheckBox::toggled, this, [this] { CheckSanchikaClick(); });
}

ulib::SColor TFormOption::PanelColour(const QFrame* panel)
{
    return ulib::SColor::FromValue(panel->property(ColourProperty).toUInt());
}

void TFormOption::SetPanelColour(QFrame* panel, ulib::SColor colour)
{
    panel->setProperty(ColourProperty, colour.Value());
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, QColor(colour.r, colour.g, colour.b));
    panel->setPalette(palette);
    panel->setAutoFillBackground(true);
}

void TFormOption::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormOption::FormShow()
{
    const SHuedraneOptions& o = controller_.Options();
    EditSpiFolder->setText(QString::fromStdString(o.spiDirectory.Str()));
    SpinFillGap->setValue(controller_.Tools().fillGap);
    SpinMinSpeck->setValue(controller_.CheckOptions().minSpeck);
    CheckIncludeEdge->setChecked(controller_.CheckOptions().includeEdge);
    CheckBeforeExport->setChecked(controller_.CheckBeforeExport());
    SpinUndoSteps->setValue(controller_.UndoSteps());
    SpinUndoMemory->setValue(controller_.UndoMegabytes());
    SpinAutosaveSteps->setValue(controller_.AutosaveSteps());
    SpinAutosaveSeconds->setValue(controller_.AutosaveSeconds());
    const double inUse = double(controller_.UndoBuffer().MemoryInUse()) / (1 << 20);
    LabelUndoInUse->setText(QString::fromStdString(
        ulib::FormatText("現在の使用量: %1 MB", {QString::number(inUse, 'f', 1).toStdString()})));
    const ulib::SString& language = controller_.Window().language;
    ComboLanguage->setCurrentIndex(language == ulib::SString("ja") ? 1 : language == ulib::SString("en") ? 2 : 0);
    CheckInLevel->setChecked(o.importLevelEnabled);
    SpinInLevelMax->setValue(o.importLevelWhite);
    SpinInLevelMin->setValue(o.importLevelBlack);
    RadioGengaCompress->SetItemIndex(o.importGengaCompress);
    RadioGroupOutputFormat->SetItemIndex(o.exportFormat);
    CheckOpaque->setChecked(o.export24Bit);
    SetComboIndex(ComboOutputLayer, o.exportTargetLayers);
    if (o.exportMinimizeRate > 0)
        SetComboIndex(ComboMinimizeRate, o.exportMinimizeRate - 1);
    CheckChangeKuroTraceColor->setChecked(o.exportBlackTraceEnabled);
    SetPanelColour(PanelKuroTraceColor, o.exportBlackTraceColour);
    CheckChangeGamut->setChecked(o.exportGamutEnabled);
    SpinGamutMax->setValue(o.exportGamutMax);
    SpinGamutMin->setValue(o.exportGamutMin);
    CheckSanchika->setChecked(o.exportBinarizeOutline);
    SetPanelColour(PanelBackgroundColor, o.exportBackgroundColour);
    CheckImportBinarize->setChecked(o.importBinarize);
    CheckImportAntiHole->setChecked(o.importAntiHole);

    CheckInLevelClick();
    CheckChangeKuroTraceColorClick();
    CheckChangeGamutClick();
    CheckSanchikaClick();
}

void TFormOption::ButtonOkClick()
{
    SHuedraneOptions o = controller_.Options();
    o.spiDirectory = ulib::SString(EditSpiFolder->text().toStdString());
    o.importLevelEnabled = CheckInLevel->isChecked();
    o.importLevelWhite = SpinInLevelMax->value();
    o.importLevelBlack = SpinInLevelMin->value();
    o.importGengaCompress = RadioGengaCompress->ItemIndex();
    o.exportFormat = RadioGroupOutputFormat->ItemIndex();
    o.export24Bit = CheckOpaque->isChecked();
    o.exportTargetLayers = ComboOutputLayer->currentIndex();
    // "等倍" is divisor 1; no selection gives 0, which also means full size.
    o.exportMinimizeRate = ComboMinimizeRate->currentIndex() + 1;
    o.exportBlackTraceEnabled = CheckChangeKuroTraceColor->isChecked();
    o.exportBlackTraceColour = PanelColour(PanelKuroTraceColor);
    o.exportGamutEnabled = CheckChangeGamut->isChecked();
    o.exportGamutMax = SpinGamutMax->value();
    o.exportGamutMin = SpinGamutMin->value();
    o.exportBinarizeOutline = CheckSanchika->isChecked();
    o.exportBackgroundColour = PanelColour(PanelBackgroundColor);
    o.importBinarize = CheckImportBinarize->isChecked();
    o.importAntiHole = CheckImportAntiHole->isChecked();
    controller_.SetOptions(o);
    controller_.SetFillGap(SpinFillGap->value());
    controller_.SetCheckOptions({SpinMinSpeck->value(), CheckIncludeEdge->isChecked()});
    controller_.SetCheckBeforeExport(CheckBeforeExport->isChecked());
    controller_.SetUndoLimits(SpinUndoSteps->value(), SpinUndoMemory->value());
    controller_.SetAutosaveLimits(SpinAutosaveSteps->value(), SpinAutosaveSeconds->value());
    SMainWindowState window = controller_.Window();
    const char* const languages[] = {"", "ja", "en"};
    window.language = ulib::SString(languages[std::clamp(ComboLanguage->currentIndex(), 0, 2)]);
    controller_.SetWindow(window);
    accept();
}

void TFormOption::ButtonHelpClick()
{
    // A missing manual is reported as the Help menu reports it, rather than ignored.
    if (const ulib::SError err = ulib::ShowHelp(HelpContext))
        ulib::ReportError(err);
}

void TFormOption::ButtonSpiFolderClick()
{
    ulib::SFolderDialog dialog;
    dialog.folder = ulib::SString(EditSpiFolder->text().toStdString());
    dialog.prompt = ulib::SString("SPIの検索フォルダ");
    dialog.owner = static_cast<QWidget*>(this);
    if (dialog.Execute())
        EditSpiFolder->setText(QString::fromStdString(dialog.folder.Str()));
}

void TFormOption::CheckInLevelClick()
{
    SpinInLevelMax->setEnabled(CheckInLevel->isChecked());
    SpinInLevelMin->setEnabled(CheckInLevel->isChecked());
}

void TFormOption::CheckChangeKuroTraceColorClick()
{
    ButtonKuroTraceColor->setEnabled(CheckChangeKuroTraceColor->isChecked());
}

void TFormOption::CheckChangeGamutClick()
{
    SpinGamutMax->setEnabled(CheckChangeGamut->isChecked());
    SpinGamutMin->setEnabled(CheckChangeGamut->isChecked());
}

void TFormOption::CheckSanchikaClick()
{
    ButtonBackgroundColor->setEnabled(CheckSanchika->isChecked());
}

void TFormOption::ButtonKuroTraceColorClick()
{
    ChoosePanelColour(PanelKuroTraceColor);
}

void TFormOption::ButtonBackgroundColorClick()
{
    ChoosePanelColour(PanelBackgroundColor);
}

void TFormOption::ChoosePanelColour(QFrame* panel)
{
    ulib::SColorDialog dialog;
    dialog.colour = PanelColour(panel);
    dialog.customColours = controller_.QuickPalette();
    dialog.owner = static_cast<QWidget*>(this);
    const bool chosen = dialog.Execute();
    // The custom colours are the quick palette: edits made there stay even when cancelled.
    controller_.SetQuickPalette(dialog.customColours);
    if (chosen)
        SetPanelColour(panel, dialog.colour);
}
