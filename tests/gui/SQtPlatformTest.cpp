// The Qt seam driven as a user would: boxes and dialogs are found among the top-level windows
// while they wait, and their buttons are pressed from a timer on the interface thread.
#include "SQtPlatform.h"

#include "SAbort.h"
#include "SBitmap.h"
#include "Sxpng.h"
#include "TFilePreview.h"
#include "TFormFileList.h"
#include "TFormProgress.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

using namespace ulib;

namespace {

// Runs act once on the first visible top-level widget of type W, polling from the event loop
// (the box or dialog is shown by a call that blocks until it closes).
template <class W>
void WhenShown(std::function<void(W*)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* found = qobject_cast<W*>(widget);
            if (found != nullptr && found->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(found);
                return;
            }
        }
    });
    timer->start();
}

// Keeps the interface thread dispatching until the condition holds or about five seconds pass.
bool DispatchUntil(const std::function<bool()>& condition)
{
    for (int i = 0; i < 500 && !condition(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

std::set<QMessageBox::StandardButton> ButtonsOf(QMessageBox* box)
{
    std::set<QMessageBox::StandardButton> set;
    for (QAbstractButton* button : box->buttons())
        set.insert(box->standardButton(button));
    return set;
}

}  // namespace

TEST(SQtPlatform, MessageBoxTakesButtonsIconAndDefaultFromTheStyle)
{
    SQtPlatform platform;
    struct Case
    {
        std::uint32_t style;
        std::set<QMessageBox::StandardButton> buttons;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton defaultButton;
        QMessageBox::StandardButton press;
        SBoxAnswer answer;
    };
    const Case cases[] = {
        {box_style::Ok | box_style::IconInformation, {QMessageBox::Ok}, QMessageBox::Information, QMessageBox::Ok,
         QMessageBox::Ok, SBoxAnswer::Ok},
        {box_style::YesNoCancel | box_style::IconWarning | box_style::DefaultButton2,
         {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}, QMessageBox::Warning, QMessageBox::No,
         QMessageBox::Cancel, SBoxAnswer::Cancel},
        {box_style::AbortRetryIgnore | box_style::IconError | box_style::DefaultButton3,
         {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore}, QMessageBox::Critical, QMessageBox::Ignore,
         QMessageBox::Retry, SBoxAnswer::Retry},
        {box_style::YesNo | box_style::IconQuestion, {QMessageBox::Yes, QMessageBox::No}, QMessageBox::Question,
         QMessageBox::Yes, QMessageBox::No, SBoxAnswer::No},
        {box_style::RetryCancel, {QMessageBox::Retry, QMessageBox::Cancel}, QMessageBox::NoIcon, QMessageBox::Retry,
         QMessageBox::Retry, SBoxAnswer::Retry},
        {box_style::OkCancel, {QMessageBox::Ok, QMessageBox::Cancel}, QMessageBox::NoIcon, QMessageBox::Ok,
         QMessageBox::Ok, SBoxAnswer::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        QString title, text;
        std::set<QMessageBox::StandardButton> buttons;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        WhenShown<QMessageBox>([&](QMessageBox* box) {
            title = box->windowTitle();
            text = box->text();
            buttons = ButtonsOf(box);
            icon = box->icon();
            defaultButton = box->standardButton(box->defaultButton());
            box->button(c.press)->click();
        });
        SBoxAnswer answer = platform.ShowBox({"題名", "本文です", c.style, false});
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(title, QString("題名"));
        EXPECT_EQ(text, QString("本文です"));
        EXPECT_EQ(buttons, c.buttons);
        EXPECT_EQ(icon, c.icon);
        EXPECT_EQ(defaultButton, c.defaultButton);
    }
}

TEST(SQtPlatform, HelpButtonAsksForHelpAndKeepsTheBoxOpen)
{
    SQtPlatform platform;
    int helpRequests = 0;
    QObject::connect(&platform, &SQtPlatform::HelpRequested, [&] { ++helpRequests; });
    bool stillShownAfterHelp = false;
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        box->button(QMessageBox::Help)->click();
        QCoreApplication::processEvents();
        stillShownAfterHelp = box->isVisible();
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(platform.ShowBox({"c", "t", box_style::Ok | box_style::Help, false}), SBoxAnswer::Ok);
    EXPECT_TRUE(stillShownAfterHelp);
    EXPECT_EQ(helpRequests, 1);
}

TEST(SQtPlatform, OpenDialogStaysOpenWhileTheCoreRefusesTheChoice)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QString first = folder.filePath("first.txt");
    QString second = folder.filePath("second.txt");
    for (const QString& name : {first, second}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    SQtPlatform platform;
    SFileDialogRequest request;
    request.title = "開く";
    request.filters = {{"Text(*.txt)", "*.txt"}, {"All(*.*)", "*.*"}};
    request.filterIndex = 2;
    request.readOnly = 1;
    request.initialFile = first.toStdString();
    std::vector<std::vector<std::string>> offered;
    request.accept = [&](const std::vector<std::string>& paths) {
        offered.push_back(paths);
        return offered.size() > 1;  // refuses the first OK only
    };

    bool openAfterRefusal = false;
    QString title, selectedFilter;
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        // The folder's listing arrives from a worker of the dialog's; a user sees it before choosing.
        auto* model = dialog->findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        DispatchUntil([&] { return model->rowCount(model->index(folder.path())) >= 2; });
        title = dialog->windowTitle();
        selectedFilter = dialog->selectedNameFilter();
        dialog->findChild<QCheckBox*>("CheckReadOnly")->setChecked(false);
        static_cast<QDialog*>(dialog)->accept();
        openAfterRefusal = dialog->isVisible();
        // The user clears the list's selection and types the other name.
        dialog->findChild<QListView*>("listView")->clearSelection();
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("second.txt");
        static_cast<QDialog*>(dialog)->accept();
    });
    SFileDialogResponse response = platform.FileDialog(request);

    EXPECT_TRUE(openAfterRefusal);
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[0], std::vector<std::string>{first.toStdString()});
    EXPECT_EQ(response.result, SDialogResult::Ok);
    EXPECT_EQ(response.paths, std::vector<std::string>{second.toStdString()});
    EXPECT_EQ(response.filterIndex, 2);
    EXPECT_FALSE(response.readOnlyTicked);
    EXPECT_EQ(title, QString("開く"));
    EXPECT_EQ(selectedFilter, QString("All(*.*)"));  // shown as the core wrote it
}

