// The file list dialog: a list of files with their icons and four buttons at its side.
#include "TFormFileList.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TFormFileList::TFormFileList(const ulib::SFileListDialogRequest& request, QWidget* parent)
    : QDialog(parent), request_(request)
{
    setObjectName("FormFileList");
    setWindowTitle(Text(request.caption));
    setModal(true);

    ListFiles = new QListWidget(this);
    ListFiles->setObjectName("ListFiles");
    ListFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListFiles->setIconSize(QSize(16, 16));
    ListFiles->setMinimumSize(240, 180);

    auto makeButton = [this](const std::string& text, const char* name) {
        auto* button = new QPushButton(Text(text), this);
        button->setObjectName(name);
        button->setMinimumSize(72, 28);
        button->setAutoDefault(false);
        return button;
    };
    ButtonInsert = makeButton(request.insertText, "ButtonInsert");
    ButtonDelete = makeButton(request.deleteText, "ButtonDelete");
    ButtonOk = makeButton(request.okText, "ButtonOk");
    ButtonCancel = makeButton(request.cancelText, "ButtonCancel");
    ButtonOk->setDefault(true);

    auto* side = new QVBoxLayout;
    side->addWidget(ButtonInsert);
    side->addWidget(ButtonDelete);
    side->addStretch();
    side->addWidget(ButtonOk);
    side->addWidget(ButtonCancel);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(ListFiles, 1);
    layout->addLayout(side);

    for (const auto& row : request.rows)
        AppendRow(row);

    connect(ButtonInsert, &QPushButton::clicked, this, &TFormFileList::ButtonInsertClick);
    connect(ButtonDelete, &QPushButton::clicked, this, &TFormFileList::ButtonDeleteClick);
    connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::vector<std::string> TFormFileList::Paths() const
{
    std::vector<std::string> paths;
    paths.reserve(std::size_t(ListFiles->count()));
    for (int i = 0; i < ListFiles->count(); ++i)
        paths.push_back(ListFiles->item(i)->data(Qt::UserRole).toString().toStdString());
    return paths;
}

void TFormFileList::AppendRow(const ulib::SFileListRow& row)
{
    QString path = Text(row.path);
    // The path stands in for a missing display name, so no row is ever blank.
    QString shown = row.displayName.empty() ? path : Text(row.displayName);
    QFileIconProvider icons;
    auto* item = new QListWidgetItem(icons.icon(QFileInfo(path)), shown, ListFiles);
    item->setData(Qt::UserRole, path);
    item->setToolTip(path);
}

void TFormFileList::ButtonInsertClick()
{
    if (!request_.insert)
        return;
    for (const auto& row : request_.insert())
        AppendRow(row);
}

void TFormFileList::ButtonDeleteClick()
{
    // From the last row to the first, so the indices still to visit stay valid.
    for (int i = ListFiles->count() - 1; i >= 0; --i) {
        if (ListFiles->item(i)->isSelected())
            delete ListFiles->takeItem(i);
    }
}
