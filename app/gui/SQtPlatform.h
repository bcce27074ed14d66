// SQtPlatform: the platform seam carried out with Qt Widgets. Message boxes, the common dialogs,
// the file list dialog, help, new instances, the progress box around conversions and drawing
// onto a QPainter. Create it on the interface thread after the QApplication and destroy it
// before; calls from any other thread are carried out on the interface thread (blocking until
// they are done), except SetProgressLines, which only posts its texts.
#pragma once

#include "SPlatform.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThread>

#include <type_traits>

class QPainter;
class QUrl;
class QWidget;
class TFormProgress;

namespace ulib {

// The drawing target the core hands to DrawPixels: the painter of the widget being painted.
struct SDrawSurface
{
    QPainter* painter = nullptr;
};

}  // namespace ulib

class SQtPlatform : public QObject, public ulib::SPlatform
{
    Q_OBJECT

public:
    explicit SQtPlatform(QObject* parent = nullptr);
    ~SQtPlatform() override;

    // The window that owns boxes and dialogs (the main window); null: the active window.
    void SetOwnerWindow(QWidget* window);
    QWidget* OwnerWindow() const;

    // The program's one progress box (made on first use, owned by this object).
    TFormProgress& Progress();

    // The address OpenHelp hands to the desktop: the file, and for an HTML manual the topic's
    // anchor. Empty when the file does not exist.
    static QUrl HelpUrl(const std::string& path, std::int32_t context);

    ulib::SBoxAnswer ShowBox(const ulib::SMessageBoxRequest& request) override;
    bool HasOwnerWindow() const override;
    ulib::SError DrawPixels(ulib::SDrawSurface* surface, ulib::SPoint at, const ulib::SPixelView& pixels,
                            const ulib::SRect& source) override;
    ulib::SFileDialogResponse FileDialog(const ulib::SFileDialogRequest& request) override;
    ulib::SFolderDialogResponse FolderDialog(const ulib::SFolderDialogRequest& request) override;
    ulib::SColourDialogResponse ColourDialog(const ulib::SColourDialogRequest& request) override;
    ulib::SFileListDialogResponse FileListDialog(const ulib::SFileListDialogRequest& request) override;
    bool OpenHelp(const std::string& path, std::int32_t context) override;
    void WaitForConversion(const ulib::SConversionWait& request) override;
    void SetProgressLines(const std::string& message, const std::string& fileLine) override;
    bool StartInstance(const std::string& program, const std::string& argument) override;

signals:
    // The help button of a message box was pressed (the box stays open).
    void HelpRequested();

private:
    // Runs call on the interface thread: directly when already there, else as a blocking queued
    // call, which the interface thread carries out at its next dispatch (the conversion wait
    // keeps dispatching while a worker runs).
    template <class Call>
    auto OnInterfaceThread(Call call) -> decltype(call())
    {
        using Result = decltype(call());
        if (QThread::currentThread() == thread())
            return call();
        if constexpr (std::is_void_v<Result>) {
            QMetaObject::invokeMethod(this, call, Qt::BlockingQueuedConnection);
        } else {
            Result result{};
            QMetaObject::invokeMethod(this, [&] { result = call(); }, Qt::BlockingQueuedConnection);
            return result;
        }
    }

    QWidget* OwnerFor(void* owner) const;
    ulib::SBoxAnswer ShowBoxHere(const ulib::SMessageBoxRequest& request);
    void WaitHere(const ulib::SConversionWait& request);
    ulib::SFileDialogResponse FileDialogHere(const ulib::SFileDialogRequest& request);
    ulib::SFolderDialogResponse FolderDialogHere(const ulib::SFolderDialogRequest& request);
    ulib::SColourDialogResponse ColourDialogHere(const ulib::SColourDialogRequest& request);
    ulib::SFileListDialogResponse FileListDialogHere(const ulib::SFileListDialogRequest& request);

    QPointer<QWidget> owner_;
    TFormProgress* progress_ = nullptr;
};
