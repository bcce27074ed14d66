// TFormFileList: the modal file list dialog. Rows show a file's display name and icon and keep
// its path; Insert appends the rows the request's callback gives, Delete removes the selection.
#pragma once

#include "SPlatform.h"

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;
class QPushButton;

class TFormFileList : public QDialog
{
    Q_OBJECT

public:
    // The request (and its insert callback) must outlive the dialog.
    explicit TFormFileList(const ulib::SFileListDialogRequest& request, QWidget* parent = nullptr);

    // The rows' paths in list order.
    std::vector<std::string> Paths() const;

    QListWidget* ListFiles = nullptr;
    QPushButton* ButtonInsert = nullptr;
    QPushButton* ButtonDelete = nullptr;
    QPushButton* ButtonOk = nullptr;
    QPushButton* ButtonCancel = nullptr;

private slots:
    void ButtonInsertClick();
    void ButtonDeleteClick();

private:
    void AppendRow(const ulib::SFileListRow& row);

    const ulib::SFileListDialogRequest& request_;
};
