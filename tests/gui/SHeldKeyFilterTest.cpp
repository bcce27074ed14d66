// The held-key filter: keys pressed and released anywhere in the program, auto-repeat, losing the
// focus, and Tab kept from the main window's focus chain.
#include "SHeldKeyFilter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace {

// A widget that remembers the keys it was given.
class KeyRecorder : public QWidget
{
public:
    using QWidget::QWidget;
    std::vector<int> pressed;

protected:
    void keyPressEvent(QKeyEvent* event) override { pressed.push_back(event->key()); }
};

class HeldKeys : public ::testing::Test
{
protected:
    void SetUp() override { qApp->installEventFilter(&filter); }
    void TearDown() override { qApp->removeEventFilter(&filter); }

    void Key(QWidget& target, QEvent::Type type, int key, bool autoRepeat = false)
    {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(&target, &event);
    }
    void Press(QWidget& target, int key) { Key(target, QEvent::KeyPress, key); }
    void Release(QWidget& target, int key) { Key(target, QEvent::KeyRelease, key); }

    SHeldKeyFilter filter;
};

TEST_F(HeldKeys, EachToolKeyIsHeldFromPressToRelease)
{
    KeyRecorder widget;
    struct Case { int key; bool SHeldKeys::*flag; };
    const Case cases[] = {
        {Qt::Key_Space, &SHeldKeys::space},    {Qt::Key_Tab, &SHeldKeys::tab},
        {Qt::Key_Backspace, &SHeldKeys::backSpace}, {Qt::Key_Return, &SHeldKeys::enter},
        {Qt::Key_Enter, &SHeldKeys::enter},    {Qt::Key_Insert, &SHeldKeys::insert},
        {Qt::Key_Delete, &SHeldKeys::del},
    };
    for (const Case& c : cases) {
        Press(widget, c.key);
        EXPECT_TRUE(filter.Keys().*c.flag) << c.key;
        Release(widget, c.key);
        EXPECT_FALSE(filter.Keys().*c.flag) << c.key;
    }
    // Two keys at once stay apart; other keys change nothing.
    Press(widget, Qt::Key_Space);
    Press(widget, Qt::Key_Delete);
    Press(widget, Qt::Key_A);
    Release(widget, Qt::Key_Delete);
    EXPECT_TRUE(filter.Keys().space);
    EXPECT_FALSE(filter.Keys().del);
    // Nothing is kept from the widget (no tool window is set).
    EXPECT_EQ(widget.pressed.size(), std::size(cases) + 3);
}

TEST_F(HeldKeys, ModifiersComeFromTheMouseEventOnly)
{
    KeyRecorder widget;
    // A Ctrl or Shift press whose release went to a window the filter never saw (a native file
    // dialog) must not stay held.
    Press(widget, Qt::Key_Control);
    Press(widget, Qt::Key_Shift);
    Press(widget, Qt::Key_Space);
    const SHeldKeys plain = KeysAtMouse(filter.Keys(), Qt::NoModifier);
    EXPECT_FALSE(plain.ctrl || plain.shift);
    EXPECT_TRUE(plain.space);
    const SHeldKeys both = KeysAtMouse(filter.Keys(), Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(both.ctrl && both.shift && both.space);
}

TEST_F(HeldKeys, AutoRepeatDoesNotReleaseAHeldKey)
{
    KeyRecorder widget;
    Press(widget, Qt::Key_Space);
    // A held key repeats as release and press pairs marked as repeats.
    Key(widget, QEvent::KeyRelease, Qt::Key_Space, true);
    EXPECT_TRUE(filter.Keys().space);
    Key(widget, QEvent::KeyPress, Qt::Key_Space, true);
    Release(widget, Qt::Key_Space);
    EXPECT_FALSE(filter.Keys().space);
}

TEST_F(HeldKeys, LosingTheFocusForgetsEveryKey)
{
    KeyRecorder widget;
    Press(widget, Qt::Key_Space);
    Press(widget, Qt::Key_Insert);
    Press(widget, Qt::Key_Delete);
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QApplication::sendEvent(qApp, &deactivate);
    const SHeldKeys& keys = filter.Keys();
    EXPECT_FALSE(keys.space || keys.insert || keys.del || keys.tab || keys.enter);
}

TEST_F(HeldKeys, TabIsKeptFromTheToolWindowOnly)
{
    QWidget main;
    auto* canvas = new KeyRecorder(&main);
    KeyRecorder dialog;
    filter.SetToolWindow(&main);

    Press(*canvas, Qt::Key_Tab);
    EXPECT_TRUE(filter.Keys().tab);
    EXPECT_TRUE(canvas->pressed.empty());  // would have moved the focus
    Release(*canvas, Qt::Key_Tab);
    EXPECT_FALSE(filter.Keys().tab);

    // Elsewhere Tab still counts as held, and goes on to move the focus.
    Press(dialog, Qt::Key_Tab);
    EXPECT_TRUE(filter.Keys().tab);
    EXPECT_EQ(dialog.pressed, std::vector<int>{Qt::Key_Tab});
    Release(dialog, Qt::Key_Tab);
}

}  // namespace