TEST(SQtPlatform, SingleFileDialogNeverAnswersWithTwoFiles)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* name : {"first.txt", "second.txt"}) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    SQtPlatform platform;
    SFileDialogRequest request;
    request.initialFile = folder.filePath("first.txt").toStdString();
    std::size_t offered = 0;
    request.accept = [&](const std::vector<std::string>& paths) {
        offered = paths.size();
        return true;
    };
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        auto* model = dialog->findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        DispatchUntil([&] { return model->rowCount(model->index(folder.path())) >= 2; });
        // Typing a name over a selected row may leave both rows selected.
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("second.txt");
        static_cast<QDialog*>(dialog)->accept();
    });
    SFileDialogResponse response = platform.FileDialog(request);
    EXPECT_EQ(response.result, SDialogResult::Ok);
    EXPECT_EQ(response.paths.size(), 1u);
    EXPECT_EQ(offered, 1u);
}

TEST(SQtPlatform, OpenDialogPreviewsThePictureTheUserPointsAt)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    SBitmap picture;
    picture.Create(400, 300, 24);
    picture.FillRect(SColor(200, 40, 40));
    const QString path = folder.filePath("scan.png");
    ASSERT_EQ(WritePngFile(&picture, SString(path.toStdString())), 0u);

    SQtPlatform platform;
    SFileDialogRequest request;
    request.filters = {{"Pictures(*.png)", "*.png"}};
    request.initialFile = path.toStdString();
    QSize shown;
    QString size;
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        auto* preview = dialog->findChild<TFilePreview*>("FilePreview");
        ASSERT_NE(preview, nullptr);
        DispatchUntil([&] { return !preview->LabelPicture()->pixmap().isNull(); });
        shown = preview->LabelPicture()->pixmap().size();
        size = preview->LabelSize()->text();
        dialog->reject();
    });
    platform.FileDialog(request);
    EXPECT_EQ(shown, QSize(200, 150));
    EXPECT_EQ(size, "400 x 300");
}

