// The main window's part of autosave: the copies a crash left offered at start-up, and the ticks
// that copy the cel and hand it to the writer while the painter works.
#include "TFormMain.h"

#include "SHuedraneController.h"
#include "SError.h"
#include "SRecoveryFiles.h"
#include "SUiText.h"
#include "TFormRecovery.h"
#include "TStatusBar.h"

#include <QTimer>

#include <chrono>

namespace {

// Between ticks while nothing is being copied, and between the parts of a copy (events in between).
constexpr int IdleTickMs = 500;
constexpr int CopyTickMs = 15;
constexpr int FailureMessageMs = 30000;

}  // namespace

void TFormMain::StartAutosave()
{
    if (controller_.Autosave().Folder().IsEmpty() || autosaveTimer_)
        return;
    // A window started for a copy chosen in another window's dialog: that dialog offered the rest.
    const bool handedOver = controller_.IsRecoveryFile(commandLine_.file);
    SOrphanCopies copies;
    if (!handedOver && copies.Find(controller_.Autosave().Folder(), TFormRecovery::ThumbnailBox) == 0 && !copies.Copies().empty()) {
        TFormRecovery dialog(controller_, copies, QString::fromStdString(programPath_.Str()), this);
        dialog.exec();
        if (dialog.Opened()) {
            namespace refresh = main_refresh;
            Refresh(refresh::Title | refresh::CanvasSize | refresh::Canvas | refresh::StatusBar | refresh::AllMenus);
        }
    }
    autosaveTimer_ = new QTimer(this);
    autosaveTimer_->setSingleShot(true);
    connect(autosaveTimer_, &QTimer::timeout, this, [this] { AutosaveTick(); });
    autosaveTimer_->start(IdleTickMs);
}

void TFormMain::AutosaveTick()
{
    const SAutosave::STick tick = controller_.AutosaveTick(std::chrono::steady_clock::now());
    if (tick.failure != 0)
        statusBar_->showMessage(
            UiText("自動保存できませんでした: %1").arg(QString::fromStdString(ulib::ErrorText(tick.failure))),
            FailureMessageMs);
    autosaveTimer_->start(tick.again ? CopyTickMs : IdleTickMs);
}
