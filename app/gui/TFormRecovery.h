// The copies of unsaved cels a crash left behind, offered when the program starts: each with its
// thumbnail, document name and the time it was written. The painter opens the chosen ones (the
// first in this window, each further one in a new window; the cel comes back modified, under its
// own name), discards them, or decides later (they are offered again at the next start).
#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;
class SHuedraneController;
class SOrphanCopies;

class TFormRecovery : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ThumbnailBox = 96;

    // copies must hold at least one copy and outlive the dialog; programPath is the program started
    // for every further copy opened.
    TFormRecovery(SHuedraneController& controller, SOrphanCopies& copies, const QString& programPath,
                  QWidget* parent = nullptr);

    QListWidget* List = nullptr;
    QPushButton* ButtonOpen = nullptr;
    QPushButton* ButtonDiscard = nullptr;
    QPushButton* ButtonLater = nullptr;

    // Whether a copy became the working cel.
    bool Opened() const { return opened_; }

private:
    void Fill();
    void UpdateButtons();
    void OpenChosen();
    void DiscardChosen();

    SHuedraneController& controller_;
    SOrphanCopies& copies_;
    QString programPath_;
    bool opened_ = false;
};