TEST(SQtPlatform, SaveDialogAddsTheDefaultExtensionAndCancelGivesNoPaths)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    SQtPlatform platform;
    SFileDialogRequest request;
    request.mode = SFileDialogRequest::Mode::Save;
    request.filters = {{"Document(*.hdq)", "*.hdq"}};
    request.defaultExtension = "hdq";
    request.initialFile = folder.filePath("picture").toStdString();
    bool preview = true;
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        preview = dialog->findChild<TFilePreview*>("FilePreview") != nullptr;
        static_cast<QDialog*>(dialog)->accept();
    });
    SFileDialogResponse saved = platform.FileDialog(request);
    EXPECT_FALSE(preview) << "only open dialogs show a preview";
    EXPECT_EQ(saved.result, SDialogResult::Ok);
    EXPECT_EQ(saved.paths, std::vector<std::string>{folder.filePath("picture.hdq").toStdString()});
    EXPECT_EQ(saved.filterIndex, 1);

    WhenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    SFileDialogResponse cancelled = platform.FileDialog(request);
    EXPECT_EQ(cancelled.result, SDialogResult::Cancel);
    EXPECT_TRUE(cancelled.paths.empty());
}

TEST(SQtPlatform, FolderDialogShowsThePromptAndStartsInTheInitialFolder)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QDir(folder.path()).mkdir("出力"));
    QString inner = folder.filePath("出力");
    SQtPlatform platform;
    QString prompt, title;
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        auto* label = dialog->findChild<QLabel*>("LabelPrompt");
        prompt = label != nullptr && label->isVisibleTo(dialog) ? label->text() : QString();
        title = dialog->windowTitle();
        static_cast<QDialog*>(dialog)->accept();
    });
    SFolderDialogResponse response = platform.FolderDialog({"フォルダの選択", "保存先を選んでください", inner.toStdString()});
    EXPECT_EQ(response.result, SDialogResult::Ok);
    EXPECT_EQ(QDir(QString::fromStdString(response.folder)).canonicalPath(), QDir(inner).canonicalPath());
    EXPECT_EQ(prompt, QString("保存先を選んでください"));
    EXPECT_EQ(title, QString("フォルダの選択"));
}

TEST(SQtPlatform, ColourDialogKeepsEditedCustomColoursEvenWhenCancelled)
{
    SQtPlatform platform;
    SColourDialogRequest request;
    request.colour = SColor(10, 20, 30, 7);
    request.customColours[3] = SColor(1, 2, 3);
    QColor shown, customShown;
    WhenShown<QColorDialog>([&](QColorDialog* dialog) {
        shown = dialog->currentColor();
        customShown = QColorDialog::customColor(3);
        dialog->setCurrentColor(QColor(200, 100, 50));
        static_cast<QDialog*>(dialog)->accept();
    });
    SColourDialogResponse chosen = platform.ColourDialog(request);
    EXPECT_EQ(shown, QColor(10, 20, 30));
    EXPECT_EQ(customShown, QColor(1, 2, 3));
    EXPECT_EQ(chosen.result, SDialogResult::Ok);
    EXPECT_EQ(chosen.colour.Value(), SColor(200, 100, 50, 7).Value());

    WhenShown<QColorDialog>([](QColorDialog* dialog) {
        QColorDialog::setCustomColor(5, QColor(9, 8, 7));
        dialog->reject();
    });
    SColourDialogResponse cancelled = platform.ColourDialog(request);
    EXPECT_EQ(cancelled.result, SDialogResult::Cancel);
    EXPECT_EQ(cancelled.customColours[5].Value(), SColor(9, 8, 7).Value());
    EXPECT_EQ(cancelled.customColours[3].Value(), SColor(1, 2, 3).Value());
}

TEST(SQtPlatform, FileListDialogReturnsRowsInListOrderAfterInsertAndDelete)
{
    SQtPlatform platform;
    SFileListDialogRequest request;
    request.caption = "ファイルの一覧";
    request.insertText = "挿入(&I)";
    request.deleteText = "削除(&D)";
    request.okText = "OK";
    request.cancelText = "キャンセル";
    request.rows = {{"/a/one.png", "one.png"}, {"/a/two.png", ""}, {"/a/three.png", "three.png"}};
    request.insert = [] { return std::vector<SFileListRow>{{"/b/four.bmp", "four.bmp"}}; };

    QStringList shown;
    WhenShown<TFormFileList>([&](TFormFileList* dialog) {
        for (int i = 0; i < dialog->ListFiles->count(); ++i)
            shown << dialog->ListFiles->item(i)->text();
        dialog->ButtonInsert->click();
        dialog->ListFiles->item(0)->setSelected(true);
        dialog->ListFiles->item(2)->setSelected(true);
        dialog->ButtonDelete->click();
        dialog->ButtonOk->click();
    });
    SFileListDialogResponse response = platform.FileListDialog(request);
    EXPECT_EQ(shown, (QStringList{"one.png", "/a/two.png", "three.png"}));
    EXPECT_EQ(response.result, SDialogResult::Ok);
    EXPECT_EQ(response.paths, (std::vector<std::string>{"/a/two.png", "/b/four.bmp"}));

    WhenShown<TFormFileList>([](TFormFileList* dialog) { dialog->ButtonCancel->click(); });
    EXPECT_EQ(platform.FileListDialog(request).result, SDialogResult::Cancel);
}

