// The windows in an English run: the program's translation built in, every caption, hint and
// label of the main window and the options dialog in English, the language choice in the options.
#include "FormMainFixture.h"

#include "SLanguage.h"
#include "TStatusBar.h"
#include "TFormOption.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTranslator>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ulib;

namespace {

bool HasJapanese(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

class EnglishWindow : public FormMainFixture
{
protected:
    void SetUp() override
    {
        FormMainFixture::SetUp();
        SetLanguage(SLanguage::English);
        ASSERT_TRUE(english_.load(QStringLiteral(":/i18n/huedrane_en.qm")));
        qApp->installTranslator(&english_);
    }
    void TearDown() override
    {
        qApp->removeTranslator(&english_);
        ClearLanguage();
        FormMainFixture::TearDown();
    }

    // Every text a user can read on the widget's children that is still Japanese.
    static std::vector<std::string> JapaneseLeft(const QWidget& root)
    {
        std::vector<std::string> left;
        const auto check = [&](const QString& text, const QObject* owner) {
            // A language's own name stays as it is.
            if (HasJapanese(text) && text != QString::fromUtf8("日本語"))
                left.push_back(owner->objectName().toStdString() + ": " + text.toStdString());
        };
        for (const QAction* action : root.findChildren<QAction*>()) {
            check(action->text(), action);
            check(action->toolTip(), action);
            check(action->statusTip(), action);
        }
        for (const QLabel* label : root.findChildren<QLabel*>())
            check(label->text(), label);
        for (const QAbstractButton* button : root.findChildren<QAbstractButton*>())
            check(button->text(), button);
        for (const QComboBox* combo : root.findChildren<QComboBox*>())
            for (int i = 0; i < combo->count(); ++i)
                check(combo->itemText(i), combo);
        for (const QTabWidget* tabs : root.findChildren<QTabWidget*>())
            for (int i = 0; i < tabs->count(); ++i)
                check(tabs->tabText(i), tabs);
        for (const QWidget* widget : root.findChildren<QWidget*>()) {
            check(widget->windowTitle(), widget);
            check(widget->toolTip(), widget);
        }
        return left;
    }

    QTranslator english_;
};

TEST_F(EnglishWindow, MenusToolBarsBoxesAndOptionsAreAllEnglish)
{
    TFormMain window(c_, keys_, SString("/usr/bin/huedrane-test"));
    EXPECT_EQ(window.Action("MenuFileMain")->text(), QStringLiteral("&File"));
    EXPECT_EQ(window.Action("MenuOpen")->text(), QStringLiteral("&Open..."));
    // The shortcuts are the same keys in both languages.
    EXPECT_EQ(window.Action("MenuOpen")->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(JapaneseLeft(window), std::vector<std::string>());
    for (const SColourMode mode : {SColourMode::Eraser, SColourMode::Bitmap}) {
        c_.SetColourMode(mode);
        EXPECT_FALSE(HasJapanese(window.StatusPanels()->PanelText(0))) << window.StatusPanels()->PanelText(0).toStdString();
    }

    TFormOption options(c_, &window);
    EXPECT_EQ(JapaneseLeft(options), std::vector<std::string>());
}

TEST_F(EnglishWindow, TheOptionsKeepTheLanguageChosenForTheNextStart)
{
    {
        TFormOption options(c_, form_.get());
        options.show();
        auto* combo = options.findChild<QComboBox*>("ComboLanguage");
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->currentIndex(), 0);  // the system's language
        EXPECT_EQ(combo->itemText(1), QString::fromUtf8("日本語"));
        combo->setCurrentIndex(2);
        options.ButtonOk->click();
    }
    EXPECT_EQ(c_.Window().language, SString("en"));
    TFormOption again(c_, form_.get());
    again.show();
    EXPECT_EQ(again.findChild<QComboBox*>("ComboLanguage")->currentIndex(), 2);
}

}  // namespace
