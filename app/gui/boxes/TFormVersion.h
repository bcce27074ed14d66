// TFormVersion: the about box, created by the main window's about command, shown modally and
// destroyed after it closes. Shows the program's name and version, its maker and the notices of the
// libraries it links.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TFormVersion : public QDialog
{
    Q_OBJECT

public:
    explicit TFormVersion(QWidget* owner);

    QFrame* PanelFrame = nullptr;
    QLabel* ProgramIcon = nullptr;   // 32 x 32
    QLabel* ProductName = nullptr;   // "Huedrane ver1.4", 24-pixel font
    QLabel* Copyright = nullptr;     // the maker line
    QPlainTextEdit* MemoNotice = nullptr;
    QPushButton* ButtonOk = nullptr;
};
