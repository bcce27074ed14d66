#include "TFilePreview.h"

#include "SBitmapPixmap.h"
#include "SFilePreview.h"

#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>

using namespace ulib;

TFilePreview::TFilePreview(QWidget* parent) : QWidget(parent)
{
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("LabelPreviewPicture"));
    picture_->setFixedSize(Box, Box);
    picture_->setAlignment(Qt::AlignCenter);
    size_ = new QLabel(this);
    size_->setObjectName(QStringLiteral("LabelPreviewSize"));
    size_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->addWidget(picture_);
    layout->addWidget(size_);
    layout->addStretch(1);
}

void TFilePreview::ShowFile(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) {
        picture_->clear();
        size_->clear();
        return;
    }
    if (path != cachedPath_ || info.size() != cachedBytes_ || info.lastModified() != cachedTime_) {
        SFilePreview preview;
        const bool read = ReadFilePreview(SString(path.toStdString()), Box, preview) == 0;
        cachedPath_ = path;
        cachedBytes_ = info.size();
        cachedTime_ = info.lastModified();
        cachedPixmap_ = ToPixmap(preview.picture);
        cachedSize_ = read ? QStringLiteral("%1 x %2").arg(preview.width).arg(preview.height) : QString();
    }
    picture_->setPixmap(cachedPixmap_);
    size_->setText(cachedSize_);
}
