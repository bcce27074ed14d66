// The progress box: two lines, a gauge, an abort button and the timer that moves the gauge.
#include "TFormProgress.h"

#include "SAbort.h"
#include "SUiText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

TFormProgress::TFormProgress(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName("FormProgress");
    setWindowTitle("Huedrane");
    setModal(false);

    LabelMain = new QLabel(this);
    LabelMain->setObjectName("LabelMain");
    LabelFileName = new QLabel(this);
    LabelFileName->setObjectName("LabelFileName");
    // A long path must not widen the box past the screen.
    LabelFileName->setMinimumWidth(320);
    LabelFileName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    GaugeMain = new QProgressBar(this);
    GaugeMain->setObjectName("GaugeMain");
    GaugeMain->setRange(0, 100);
    GaugeMain->setValue(0);
    ButtonAbort = new QPushButton(UiText("中止"), this);
    ButtonAbort->setObjectName("ButtonAbort");
    ButtonAbort->setAutoDefault(false);
    TimerMain = new QTimer(this);
    TimerMain->setObjectName("TimerMain");
    TimerMain->setInterval(200);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LabelMain);
    layout->addWidget(LabelFileName);
    layout->addWidget(GaugeMain);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonAbort);
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(TimerMain, &QTimer::timeout, this, &TFormProgress::TimerMainTimer);
    connect(ButtonAbort, &QPushButton::clicked, this, &TFormProgress::ButtonAbortClick);
}

void TFormProgress::SetMessage(const QString& message, const QString& fileName)
{
    LabelMain->setText(message);
    LabelFileName->setText(fileName);
}

void TFormProgress::Attach(ulib::SAbort* progress)
{
    progress_ = progress;
    if (isVisible())
        TimerMainTimer();
}

void TFormProgress::reject() {}

void TFormProgress::showEvent(QShowEvent* event)
{
    GaugeMain->setValue(0);
    TimerMain->start();
    QDialog::showEvent(event);
}

void TFormProgress::hideEvent(QHideEvent* event)
{
    TimerMain->stop();
    QDialog::hideEvent(event);
}

void TFormProgress::TimerMainTimer()
{
    if (progress_ == nullptr)
        return;
    // Progress is already clamped to the SAbort's bounds, which the starters leave at 0..100.
    // Reading the bounds as well would take the lock twice more and could catch a busy moment.
    int percent = progress_->Progress();
    GaugeMain->setValue(std::clamp(percent, 0, 100));
}

void TFormProgress::ButtonAbortClick()
{
    if (progress_ != nullptr)
        progress_->RequestAbort();
}
