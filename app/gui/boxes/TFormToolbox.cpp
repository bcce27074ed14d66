#include "TFormToolbox.h"

#include "SUiText.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPalette>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* MakeSpeedButton(QWidget* parent, QButtonGroup* group, const char* name, const char* caption)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(UiText(caption));
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setFixedSize(28, 28);
    group->addButton(button);
    return button;
}

QFrame* MakeWhitePanel(QWidget* parent, const char* name)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    panel->setPalette(palette);
    panel->setFixedSize(24, 24);
    return panel;
}

}  // namespace

TFormToolbox::TFormToolbox(QWidget* owner)
    : TToolBox("FormToolbox", "ツール", owner)
{
    GroupTool = new QButtonGroup(this);
    GroupTool->setExclusive(true);
    SpeedPaint = MakeSpeedButton(this, GroupTool, "SpeedPaint", "塗");
    SpeedTrace = MakeSpeedButton(this, GroupTool, "SpeedTrace", "線");
    SpeedAirbrush = MakeSpeedButton(this, GroupTool, "SpeedAirbrush", "吹");
    SpeedFix = MakeSpeedButton(this, GroupTool, "SpeedFix", "修");
    SpeedSpuit = MakeSpeedButton(this, GroupTool, "SpeedSpuit", "ス");
    SpeedHand = MakeSpeedButton(this, GroupTool, "SpeedHand", "手");
    SpeedMagnifier = MakeSpeedButton(this, GroupTool, "SpeedMagnifier", "拡");
    for (int i = 0; i < SpareToolCount; ++i) {
        SpeedSpare[std::size_t(i)] = MakeSpeedButton(this, GroupTool, "", "");
        SpeedSpare[std::size_t(i)]->setEnabled(false);
    }
    SpeedPaint->setChecked(true);

    GroupColourMode = new QButtonGroup(this);
    GroupColourMode->setExclusive(true);
    SpeedColour = MakeSpeedButton(this, GroupColourMode, "SpeedColour", "色");
    SpeedEraser = MakeSpeedButton(this, GroupColourMode, "SpeedEraser", "消");
    SpeedTexture = MakeSpeedButton(this, GroupColourMode, "SpeedTexture", "模");
    SpeedColour->setChecked(true);

    TrackBlender = new QSlider(Qt::Vertical, this);
    TrackBlender->setObjectName("TrackBlender");
    TrackBlender->setRange(0, 255);
    PanelBlender1 = MakeWhitePanel(this, "PanelBlender1");
    PanelBlender2 = MakeWhitePanel(this, "PanelBlender2");
    PanelBlender3 = MakeWhitePanel(this, "PanelBlender3");

    auto* tools = new QGridLayout;
    const auto buttons = GroupTool->buttons();
    for (int i = 0; i < buttons.size(); ++i)
        tools->addWidget(buttons[i], i / 2, i % 2);
    auto* modes = new QHBoxLayout;
    for (QAbstractButton* button : GroupColourMode->buttons())
        modes->addWidget(button);
    auto* panels = new QVBoxLayout;
    panels->addWidget(PanelBlender1);
    panels->addWidget(PanelBlender2);
    panels->addWidget(PanelBlender3);
    panels->addStretch(1);
    auto* blender = new QHBoxLayout;
    blender->addWidget(TrackBlender);
    blender->addLayout(panels);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addLayout(modes);
    layout->addLayout(blender, 1);
}
