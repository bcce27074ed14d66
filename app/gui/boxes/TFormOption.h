// TFormOption: the options dialog. Four pages edit the controller's options record: the picture
// plug-in folder, the import options, the export options and two export extras that last until the
// program ends. The record is copied into the controls when the dialog is shown and back only on OK.
#pragma once

#include "SColor.h"

#include <QDialog>
#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class SHuedraneController;

// A framed group of radio buttons chosen by item index: -1 when none is chosen. The buttons are
// named "<group name>Item<i>".
class TRadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    TRadioGroup(const char* objectName, const QString& caption, const QStringList& items, QWidget* parent);

    int ItemIndex() const;
    // Chooses item index; any index outside the items clears the choice.
    void SetItemIndex(int index);
    int ItemCount() const;

private:
    QButtonGroup* group_ = nullptr;
};

class TFormOption : public QDialog
{
    Q_OBJECT

public:
    TFormOption(SHuedraneController& controller, QWidget* owner);

    // The colour a panel shows, and showing one.
    static ulib::SColor PanelColour(const QFrame* panel);
    static void SetPanelColour(QFrame* panel, ulib::SColor colour);

    QTabWidget* PageControl = nullptr;
    QWidget* TabMain = nullptr;
    QWidget* TabImport = nullptr;
    QWidget* TabExport = nullptr;
    QWidget* TabExtra = nullptr;

    // Main page.
    QLabel* LabelSpiFolder = nullptr;
    QLineEdit* EditSpiFolder = nullptr;
    QPushButton* ButtonSpiFolder = nullptr;
    QSpinBox* SpinFillGap = nullptr;
    QSpinBox* SpinMinSpeck = nullptr;
    QCheckBox* CheckIncludeEdge = nullptr;
    QCheckBox* CheckBeforeExport = nullptr;

    // Import page.
    QCheckBox* CheckInLevel = nullptr;
    QSpinBox* SpinInLevelMax = nullptr;
    QSpinBox* SpinInLevelMin = nullptr;
    TRadioGroup* RadioGengaCompress = nullptr;
    QCheckBox* CheckImportBinarize = nullptr;
    QCheckBox* CheckImportAntiHole = nullptr;

    // Export page.
    TRadioGroup* RadioGroupOutputFormat = nullptr;
    QCheckBox* CheckOpaque = nullptr;
    QLabel* LabelOutputLayer = nullptr;
    QComboBox* ComboOutputLayer = nullptr;
    QComboBox* ComboLanguage = nullptr;  // the system's, Japanese, English
    QSpinBox* SpinUndoSteps = nullptr;
    QSpinBox* SpinUndoMemory = nullptr;  // megabytes
    QSpinBox* SpinAutosaveSteps = nullptr;
    QSpinBox* SpinAutosaveSeconds = nullptr;
    QLabel* LabelUndoInUse = nullptr;    // the memory the undo steps hold now
    QLabel* LabelMinimizeRate = nullptr;
    QComboBox* ComboMinimizeRate = nullptr;
    QCheckBox* CheckChangeKuroTraceColor = nullptr;
    QFrame* PanelKuroTraceColor = nullptr;
    QPushButton* ButtonKuroTraceColor = nullptr;
    QCheckBox* CheckChangeGamut = nullptr;
    QSpinBox* SpinGamutMax = nullptr;
    QSpinBox* SpinGamutMin = nullptr;

    // The extras page (not saved).
    QCheckBox* CheckSanchika = nullptr;
    QFrame* PanelBackgroundColor = nullptr;
    QPushButton* ButtonBackgroundColor = nullptr;

    QPushButton* ButtonOk = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QPushButton* ButtonHelp = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* BuildMainPage();
    QWidget* BuildImportPage();
    QWidget* BuildExportPage();
    QWidget* BuildExtraPage();

    // Copies the record into the controls.
    void FormShow();
    void ButtonOkClick();
    void ButtonHelpClick();
    void ButtonSpiFolderClick();
    void CheckInLevelClick();
    void CheckChangeKuroTraceColorClick();
    void CheckChangeGamutClick();
    void CheckSanchikaClick();
    void ButtonKuroTraceColorClick();
    void ButtonBackgroundColorClick();
    // The colour dialog for a panel, sharing the quick palette as its custom colours.
    void ChoosePanelColour(QFrame* panel);

    SHuedraneController& controller_;
};
