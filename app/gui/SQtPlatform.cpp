// The Qt seam: message boxes, help, new instances, the conversion wait and the progress lines.
// The dialogs live in SQtDialogs.cpp and the pixel drawing in SQtDrawPixels.cpp.
#include "SQtPlatform.h"

#include "SAbort.h"
#include "SHelp.h"
#include "SUiText.h"
#include "TFormProgress.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <vector>

using namespace ulib;

namespace {

// A text the core hands over: a text of the program in the run's language, anything else (names,
// paths) as it is.
QString Text(const std::string& text) { return UiText(text.c_str()); }

// The buttons of a box in the order the style names them; an unknown button code shows OK alone.
std::vector<QMessageBox::StandardButton> BoxButtons(std::uint32_t style)
{
    switch (style & box_style::ButtonMask) {
    case box_style::OkCancel: return {QMessageBox::Ok, QMessageBox::Cancel};
    case box_style::AbortRetryIgnore: return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case box_style::YesNoCancel: return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case box_style::YesNo: return {QMessageBox::Yes, QMessageBox::No};
    case box_style::RetryCancel: return {QMessageBox::Retry, QMessageBox::Cancel};
    default: return {QMessageBox::Ok};
    }
}

QMessageBox::Icon BoxIcon(std::uint32_t style)
{
    switch (style & box_style::IconMask) {
    case box_style::IconError: return QMessageBox::Critical;
    case box_style::IconQuestion: return QMessageBox::Question;
    case box_style::IconWarning: return QMessageBox::Warning;
    case box_style::IconInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

SBoxAnswer AnswerOf(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok: return SBoxAnswer::Ok;
    case QMessageBox::Cancel: return SBoxAnswer::Cancel;
    case QMessageBox::Abort: return SBoxAnswer::Abort;
    case QMessageBox::Retry: return SBoxAnswer::Retry;
    case QMessageBox::Ignore: return SBoxAnswer::Ignore;
    case QMessageBox::Yes: return SBoxAnswer::Yes;
    case QMessageBox::No: return SBoxAnswer::No;
    default: return SBoxAnswer::Failed;
    }
}

}  // namespace

SQtPlatform::SQtPlatform(QObject* parent) : QObject(parent) {}

SQtPlatform::~SQtPlatform() { delete progress_; }

void SQtPlatform::SetOwnerWindow(QWidget* window) { owner_ = window; }

QWidget* SQtPlatform::OwnerWindow() const { return owner_; }

QWidget* SQtPlatform::OwnerFor(void* owner) const
{
    if (owner != nullptr)
        return static_cast<QWidget*>(owner);
    if (owner_ != nullptr)
        return owner_;
    return QApplication::activeWindow();
}

TFormProgress& SQtPlatform::Progress()
{
    // Made without a parent: it is a top-level box of its own, kept above every window.
    if (progress_ == nullptr)
        progress_ = new TFormProgress;
    return *progress_;
}

SBoxAnswer SQtPlatform::ShowBox(const SMessageBoxRequest& request)
{
    return OnInterfaceThread([&] { return ShowBoxHere(request); });
}

SBoxAnswer SQtPlatform::ShowBoxHere(const SMessageBoxRequest& request)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return SBoxAnswer::Failed;

    QMessageBox box(request.hasOwner ? OwnerFor(nullptr) : nullptr);
    box.setWindowTitle(Text(request.caption));
    box.setText(Text(request.text));
    box.setIcon(BoxIcon(request.style));
    box.setWindowModality(Qt::ApplicationModal);

    std::vector<QAbstractButton*> buttons;
    for (auto button : BoxButtons(request.style))
        buttons.push_back(box.addButton(button));
    if (request.style & box_style::Help) {
        // A help button asks for help without answering the box, so it must not close it.
        QPushButton* help = box.addButton(QMessageBox::Help);
        help->disconnect();
        connect(help, &QPushButton::clicked, this, &SQtPlatform::HelpRequested);
    }
    std::size_t defaultIndex = 0;
    if (request.style & box_style::DefaultButton3)
        defaultIndex = 2;
    else if (request.style & box_style::DefaultButton2)
        defaultIndex = 1;
    if (defaultIndex < buttons.size())
        box.setDefaultButton(static_cast<QPushButton*>(buttons[defaultIndex]));
    // A box raised during a conversion (a plug-in's error) must not hide under the progress box,
    // which stays on top.
    bool progressShown = progress_ != nullptr && progress_->isVisible();
    if ((request.style & box_style::SetForeground) || progressShown)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);

    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked == nullptr) {
        // Closed without a button (the window's close box): the box's cancelling answer.
        for (auto button : BoxButtons(request.style)) {
            if (button == QMessageBox::Cancel)
                return SBoxAnswer::Cancel;
        }
        return buttons.size() == 1 ? AnswerOf(box.standardButton(buttons[0])) : SBoxAnswer::Cancel;
    }
    return AnswerOf(box.standardButton(clicked));
}

bool SQtPlatform::HasOwnerWindow() const
{
    auto* self = const_cast<SQtPlatform*>(this);
    return self->OnInterfaceThread([&] { return OwnerFor(nullptr) != nullptr; });
}

QUrl SQtPlatform::HelpUrl(const std::string& path, std::int32_t context)
{
    QFileInfo file(Text(path));
    if (path.empty() || !file.isFile())
        return QUrl();
    QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    // Only an HTML manual has anchors to jump to; other viewers get the plain file.
    QString suffix = file.suffix().toLower();
    std::string anchor = HelpTopicAnchor(context);
    if (!anchor.empty() && (suffix == "htm" || suffix == "html"))
        url.setFragment(Text(anchor));
    return url;
}

bool SQtPlatform::OpenHelp(const std::string& path, std::int32_t context)
{
    QUrl url = HelpUrl(path, context);
    if (url.isEmpty())
        return false;
    return OnInterfaceThread([&] { return QDesktopServices::openUrl(url); });
}

bool SQtPlatform::StartInstance(const std::string& program, const std::string& argument)
{
    if (program.empty())
        return false;
    // The argument travels as one argument, never through a shell, whatever characters it holds.
    return QProcess::startDetached(Text(program), QStringList{Text(argument)});
}

void SQtPlatform::WaitForConversion(const SConversionWait& request)
{
    OnInterfaceThread([&] { WaitHere(request); });
}

void SQtPlatform::WaitHere(const SConversionWait& request)
{
    auto done = [&] { return !request.finished || request.finished(); };
    if (done())
        return;

    TFormProgress& box = Progress();
    box.Attach(request.progress);
    box.SetMessage(Text(request.message), Text(request.fileLine));
    // Modal to the whole program: the windows keep repainting, but no second command can start
    // a conversion while this one's starter is waiting.
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    box.raise();

    QEventLoop loop;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start();
    loop.exec();

    if (!done()) {
        // The program was asked to quit while the worker runs. The caller joins the worker when
        // this returns, so keep dispatching (its blocking calls land here) until it has ended,
        // and ask it to stop early.
        if (request.progress != nullptr)
            request.progress->RequestAbort();
        while (!done()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
    }
    poll.stop();
    box.hide();
    box.Attach(nullptr);
}

void SQtPlatform::SetProgressLines(const std::string& message, const std::string& fileLine)
{
    QString main = Text(message);
    QString file = Text(fileLine);
    // Posted, never waited for: the worker must not stall on the interface thread.
    QMetaObject::invokeMethod(
        this, [this, main, file] { Progress().SetMessage(main, file); }, Qt::AutoConnection);
}
