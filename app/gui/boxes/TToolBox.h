// The frame shared by the tool boxes (palette, chart, brush, memo, texture, tool box): a tool window
// that stays above the main window, or the content of a dock widget of the main window once it is
// docked; its menu item carries a check mark and its tool button is held down exactly while the
// box is shown.
#pragma once

#include <QPointer>
#include <QWidget>

#include <cstdint>

class QAction;
class QDockWidget;

class TToolBox : public QWidget
{
    Q_OBJECT

public:
    TToolBox(const char* objectName, const char* caption, QWidget* owner);

    // The main window's menu item and tool button that show the box's visibility (either may be null).
    void SetToggles(QAction* menuItem, QAction* toolButton);
    // Puts the box into the main window's dock widget, which shows and hides it from then on.
    void SetDock(QDockWidget* dock);
    // The window part that shows the box: its dock widget once docked, else the box itself.
    QWidget* Frame();
    // Shows a hidden box and hides a shown one.
    void Toggle();

signals:
    // Parts of the main window the box left out of date (main_refresh bits).
    void MainRefresh(std::uint32_t parts);

protected:
    // Called after the toggles were checked, and before they are released.
    virtual void FormShow() {}
    virtual void FormHide() {}

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void SetChecked(bool checked);

    QDockWidget* dock_ = nullptr;
    // Guarded: a floating box is hidden while the window tears down, after its actions are gone.
    QPointer<QAction> menuItem_;
    QPointer<QAction> toolButton_;
};
