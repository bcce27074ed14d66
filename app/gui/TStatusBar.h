// The main window's status bar: five owner-drawn panels (colour mode, quick palette, mouse position,
// zoom, trace pen). Clicks on the colour mode, quick palette and pen panels change the tool state.
#pragma once

#include "SGeometry.h"
#include "STools.h"

#include <QRect>
#include <QStatusBar>
#include <QString>

class SHuedraneController;

class TStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    static constexpr int PanelCount = 5;
    static constexpr int PanelWidths[PanelCount] = {128, 264, 64, 64, 50};
    static constexpr int MessageInset = 6;  // the gap between the last panel and a message

    // The held keys belong to the window's key filter and must outlive the bar.
    TStatusBar(SHuedraneController& controller, const SHeldKeys& keys, QWidget* parent = nullptr);

    // Panel 2: the document position under the mouse, or nothing when it is off the document.
    void SetPosition(ulib::SPoint documentPoint, bool over);
    // Redraws every panel from the controller (colour, palette, zoom, pen).
    void Refresh();

    // A panel's rectangle in the bar; valid before the first paint too. The position panel is
    // widened to hold the largest coordinates a document can have in the bar's font.
    QRect PanelRect(int index) const;
    // Where hints and command reports are written: the rest of the bar after the panels.
    QRect MessageRect() const;
    // The text a panel shows (empty for the palette and pen panels).
    QString PanelText(int index) const;

signals:
    // A click changed the colour mode, the current colour or the quick palette.
    void ColourChanged();
    // A click changed the trace pen.
    void PenChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    QSize sizeHint() const override;
    void changeEvent(QEvent* event) override;

private:
    int PanelWidth(int index) const;
    void MeasurePositionPanel();
    void ClickColourMode();
    void ClickQuickPalette(int offset);
    void ClickPen();

    SHuedraneController& controller_;
    const SHeldKeys& keys_;
    ulib::SPoint position_;
    bool positionShown_ = false;
    int positionWidth_ = PanelWidths[2];  // the position panel's width in the bar's font
};
