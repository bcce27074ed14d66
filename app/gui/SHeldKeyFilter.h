// The keys held down while the mouse works on the canvas (Space, Tab, Back Space, Enter, Insert,
// Delete), tracked by one event filter installed on the whole application, so a key counts wherever
// the focus is. Auto-repeat is ignored, and every key is forgotten when the program loses the focus
// (its release would go to another program). Shift and Ctrl are never tracked: their state comes
// with each mouse event, which stays right when a release went to a dialog the filter never saw.
#pragma once

#include "STools.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class QKeyEvent;

// The keys in effect for a mouse event: the tracked keys, with Shift and Ctrl from the event.
SHeldKeys KeysAtMouse(const SHeldKeys& held, Qt::KeyboardModifiers modifiers);

class SHeldKeyFilter : public QObject
{
    Q_OBJECT

public:
    explicit SHeldKeyFilter(QObject* parent = nullptr);

    // The keys held now; the reference stays valid for the filter's life.
    const SHeldKeys& Keys() const { return keys_; }
    // Every key up.
    void Forget() { keys_ = {}; }
    // While a key press goes to this window (or a widget in it), Tab is a tool key: it is recorded
    // but kept from moving the focus. Tab in other windows (dialogs) moves the focus as usual.
    void SetToolWindow(QWidget* window) { toolWindow_ = window; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Sets the key's flag; false for keys that are not tracked.
    bool Record(int key, bool down);
    bool InToolWindow(QObject* watched) const;

    SHeldKeys keys_;
    QPointer<QWidget> toolWindow_;
};