TEST(SQtPlatform, WorkerCallsAreCarriedOutOnTheInterfaceThreadDuringTheWait)
{
    SQtPlatform platform;
    SAbort progress;
    std::atomic<bool> finished{false};
    std::atomic<bool> linesSeen{false};
    SBoxAnswer answer = SBoxAnswer::Failed;
    QThread* boxThread = nullptr;

    WhenShown<QMessageBox>([&](QMessageBox* box) {
        boxThread = box->thread();
        box->button(QMessageBox::Ok)->click();
    });
    // Watches the progress box's lines from the interface thread while the wait dispatches.
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (platform.Progress().LabelMain->text() == "一括インポート変換中です" &&
            platform.Progress().LabelFileName->text() == "a.bmp→a.hdq")
            linesSeen = true;
    });
    watch.start();

    std::thread worker([&] {
        answer = platform.ShowBox({"c", "plug-in failed", box_style::Ok | box_style::IconError, true});
        platform.SetProgressLines("一括インポート変換中です", "a.bmp→a.hdq");
        for (int i = 0; i < 500 && !linesSeen; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        finished = true;
    });
    platform.WaitForConversion({&progress, [&] { return finished.load(); }, "始め", "ファイル名は不明"});
    worker.join();

    EXPECT_EQ(answer, SBoxAnswer::Ok);
    EXPECT_EQ(boxThread, QCoreApplication::instance()->thread());
    EXPECT_TRUE(linesSeen);
    EXPECT_FALSE(platform.Progress().isVisible());
}

TEST(SQtPlatform, WaitShowsTheBoxFollowsTheGaugeAndEndsWhenFinished)
{
    SQtPlatform platform;
    SAbort progress;
    progress.SetPosition(40);
    bool finished = false;
    bool visible = false, timerOn = false;
    QString message, file;
    int gauge = -1;
    QTimer::singleShot(450, [&] {
        TFormProgress& box = platform.Progress();
        visible = box.isVisible();
        timerOn = box.TimerMain->isActive();
        gauge = box.GaugeMain->value();
        message = box.LabelMain->text();
        file = box.LabelFileName->text();
        finished = true;
    });
    platform.WaitForConversion({&progress, [&] { return finished; }, "インポート処理中です", "scan.png"});
    EXPECT_TRUE(finished);
    EXPECT_TRUE(visible);
    EXPECT_TRUE(timerOn);
    EXPECT_EQ(gauge, 40);
    EXPECT_EQ(message, QString("インポート処理中です"));
    EXPECT_EQ(file, QString("scan.png"));
    TFormProgress& box = platform.Progress();
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(box.TimerMain->isActive());
    EXPECT_EQ(box.Attached(), nullptr);

    // Finished before the wait starts (or no test at all): no box, no loop.
    platform.WaitForConversion({&progress, [] { return true; }, "x", "y"});
    platform.WaitForConversion({&progress, nullptr, "x", "y"});
    EXPECT_FALSE(box.isVisible());
}

TEST(SQtPlatform, AbortButtonDuringTheWaitReachesTheWorker)
{
    SQtPlatform platform;
    SAbort progress;
    std::atomic<bool> finished{false}, stoppedByAbort{false};
    std::thread worker([&] {
        // A worker polling its abort flag, as the conversions do; it gives up on its own only
        // after far longer than the click takes to arrive.
        for (int i = 0; i < 3000 && !stoppedByAbort; ++i) {
            stoppedByAbort = progress.SetPosition(i % 100);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        finished = true;
    });
    QTimer::singleShot(100, [&] { platform.Progress().ButtonAbort->click(); });
    platform.WaitForConversion({&progress, [&] { return finished.load(); }, "", ""});
    worker.join();
    EXPECT_TRUE(progress.IsAborted());
    EXPECT_TRUE(stoppedByAbort);
}

TEST(SQtPlatform, StartInstanceRunsTheProgramWithOneUnsplitArgument)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    SQtPlatform platform;
    EXPECT_TRUE(platform.StartInstance("/bin/true", "anything"));
    EXPECT_FALSE(platform.StartInstance(folder.filePath("missing").toStdString(), "x"));
    EXPECT_FALSE(platform.StartInstance("", "x"));

    // Spaces and shell characters stay inside the one argument.
    QString target = folder.filePath("a b;touch c");
    ASSERT_TRUE(platform.StartInstance("/usr/bin/touch", target.toStdString()));
    EXPECT_TRUE(DispatchUntil([&] { return QFile::exists(target); }));
    EXPECT_FALSE(QFile::exists(folder.filePath("c")));
    EXPECT_FALSE(QFile::exists(folder.filePath("a")));
}

