#include "TFormMemo.h"

#include "SHuedraneController.h"
#include "SMainWindowRules.h"
#include "SUiText.h"

#include <QFont>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>

TFormMemo::TFormMemo(SHuedraneController& controller, QWidget* owner)
    : TToolBox("FormMemo", "メモ", owner), controller_(controller)
{
    MemoMain = new QPlainTextEdit(this);
    MemoMain->setObjectName("MemoMain");
    MemoMain->setTabChangesFocus(false);  // a tab key types a tab
    MemoMain->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font = MemoMain->font();
    font.setPixelSize(16);
    MemoMain->setFont(font);

    ButtonClear = new QPushButton(UiText("消去"), this);
    ButtonClear->setObjectName("ButtonClear");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ButtonClear);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MemoMain, 1);
    layout->addLayout(buttons);
    resize(320, 240);
}

void TFormMemo::FormShow()
{
    LoadMemo();
}

void TFormMemo::FormHide()
{
    StoreMemo();
}

void TFormMemo::LoadMemo()
{
    QStringList lines;
    const auto& memo = controller_.Cel().memo;
    for (std::int32_t i = 0; i < memo.Count(); ++i)
        lines << QString::fromStdString(memo[i].Str());
    syncedText_ = lines.join(QLatin1Char('\n'));
    MemoMain->setPlainText(syncedText_);
}

void TFormMemo::StoreMemo()
{
    const QString text = MemoMain->toPlainText();
    if (text == syncedText_)
        return;
    syncedText_ = text;
    ulib::SArray<ulib::SString> memo;
    if (!text.isEmpty()) {
        const QStringList lines = text.split(QLatin1Char('\n'));
        // The list holds at most MaxCount lines; the document cannot keep more.
        const qsizetype count = std::min<qsizetype>(lines.size(), ulib::SArray<ulib::SString>::MaxCount);
        for (qsizetype i = 0; i < count; ++i)
            memo.Append(ulib::SString(lines[i].toStdString()));
    }
    if (const std::uint32_t parts = ::StoreMemo(controller_, std::move(memo)))
        emit MainRefresh(parts);
}
