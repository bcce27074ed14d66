#include "TFormRecovery.h"

#include "SBitmapPixmap.h"
#include "SHuedraneController.h"
#include "SMessage.h"
#include "SPlatform.h"
#include "SRecoveryFiles.h"
#include "SUiText.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace {

QString CopyCaption(const SRecoveryCopy& copy)
{
    if (copy.damaged)
        return UiText("%1（壊れているため開けません）").arg(QString::fromStdString(copy.name));
    const ulib::SString& named = copy.info.path.IsEmpty() ? copy.info.defaultName : copy.info.path;
    const QString name = QFileInfo(QString::fromStdString(named.Str())).fileName();
    const QString time = QDateTime::fromSecsSinceEpoch(copy.info.savedAt).toString("yyyy/MM/dd HH:mm:ss");
    const QString folder = copy.info.path.IsEmpty() ? UiText("保存されていない新しいセル")
                                                    : QFileInfo(QString::fromStdString(named.Str())).absolutePath();
    return QStringLiteral("%1\n%2\n%3").arg(name, time, folder);
}

}  // namespace

TFormRecovery::TFormRecovery(SHuedraneController& controller, SOrphanCopies& copies, const QString& programPath,
                             QWidget* parent)
    : QDialog(parent), controller_(controller), copies_(copies), programPath_(programPath)
{
    setObjectName("FormRecovery");
    setWindowTitle(UiText("作業の復元"));
    auto* text = new QLabel(UiText("前回、保存されないまま終了したセルがあります。開いて保存し直すか、破棄してください。"), this);
    text->setWordWrap(true);
    List = new QListWidget(this);
    List->setObjectName("ListRecovery");
    List->setIconSize(QSize(ThumbnailBox, ThumbnailBox));
    List->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List->setMinimumSize(480, 300);
    ButtonOpen = new QPushButton(UiText("開く(&O)"), this);
    ButtonOpen->setObjectName("ButtonOpen");
    ButtonOpen->setDefault(true);
    ButtonDiscard = new QPushButton(UiText("破棄(&D)"), this);
    ButtonDiscard->setObjectName("ButtonDiscard");
    ButtonLater = new QPushButton(UiText("後で(&L)"), this);
    ButtonLater->setObjectName("ButtonLater");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonOpen);
    buttons->addWidget(ButtonDiscard);
    buttons->addStretch(1);
    buttons->addWidget(ButtonLater);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(List, 1);
    layout->addLayout(buttons);

    connect(ButtonOpen, &QPushButton::clicked, this, [this] { OpenChosen(); });
    connect(ButtonDiscard, &QPushButton::clicked, this, [this] { DiscardChosen(); });
    connect(ButtonLater, &QPushButton::clicked, this, &QDialog::reject);
    connect(List, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(List, &QListWidget::itemDoubleClicked, this, [this] { OpenChosen(); });
    Fill();
}

void TFormRecovery::Fill()
{
    List->clear();
    for (const SRecoveryCopy& copy : copies_.Copies()) {
        QPixmap thumbnail = ToPixmap(copy.thumbnail);
        if (thumbnail.isNull()) {
            thumbnail = QPixmap(ThumbnailBox, ThumbnailBox);
            thumbnail.fill(Qt::lightGray);
        }
        List->addItem(new QListWidgetItem(QIcon(thumbnail), CopyCaption(copy)));
    }
    if (List->count() > 0)
        List->setCurrentRow(0);
    UpdateButtons();
}

void TFormRecovery::UpdateButtons()
{
    const QList<QListWidgetItem*> chosen = List->selectedItems();
    const bool openable = std::any_of(chosen.begin(), chosen.end(), [this](const QListWidgetItem* item) {
        return !copies_.Copies()[std::size_t(List->row(item))].damaged;
    });
    ButtonOpen->setEnabled(openable);
    ButtonDiscard->setEnabled(!chosen.isEmpty());
}

void TFormRecovery::OpenChosen()
{
    if (!ButtonOpen->isEnabled())
        return;
    std::vector<std::size_t> rows;
    for (const QListWidgetItem* item : List->selectedItems())
        if (!copies_.Copies()[std::size_t(List->row(item))].damaged)
            rows.push_back(std::size_t(List->row(item)));
    std::sort(rows.begin(), rows.end());
    // The further copies go to new windows first (from the last, so the rows before keep their
    // numbers), each let go for its window to take.
    for (auto row = rows.rbegin(); row + 1 != rows.rend(); ++row) {
        const SRecoveryCopy copy = copies_.Let(*row);
        ulib::Platform().StartInstance(programPath_.toStdString(), copy.files.document.Str());
    }
    if (const ulib::SError err = controller_.OpenRecoveryCopy(copies_, rows.front())) {
        ulib::ShowMessageBox("error", ulib::ErrorText(err).c_str(), "O");
        Fill();
        return;
    }
    opened_ = true;
    accept();
}

void TFormRecovery::DiscardChosen()
{
    std::vector<std::size_t> rows;
    for (const QListWidgetItem* item : List->selectedItems())
        rows.push_back(std::size_t(List->row(item)));
    if (rows.empty() ||
        ulib::ShowMessageBox("question", UiText("選択したセルの復元用のコピーを破棄します。よろしいですか？").toStdString().c_str(), "Y2") != 1)
        return;
    // From the last, so the rows before keep their numbers.
    std::sort(rows.rbegin(), rows.rend());
    for (const std::size_t row : rows)
        copies_.Discard(row);
    if (copies_.Copies().empty()) {
        reject();
        return;
    }
    Fill();
}