TEST(SQtPlatform, HelpOpensTheTopicAnchorOfAnHtmlManualOnly)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QString html = folder.filePath("manual.html");
    QString pdf = folder.filePath("manual.pdf");
    for (const QString& name : {html, pdf}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QUrl topic = SQtPlatform::HelpUrl(html.toStdString(), 12);
    EXPECT_EQ(topic.toLocalFile(), html);
    EXPECT_EQ(topic.fragment(), QString("context-12"));
    EXPECT_FALSE(SQtPlatform::HelpUrl(html.toStdString(), 0).hasFragment());
    EXPECT_FALSE(SQtPlatform::HelpUrl(pdf.toStdString(), 12).hasFragment());

    SQtPlatform platform;
    EXPECT_TRUE(SQtPlatform::HelpUrl(folder.filePath("none.html").toStdString(), 1).isEmpty());
    EXPECT_FALSE(platform.OpenHelp(folder.filePath("none.html").toStdString(), 1));
    EXPECT_FALSE(platform.OpenHelp(folder.path().toStdString(), 0));
}

TEST(SQtPlatform, DrawPixelsReadsBottomUpRowsOfEachDepth)
{
    SQtPlatform platform;
    // A 2 x 2 image; stored rows are the last image row first.
    std::uint8_t header[40 + 4 * 4] = {40};
    header[14] = 8;
    // Colour table (blue, green, red, reserved): 0 red, 1 green, 2 blue, 3 white.
    const std::uint8_t table[16] = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
    std::memcpy(header + 40, table, sizeof table);
    header[32] = 4;  // colours used
    const std::uint8_t indexed[8] = {2, 3, 0, 0,   // image row 1: blue, white
                                     0, 1, 0, 0};  // image row 0: red, green
    SPixelView view{header, indexed, 2, 2, 4, 8};

    QImage target(4, 4, QImage::Format_RGB32);
    target.fill(Qt::black);
    {
        QPainter painter(&target);
        SDrawSurface surface{&painter};
        EXPECT_EQ(platform.DrawPixels(&surface, {1, 1}, view, {0, 0, 2, 2}), SError(0));
        // Only the right column, drawn at the top left corner.
        EXPECT_EQ(platform.DrawPixels(&surface, {0, 0}, view, {1, 0, 2, 1}), SError(0));
    }
    EXPECT_EQ(target.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(2, 1), qRgb(0, 255, 0));
    EXPECT_EQ(target.pixel(1, 2), qRgb(0, 0, 255));
    EXPECT_EQ(target.pixel(2, 2), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(target.pixel(0, 1), qRgb(0, 0, 0));

    // 32 bits: the fourth byte is transparency, not alpha, and must not fade the pixel.
    std::uint8_t plainHeader[40] = {40};
    plainHeader[14] = 32;
    const std::uint8_t bgra[8] = {10, 20, 30, 255, 40, 50, 60, 0};
    SPixelView wide{plainHeader, bgra, 2, 1, 8, 32};
    QImage small(2, 1, QImage::Format_RGB32);
    small.fill(Qt::black);
    {
        QPainter painter(&small);
        SDrawSurface surface{&painter};
        EXPECT_EQ(platform.DrawPixels(&surface, {0, 0}, wide, {0, 0, 2, 1}), SError(0));
        EXPECT_EQ(platform.DrawPixels(nullptr, {0, 0}, wide, {0, 0, 2, 1}), ErrorFromIdentifier("device"));
    }
    EXPECT_EQ(small.pixel(0, 0), qRgb(30, 20, 10));
    EXPECT_EQ(small.pixel(1, 0), qRgb(60, 50, 40));
}
