// The held-key filter.
#include "SHeldKeyFilter.h"

#include <QGuiApplication>
#include <QKeyEvent>

SHeldKeys KeysAtMouse(const SHeldKeys& held, Qt::KeyboardModifiers modifiers)
{
    SHeldKeys keys = held;
    keys.shift = modifiers.testFlag(Qt::ShiftModifier);
    keys.ctrl = modifiers.testFlag(Qt::ControlModifier);
    return keys;
}

SHeldKeyFilter::SHeldKeyFilter(QObject* parent) : QObject(parent) {}

bool SHeldKeyFilter::Record(int key, bool down)
{
    bool* flag = nullptr;
    switch (key) {
    case Qt::Key_Space: flag = &keys_.space; break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: flag = &keys_.tab; break;  // Shift+Tab arrives as Backtab
    case Qt::Key_Backspace: flag = &keys_.backSpace; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: flag = &keys_.enter; break;
    case Qt::Key_Insert: flag = &keys_.insert; break;
    case Qt::Key_Delete: flag = &keys_.del; break;
    default: return false;
    }
    *flag = down;
    return true;
}

bool SHeldKeyFilter::InToolWindow(QObject* watched) const
{
    if (!toolWindow_ || !watched->isWidgetType())
        return false;
    return static_cast<QWidget*>(watched)->window() == toolWindow_;
}

bool SHeldKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // A key event passes here once for every widget it propagates to; setting a flag twice
        // is harmless.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat())
            break;
        const bool down = event->type() == QEvent::KeyPress;
        const bool tracked = Record(key->key(), down);
        // Tab is a tool key over the main window: it must not move the focus there.
        const bool isTab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tracked && isTab && InToolWindow(watched))
            return true;
        break;
    }
    case QEvent::ApplicationDeactivate:
        // The release of a key held while the program loses the focus never arrives here.
        Forget();
        break;
    case QEvent::ApplicationStateChange:
        if (QCoreApplication::instance() && watched == QCoreApplication::instance()) {
            auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
            if (app && app->applicationState() != Qt::ApplicationActive)
                Forget();
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
