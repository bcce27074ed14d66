// TFormTexture: the texture box. It is laid out but has no behaviour yet; the main window keeps its
// menu item and tool button hidden.
#pragma once

#include "TToolBox.h"

class QFrame;
class QLabel;
class QListWidget;
class QTableWidget;

class TFormTexture : public TToolBox
{
    Q_OBJECT

public:
    explicit TFormTexture(QWidget* owner);

    QListWidget* ListView = nullptr;
    QTableWidget* GridTextrue = nullptr;  // two columns, editable
    QFrame* PanelPreview = nullptr;
    QLabel* PaintPreview = nullptr;
};
