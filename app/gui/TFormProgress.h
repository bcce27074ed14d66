// TFormProgress: the progress box shown while a conversion runs. It stays on top, follows the
// attached SAbort's overall progress every 200 ms and raises its abort flag from the button.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace ulib {
class SAbort;
}

class TFormProgress : public QDialog
{
    Q_OBJECT

public:
    explicit TFormProgress(QWidget* parent = nullptr);

    // Replaces the two lines (the message and the file).
    void SetMessage(const QString& message, const QString& fileName);

    // The SAbort the gauge follows and the button aborts; null detaches. Not owned.
    void Attach(ulib::SAbort* progress);
    ulib::SAbort* Attached() const { return progress_; }

    QLabel* LabelMain = nullptr;
    QLabel* LabelFileName = nullptr;
    QProgressBar* GaugeMain = nullptr;
    QPushButton* ButtonAbort = nullptr;
    QTimer* TimerMain = nullptr;

public slots:
    // The conversion owns the box's lifetime: Escape and the window's close do nothing.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private slots:
    void TimerMainTimer();
    void ButtonAbortClick();

private:
    ulib::SAbort* progress_ = nullptr;
};
