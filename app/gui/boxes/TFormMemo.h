// TFormMemo: the memo box, editing the lines of text the document carries. The edit is filled from
// the cel's memo when the box is shown and written back when it is hidden.
#pragma once

#include "TToolBox.h"

#include <QString>

class QPlainTextEdit;
class QPushButton;
class SHuedraneController;

class TFormMemo : public TToolBox
{
    Q_OBJECT

public:
    TFormMemo(SHuedraneController& controller, QWidget* owner);

    // Fills the edit with the cel's memo, one line per entry.
    void LoadMemo();
    // Writes the edit back into the cel's memo when it was edited since it was filled: one entry per
    // line, none for an empty edit. A memo that really changed marks the document modified (it is
    // saved with the document) and asks for the title to be brought up to date. The main window
    // calls it before saving while the box is shown.
    void StoreMemo();

    QPlainTextEdit* MemoMain = nullptr;
    QPushButton* ButtonClear = nullptr;  // "消去": laid out, no action

protected:
    void FormShow() override;
    void FormHide() override;

private:
    SHuedraneController& controller_;
    // The text the edit was last filled with or stored from: an edit left as it was keeps the memo
    // exactly, even where text cannot tell an empty memo from one empty line.
    QString syncedText_;
};
