#include "TFormTexture.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QVBoxLayout>

TFormTexture::TFormTexture(QWidget* owner)
    : TToolBox("FormTexture", "テクスチャー", owner)
{
    ListView = new QListWidget(this);
    ListView->setObjectName("ListView");
    ListView->setViewMode(QListView::IconMode);

    GridTextrue = new QTableWidget(0, 2, this);
    GridTextrue->setObjectName("GridTextrue");
    GridTextrue->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);

    PanelPreview = new QFrame(this);
    PanelPreview->setObjectName("PanelPreview");
    PanelPreview->setFrameShape(QFrame::StyledPanel);
    PanelPreview->setFrameShadow(QFrame::Sunken);
    PaintPreview = new QLabel(PanelPreview);
    PaintPreview->setObjectName("PaintPreview");
    PaintPreview->setMinimumSize(64, 64);
    auto* panelLayout = new QVBoxLayout(PanelPreview);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    panelLayout->addWidget(PaintPreview);

    auto* right = new QVBoxLayout;
    right->addWidget(GridTextrue, 1);
    right->addWidget(PanelPreview);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(ListView, 1);
    layout->addLayout(right, 1);
}
