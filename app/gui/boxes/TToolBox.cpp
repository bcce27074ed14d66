#include "TToolBox.h"

#include "SUiText.h"

#include <QAction>
#include <QDockWidget>
#include <QHideEvent>
#include <QShowEvent>

TToolBox::TToolBox(const char* objectName, const char* caption, QWidget* owner)
    : QWidget(owner, Qt::Tool)
{
    setObjectName(QString::fromUtf8(objectName));
    setWindowTitle(UiText(caption));
}

void TToolBox::SetToggles(QAction* menuItem, QAction* toolButton)
{
    menuItem_ = menuItem;
    toolButton_ = toolButton;
    for (QAction* action : {menuItem_, toolButton_})
        if (action)
            action->setCheckable(true);
    SetChecked(isVisible());
}

void TToolBox::SetDock(QDockWidget* dock)
{
    dock_ = dock;
    dock_->setWidget(this);
    // Shown with the dock from now on; the dock alone is hidden and shown.
    setVisible(true);
}

QWidget* TToolBox::Frame()
{
    return dock_ ? static_cast<QWidget*>(dock_) : this;
}

void TToolBox::Toggle()
{
    QWidget* frame = Frame();
    frame->setVisible(!frame->isVisible());
    // A box brought back floating somewhere else comes to the front.
    if (frame->isVisible() && frame->isWindow())
        frame->raise();
}

void TToolBox::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The window system hides and shows tool windows with a minimised owner; only the program's
    // own showing and hiding count.
    if (event->spontaneous())
        return;
    SetChecked(true);
    FormShow();
}

void TToolBox::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    FormHide();
    SetChecked(false);
}

void TToolBox::SetChecked(bool checked)
{
    for (QAction* action : {menuItem_, toolButton_})
        if (action)
            action->setChecked(checked);
}
