// The open dialogs' preview on its own: a picture's pixels, a changed file read again, and
// nothing for what cannot be shown.
#include "TFilePreview.h"

#include "SBitmap.h"
#include "Sxpng.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ulib;

namespace {

void WritePicture(const QString& path, std::int32_t width, std::int32_t height, SColor colour)
{
    SBitmap picture;
    picture.Create(width, height, 24);
    picture.FillRect(colour);
    ASSERT_EQ(WritePngFile(&picture, SString(path.toStdString())), 0u);
}

bool ShowsNothing(const TFilePreview& preview)
{
    return preview.LabelPicture()->pixmap().isNull() && preview.LabelSize()->text().isEmpty();
}

TEST(FilePreview, ReadsAChangedFileAgain)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("wide.png");
    WritePicture(path, 800, 200, SColor(10, 120, 240));
    TFilePreview preview;
    preview.ShowFile(path);
    const QImage image = preview.LabelPicture()->pixmap().toImage();
    EXPECT_EQ(image.size(), QSize(200, 50));
    EXPECT_EQ(image.pixel(100, 25) | 0xFF000000u, qRgb(10, 120, 240));

    // Rewritten, the file is read again rather than taken from the last reading.
    WritePicture(path, 60, 40, SColor(0, 0, 0));
    preview.ShowFile(path);
    EXPECT_EQ(preview.LabelPicture()->pixmap().size(), QSize(60, 40));
    EXPECT_EQ(preview.LabelSize()->text(), "60 x 40");
}

TEST(FilePreview, ShowsNothingForFoldersAndFilesItCannotRead)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString picture = folder.filePath("a.png");
    WritePicture(picture, 20, 20, SColor(1, 2, 3));
    QFile notes(folder.filePath("notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a picture");
    notes.close();

    TFilePreview preview;
    for (const QString& path : {folder.path(), folder.filePath("notes.txt"), folder.filePath("missing.png"), QString()}) {
        preview.ShowFile(picture);
        ASSERT_FALSE(ShowsNothing(preview));
        preview.ShowFile(path);
        EXPECT_TRUE(ShowsNothing(preview)) << path.toStdString();
    }
}

}  // namespace
