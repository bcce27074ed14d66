// TFormToolbox: the tool box, a floating alternative to the tool bar. It is laid out but nothing is
// connected to it yet; the main window keeps its menu item and tool button hidden.
#pragma once

#include "TToolBox.h"

#include <array>

class QButtonGroup;
class QFrame;
class QSlider;
class QToolButton;

class TFormToolbox : public TToolBox
{
    Q_OBJECT

public:
    explicit TFormToolbox(QWidget* owner);

    static constexpr int SpareToolCount = 3;

    // Tools: paint, trace, airbrush, fix, spuit, hand, magnifier, then the spare buttons; one
    // exclusive group.
    QToolButton* SpeedPaint = nullptr;
    QToolButton* SpeedTrace = nullptr;
    QToolButton* SpeedAirbrush = nullptr;
    QToolButton* SpeedFix = nullptr;
    QToolButton* SpeedSpuit = nullptr;
    QToolButton* SpeedHand = nullptr;
    QToolButton* SpeedMagnifier = nullptr;
    std::array<QToolButton*, SpareToolCount> SpeedSpare{};
    QButtonGroup* GroupTool = nullptr;

    // Colour modes: colour, eraser, texture; a second exclusive group.
    QToolButton* SpeedColour = nullptr;
    QToolButton* SpeedEraser = nullptr;
    QToolButton* SpeedTexture = nullptr;
    QButtonGroup* GroupColourMode = nullptr;

    QSlider* TrackBlender = nullptr;  // vertical, 0..255
    QFrame* PanelBlender1 = nullptr;
    QFrame* PanelBlender2 = nullptr;
    QFrame* PanelBlender3 = nullptr;
};
