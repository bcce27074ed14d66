// The preview beside an open dialog's file list: the chosen file's small picture (a document's
// stored thumbnail, or the picture itself scaled down) and its size in pixels. Folders and files
// that cannot be read show nothing, never an error box.
#pragma once

#include <QDateTime>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QLabel;

class TFilePreview : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Box = 200;  // the picture fits in Box by Box pixels

    explicit TFilePreview(QWidget* parent = nullptr);

    // Shows the file at path, or nothing. The last file read is kept: choosing it again while it is
    // unchanged on disk costs no second decoding.
    void ShowFile(const QString& path);

    QLabel* LabelPicture() const { return picture_; }
    QLabel* LabelSize() const { return size_; }

private:
    QLabel* picture_ = nullptr;
    QLabel* size_ = nullptr;
    // The file last read (path, size on disk, time written) and what it gave.
    QString cachedPath_;
    qint64 cachedBytes_ = -1;
    QDateTime cachedTime_;
    QPixmap cachedPixmap_;
    QString cachedSize_;
};
