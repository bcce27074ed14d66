// The pictures on both tool bars: every shown button has one that draws at 1x and 2x screen scales,
// and each of our drawings is compiled in, parses and is used by a button.
#include "FormMainFixture.h"

#include "SToolIcons.h"
#include "TReferencePane.h"

#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QSet>
#include <QSvgRenderer>
#include <QToolBar>
#include <QWidgetAction>

#include <gtest/gtest.h>

namespace {

using ToolIcons = FormMainFixture;

// True when some pixel of the image is at least half opaque.
bool HasOpaquePixels(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) >= 128)
                return true;
    return false;
}

TEST_F(ToolIcons, EveryShownButtonDrawsSharplyAtOneAndTwoTimesScale)
{
    QToolBar* bars[] = {form_->findChild<QToolBar*>("ToolBar"), form_->Reference()->ToolSub()};
    int checked = 0;
    for (QToolBar* bar : bars) {
        ASSERT_NE(bar, nullptr);
        for (QAction* action : bar->actions()) {
            // Separators and the fill gap's number field have no picture of their own.
            if (action->isSeparator() || qobject_cast<QWidgetAction*>(action) || !action->isVisible())
                continue;
            const QString name = action->objectName();
            ASSERT_FALSE(action->icon().isNull()) << name.toStdString();
            for (const qreal scale : {1.0, 2.0}) {
                const QPixmap pixmap = action->icon().pixmap(QSize(24, 24), scale);
                EXPECT_EQ(pixmap.size(), QSize(24, 24) * scale) << name.toStdString() << " at " << scale;
                EXPECT_TRUE(HasOpaquePixels(pixmap.toImage())) << name.toStdString() << " at " << scale;
            }
            ++checked;
        }
    }
    // 24 on the main bar (the hidden texture mode and boxes left out), 7 on the reference pane's.
    EXPECT_EQ(checked, 31);
    EXPECT_TRUE(ToolIcon("ToolNoSuchButton").isNull());
}

TEST_F(ToolIcons, EachDrawingIsCompiledInParsesAndIsUsed)
{
    QSet<QString> used;
    for (QAction* action : form_->findChildren<QAction*>())
        if (const QString file = ToolIconFile(action->objectName().toStdString()); !file.isEmpty())
            used.insert(QFileInfo(file).fileName());
    const QDir folder(HUEDRANE_SOURCE_DIR "/data/icons/tools");
    const QStringList files = folder.entryList({"*.svg"}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& file : files) {
        EXPECT_TRUE(used.contains(file)) << file.toStdString() << " is shown by no button";
        for (const QString& path : {folder.filePath(file), ":/icons/tools/" + file}) {
            QSvgRenderer drawing(path);
            EXPECT_TRUE(drawing.isValid()) << path.toStdString();
            EXPECT_EQ(drawing.viewBox(), QRect(0, 0, 24, 24)) << path.toStdString();
        }
    }
    // And no button names a drawing that is missing from the folder.
    for (const QString& file : used)
        EXPECT_TRUE(files.contains(file)) << file.toStdString();
}

}  // namespace
