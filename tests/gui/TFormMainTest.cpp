// The main window on the offscreen platform: its menu tree and tool bar, enabling and captions
// after commands, the keyboard table, dropped files, closing, and the split bar.
#include "FormMainFixture.h"

#include "../convert/ScanFixture.h"
#include "../document/CelFixture.h"
#include "SDocumentFile.h"
#include "SHeldKeyFilter.h"
#include "ControllerEdits.h"
#include "SHuedraneController.h"
#include "SMessage.h"
#include "SScriptedPlatform.h"
#include "TCanvas.h"
#include "Sximage.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

using namespace ulib;
using ulib::test::ScopedPlatform;
using ulib::test::SScriptedPlatform;

namespace {

class FormMain : public FormMainFixture
{
protected:
    SString WriteDocument(const std::string& name)
    {
        SCel cel = MakeCel(40, 30);
        cel.trace.Row32(1)[1] = 0x000000FFu;
        cel.held.Append(cel.genga);
        EXPECT_EQ(SaveDocument(cel, Path(name)), 0u);
        return Path(name);
    }

    SString WriteScan(const std::string& name)
    {
        EXPECT_EQ(WriteBmpFile(OutlinedScan(40, 30, 6), Path(name)), 0u);
        return Path(name);
    }

    void OpenThroughDialog(const SString& file)
    {
        seam_.QueueFileChoice({file.Str()});
        Item("MenuOpen")->trigger();
    }

    // A left click on the canvas at a document point, press and release.
    void ClickCanvas(SPoint document)
    {
        QWidget* paint = form_->Canvas()->PaintMain();
        const QPoint at = form_->Canvas()->ToCanvas(document);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
            QMouseEvent event(type, QPointF(at), QPointF(paint->mapToGlobal(at)), Qt::LeftButton, held, Qt::NoModifier);
            QApplication::sendEvent(paint, &event);
        }
    }

    void PressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, quint32 scanCode = 0)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, scanCode, 0, 0);
        QApplication::sendEvent(form_.get(), &event);
    }

    void Drop(const std::vector<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(QList<QUrl>(urls.begin(), urls.end()));
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form_.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        // Qt delivers a drop only to the target of a drag in progress, which a synthetic event
        // has none of: the window's own event handler takes it.
        QDropEvent event(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        static_cast<QObject*>(form_.get())->event(&event);
        EXPECT_TRUE(event.isAccepted());
        QApplication::processEvents();  // the drop is carried out after the drag has ended
    }

};

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

TEST_F(FormMain, MenuTreeHasItsCaptionsShortcutsAndHiddenItems)
{
    struct Row { const char* name; const char* caption; const char* shortcut; bool visible; };
    const Row rows[] = {
        {"MenuFileMain", "ファイル(&F)", "", true},
        {"MenuNew", "消去(&N)", "Ctrl+N", true},
        {"MenuSaveAs", "名前を付けて保存(&A)...", "Ctrl+T", true},
        {"MenuBatchImport", "一括インポート(J)...", "", true},
        {"MenuNextFile", "保存して次のファイル(&Q)", "Ctrl+Right", true},
        {"MenuToReference", "保存して色指定表に追加(&R)", "", false},
        {"MenuHistory", "履歴(&H)", "", false},
        {"MenuExit", "Huedraneの終了(&X)", "Alt+F4", true},
        {"MenuGundress", "ガンドレス塗り(&G)", "Ctrl+G", true},
        {"MenuFullRepaintTrace", "トレース面を塗り替え(&4)", "", false},
        {"MenuGammaCalibration", "γ補正(&G)...", "", false},
        {"MenuPaintTool", "ペイントツール(&P)\tEnter+Click", "", true},
        {"MenuSpuitTool", "スポイトツール(&S)", "", true},
        {"MenuTracePen5", "トレースペン極太(&5)", "", true},
        {"MenuExtraLayer", "拡張レイヤー(&E)", "Shift+F4", true},
        {"MenuZoomEqual", "等倍(&R)", "", true},
        {"MenuTextureBox", "テクスチャー(&X)...", "F9", false},
        {"MenuSilhouette", "シルエット(&H)", "Ctrl+H", true},
        {"MenuReferenceNext", "次の参照画像(&N)", "Shift+Right", true},
        {"MenuHelpContents", "ヘルプの目次(&C)", "F1", true},
        {"MenuDebug", "デバッグ用", "", false},
    };
    for (const Row& row : rows) {
        QAction* action = Item(row.name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), Text(row.caption)) << row.name;
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(row.shortcut))) << row.name;
        EXPECT_EQ(action->isVisible(), row.visible) << row.name;
    }
    EXPECT_EQ(Item("MenuNew")->statusTip(), Text("現在の画像を破棄します。"));
    EXPECT_EQ(Item("MenuFullFillTraceBlackToRed")->statusTip(), Text("黒トレース線を、全て赤トレス線に変換します。"));

    // The tool bar in its order, with its hints and tags.
    QStringList names;
    for (QAction* action : form_->findChild<QToolBar*>("ToolBar")->actions())
        if (!action->isSeparator())
            names << action->objectName();
    EXPECT_EQ(names.join(' ').toStdString(),
              "ToolNew ToolOpen ToolSave ToolSaveAs ToolImport ToolExport ToolPrevFile ToolNextFile ToolUndo "
              "ToolRepeat ToolColorModeColor ToolColorModeEraser ToolColorModeBitmap ToolColorModeTexture "
              "ToolTraceLayer ToolPaintLayer ToolGengaLayer ToolExtraLayer ToolSilhouette ToolZoomIn ToolZoomOut "
              "ToolFillGap ToolPaletteBox ToolChartBox ToolAirbrushBox ToolTextureBox ToolToolBox ToolMemo ToolHelp");
    EXPECT_EQ(Item("ToolNextFile")->toolTip(), Text("保存して次のファイル"));
    EXPECT_EQ(Item("ToolPrevFile")->data().toInt(), -1);
    EXPECT_EQ(Item("ToolGengaLayer")->data().toInt(), 1);
    EXPECT_EQ(Item("ToolColorModeEraser")->data().toInt(), 2);
    EXPECT_TRUE(Item("ToolColorModeColor")->isChecked());
    EXPECT_TRUE(Item("ToolTraceLayer")->isChecked());
    EXPECT_FALSE(Item("ToolColorModeTexture")->isVisible());
}

TEST_F(FormMain, FileAndEditItemsFollowTheDocument)
{
    OpenMenu("MenuFileMain");
    OpenMenu("MenuEditMain");
    for (const char* name : {"MenuNew", "MenuSave", "MenuSaveAs", "MenuExport", "ToolSave", "MenuPrevFile",
                             "MenuFullFillPaint", "MenuGundress", "MenuUndo", "ToolUndo"})
        EXPECT_FALSE(Item(name)->isEnabled()) << name;
    for (const char* name : {"MenuOpen", "MenuImport", "MenuBatchImport", "MenuBatchExport", "ToolOpen"})
        EXPECT_TRUE(Item(name)->isEnabled()) << name;

    const SString file = WriteDocument("cel.hdq");
    OpenThroughDialog(file);
    EXPECT_EQ(c_.State(), SDocumentState::Saved);
    EXPECT_TRUE(seam_.Boxes().empty());
    // The command refreshed the window without a menu being opened.
    for (const char* name : {"MenuSave", "ToolSave", "MenuSaveAs", "MenuNextFile", "ToolNextFile", "MenuGundress"})
        EXPECT_TRUE(Item(name)->isEnabled()) << name;
    EXPECT_EQ(form_->windowTitle(), Text("cel.hdq - Huedrane"));

    // A cancelled dialog shows nothing and leaves the document.
    seam_.QueueFileCancel();
    Item("MenuSaveAs")->trigger();
    EXPECT_TRUE(seam_.Boxes().empty());
    EXPECT_EQ(c_.State(), SDocumentState::Saved);

    // Clearing drops it again (nothing to ask: it is saved).
    Item("ToolNew")->trigger();
    EXPECT_EQ(c_.State(), SDocumentState::None);
    EXPECT_FALSE(Item("MenuSave")->isEnabled());
    EXPECT_EQ(form_->windowTitle(), Text("無題 - Huedrane"));
}

TEST_F(FormMain, TitleMarksUnsavedChangesUntilTheCelIsSaved)
{
    OpenThroughDialog(WriteDocument("cel.hdq"));
    EXPECT_EQ(form_->windowTitle(), Text("cel.hdq - Huedrane"));
    EditWindow(c_, [&](SMainWindowState& w) { w.toolMode = ToolPaint; });
    ClickCanvas({20, 15});
    ASSERT_EQ(c_.State(), SDocumentState::Modified);
    EXPECT_EQ(form_->windowTitle(), Text("*cel.hdq - Huedrane"));
    // Undo leaves the cel modified; saving takes the marker away, a later change brings it back.
    Item("MenuUndo")->trigger();
    EXPECT_EQ(form_->windowTitle(), Text("*cel.hdq - Huedrane"));
    Item("MenuSave")->trigger();
    EXPECT_EQ(c_.State(), SDocumentState::Saved);
    EXPECT_EQ(form_->windowTitle(), Text("cel.hdq - Huedrane"));
    Item("MenuFullFillPaint")->trigger();
    EXPECT_EQ(form_->windowTitle(), Text("*cel.hdq - Huedrane"));
}

TEST_F(FormMain, FirstStartFillsTheScreenAndAPlaceOffEveryScreenIsForgotten)
{
    form_->ShowAsLastTime();
    QApplication::processEvents();
    const QRect free = form_->screen()->availableGeometry();
    EXPECT_TRUE(form_->isMaximized());
    EXPECT_TRUE(free.contains(form_->normalGeometry()));
    EXPECT_GT(form_->normalGeometry().width(), free.width() / 2);
    form_->hide();

    // A window last closed on a screen that has gone opens on this one as on a first start.
    EditWindow(c_, [&](SMainWindowState& w) {
        w.normalRect = {20000, 20000, 20800, 20600};
        w.hasNormalRect = true;
        w.maximized = false;
    });
    TFormMain again(c_, keys_, SString("/usr/bin/huedrane-test"));
    again.ShowAsLastTime();
    QApplication::processEvents();
    EXPECT_TRUE(again.isMaximized());
    EXPECT_TRUE(free.contains(again.normalGeometry()));
    again.hide();
}

TEST_F(FormMain, UndoAndRedoCaptionsNameTheBrushStroke)
{
    OpenThroughDialog(WriteDocument("cel.hdq"));
    c_.MouseDown(ToolBrush, {10, 10});
    c_.MouseMove({12, 11});
    c_.MouseUp();
    OpenMenu("MenuEditMain");
    EXPECT_EQ(Item("MenuUndo")->text(), Text("ブラシを元に戻す(&U)"));
    EXPECT_TRUE(Item("ToolUndo")->isEnabled());
    EXPECT_FALSE(Item("MenuRepeat")->isEnabled());

    Item("MenuUndo")->trigger();
    EXPECT_EQ(Item("MenuUndo")->text(), Text("元に戻す(&U)"));
    EXPECT_FALSE(Item("MenuUndo")->isEnabled());
    EXPECT_EQ(Item("MenuRepeat")->text(), Text("ブラシのやり直し(&R)"));
    EXPECT_TRUE(Item("ToolRepeat")->isEnabled());

    // The shortcut of a disabled item does nothing even when fired.
    Item("MenuUndo")->setEnabled(true);
    Item("MenuUndo")->trigger();
    EXPECT_TRUE(c_.UndoBuffer().CanRedo());
}

TEST_F(FormMain, KeyboardTableActsOnTheUnshiftedKey)
{
    c_.SetQuickColour(10, SColor(1, 2, 3, 0));
    c_.SetColourMode(SColourMode::Eraser);
    PressKey(Qt::Key_Q);
    EXPECT_EQ(c_.Tools().currentColour, c_.QuickPalette()[10]);
    EXPECT_EQ(c_.Tools().colourMode, SColourMode::Colour);
    EXPECT_TRUE(Item("ToolColorModeColor")->isChecked());

    c_.SetQuickColour(11, SColor(4, 5, 6, 0));
    PressKey(Qt::Key_W, Qt::ShiftModifier);
    EXPECT_EQ(c_.Tools().currentColour, c_.QuickPalette()[11]);

    // Shift+1 and Shift+0 on a US keyboard arrive as symbols; a Japanese Shift+2 (") is found
    // through the key's scan code.
    PressKey(Qt::Key_Exclam, Qt::ShiftModifier);
    EXPECT_EQ(c_.Tools().currentColour, c_.QuickPalette()[0]);
    PressKey(Qt::Key_ParenRight, Qt::ShiftModifier);
    EXPECT_EQ(c_.Tools().currentColour, c_.QuickPalette()[9]);
    PressKey(Qt::Key_QuoteDbl, Qt::ShiftModifier, 11);
    EXPECT_EQ(c_.Tools().currentColour, c_.QuickPalette()[1]);

    PressKey(Qt::Key_G);
    EXPECT_EQ(c_.Tools().tracePen, 4);
    EXPECT_TRUE(Item("MenuTracePen5")->isChecked());
    PressKey(Qt::Key_X);
    EXPECT_EQ(c_.Tools().colourMode, SColourMode::Eraser);
    EXPECT_TRUE(Item("MenuColorModeEraser")->isChecked());
    EXPECT_TRUE(Item("ToolColorModeEraser")->isChecked());

    // Ctrl and Alt combinations and symbols typed without Shift are not in the table.
    PressKey(Qt::Key_A, Qt::ControlModifier);
    PressKey(Qt::Key_Exclam);
    PressKey(Qt::Key_F5);
    EXPECT_EQ(c_.Tools().tracePen, 4);
    EXPECT_EQ(c_.Tools().currentColour, c_.QuickPalette()[1]);
}

TEST_F(FormMain, DroppedFilesOpenTheFirstAndStartInstancesForTheRest)
{
    const SString first = WriteDocument("a.hdq");
    const SString second = WriteDocument("b.hdq");
    const SString third = WriteDocument("c.hdq");
    Drop({QUrl::fromLocalFile(QString::fromStdString(first.Str())),
          QUrl::fromLocalFile(QString::fromStdString(second.Str())),
          QUrl(QStringLiteral("https://example.com/x.hdq")),
          QUrl::fromLocalFile(QString::fromStdString(third.Str()))});
    EXPECT_EQ(c_.Path(), first);
    EXPECT_EQ(c_.State(), SDocumentState::Saved);
    EXPECT_EQ(form_->windowTitle(), Text("a.hdq - Huedrane"));
    EXPECT_TRUE(Item("MenuSave")->isEnabled());
    // The address is no local file and is passed over.
    const auto starts = seam_.Starts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].program, "/usr/bin/huedrane-test");
    EXPECT_EQ(starts[0].argument, second.Str());
    EXPECT_EQ(starts[1].argument, third.Str());
    EXPECT_TRUE(seam_.Boxes().empty());
}

TEST_F(FormMain, DroppedPictureIsImportedAndOfferedForSaving)
{
    Drop({QUrl::fromLocalFile(QString::fromStdString(WriteScan("scan.bmp").Str()))});
    EXPECT_EQ(c_.State(), SDocumentState::Modified);
    EXPECT_TRUE(c_.Path().IsEmpty());
    EXPECT_EQ(c_.Cel().display.Width(), 40);
    EXPECT_TRUE(seam_.Boxes().empty());
    EXPECT_TRUE(Item("MenuExport")->isEnabled());

    // Closing asks to save: cancel keeps the window, no closes it without saving.
    form_->show();
    seam_.QueueAnswers({SBoxAnswer::Cancel});
    EXPECT_FALSE(form_->close());
    EXPECT_TRUE(form_->isVisible());
    seam_.QueueAnswers({SBoxAnswer::No});
    EXPECT_TRUE(form_->close());
    EXPECT_EQ(seam_.BoxCount(), 2u);
}

TEST_F(FormMain, LayerZoomAndViewItemsShowTheirState)
{
    OpenThroughDialog(WriteDocument("cel.hdq"));
    Item("ToolTraceLayer")->trigger();
    EXPECT_FALSE(c_.Cel().visible[LayerTrace]);
    EXPECT_FALSE(Item("MenuTraceLayer")->isChecked());
    EXPECT_FALSE(Item("ToolTraceLayer")->isChecked());
    Item("MenuTraceLayer")->trigger();
    EXPECT_TRUE(c_.Cel().visible[LayerTrace]);
    EXPECT_TRUE(Item("ToolTraceLayer")->isChecked());

    for (int i = 0; i < 6; ++i)
        Item("MenuZoomIn")->trigger();
    EXPECT_EQ(c_.Zoom(), 4);
    EXPECT_FALSE(Item("MenuZoomIn")->isEnabled());
    EXPECT_FALSE(Item("ToolZoomIn")->isEnabled());
    EXPECT_TRUE(Item("MenuZoomEqual")->isEnabled());
    Item("MenuZoomEqual")->trigger();
    EXPECT_EQ(c_.Zoom(), 0);
    EXPECT_FALSE(Item("MenuZoomEqual")->isEnabled());

    Item("ToolSilhouette")->trigger();
    EXPECT_TRUE(c_.Cel().silhouette);
    EXPECT_TRUE(Item("MenuSilhouette")->isChecked());

    Item("MenuStatusBar")->trigger();
    EXPECT_FALSE(c_.Window().statusBarVisible);
    EXPECT_FALSE(Item("MenuStatusBar")->isChecked());

    Item("MenuLupeTool")->trigger();
    EXPECT_EQ(c_.Window().toolMode, ToolZoomIn);
    EXPECT_TRUE(Item("MenuLupeTool")->isChecked());
    EXPECT_FALSE(Item("MenuPaintTool")->isChecked());
}

// A seam that notes whether a tool box was showing when a file dialog opened.
class BoxWatchingPlatform : public SScriptedPlatform
{
public:
    QWidget* box = nullptr;
    std::vector<bool> shownAtDialog;
    SFileDialogResponse FileDialog(const SFileDialogRequest& request) override
    {
        shownAtDialog.push_back(box->isVisible());
        return SScriptedPlatform::FileDialog(request);
    }
};

TEST_F(FormMain, ToolBoxesHideAroundTheCommandsDialogs)
{
    BoxWatchingPlatform watcher;
    ScopedPlatform scope(watcher);
    QWidget box;
    watcher.box = &box;
    form_->RegisterToolBox(&box);
    box.show();

    watcher.QueueFileChoice({WriteDocument("cel.hdq").Str()});
    Item("MenuOpen")->trigger();
    EXPECT_EQ(c_.State(), SDocumentState::Saved);
    EXPECT_EQ(watcher.shownAtDialog, std::vector<bool>{false});
    EXPECT_TRUE(box.isVisible());

    // A box the user had closed stays closed.
    box.hide();
    watcher.QueueFileCancel();
    Item("MenuExport")->trigger();
    EXPECT_EQ(watcher.shownAtDialog, (std::vector<bool>{false, false}));
    EXPECT_FALSE(box.isVisible());
}

// A seam whose save dialog runs a real modal dialog with its own event loop, closed from inside
// it. The release of the Ctrl that opened it went elsewhere (a native file dialog is another
// process), so the window's key filter never sees it.
class RealDialogPlatform : public SScriptedPlatform
{
public:
    SFileDialogResponse FileDialog(const SFileDialogRequest& request) override
    {
        QDialog dialog;
        QTimer::singleShot(0, &dialog, &QDialog::accept);
        dialog.exec();
        return SScriptedPlatform::FileDialog(request);
    }
};

TEST_F(FormMain, ClickAfterAShortcutsDialogTakesCtrlFromTheClickItself)
{
    OpenThroughDialog(WriteDocument("cel.hdq"));
    RealDialogPlatform dialogs;
    ScopedPlatform scope(dialogs);
    EditWindow(c_, [&](SMainWindowState& w) { w.toolMode = ToolPaint; });
    const std::int32_t zoom = c_.Zoom();

    // Ctrl+T: Ctrl goes down over the window, the dialog takes the rest.
    PressKey(Qt::Key_Control, Qt::ControlModifier);
    dialogs.QueueFileChoice({Path("copy.hdq").Str()});
    Item("MenuSaveAs")->trigger();
    EXPECT_EQ(c_.State(), SDocumentState::Saved);

    // A plain click fills; it does not zoom.
    ClickCanvas({20, 15});
    EXPECT_EQ(c_.Zoom(), zoom);
    EXPECT_EQ(c_.State(), SDocumentState::Modified);
    EXPECT_NE(c_.Cel().paint.Row32(15)[20], cel_values::Unpainted);
}

TEST_F(FormMain, ReferencePaneTakesItsShareOfTheWidth)
{
    EditWindow(c_, [&](SMainWindowState& w) { w.splitBar = 75; });
    form_->resize(800, 600);
    form_->show();
    QApplication::processEvents();
    auto* splitter = form_->findChild<QSplitter*>("SplitterMain");
    ASSERT_NE(splitter, nullptr);
    const int client = splitter->width();
    // No width while the list is empty: the canvas has the client area to the split bar.
    EXPECT_EQ(form_->ReferencePane()->width(), 0);
    EXPECT_EQ(form_->Canvas()->width(), client - splitter->handleWidth());
    EXPECT_GE(splitter->handleWidth(), 6);  // easy to grab

    c_.SetReferenceList({Path("reference.bmp")});
    form_->Refresh(main_refresh::ReferencePane);
    EXPECT_NEAR(form_->ReferencePane()->width(), client * 25 / 100, 2);

    // A stored share below 10 is raised to 10 at the next resize.
    EditWindow(c_, [&](SMainWindowState& w) { w.splitBar = 3; });
    form_->resize(900, 600);
    QApplication::processEvents();
    EXPECT_EQ(c_.Window().splitBar, 10);
    EXPECT_NEAR(form_->ReferencePane()->width(), splitter->width() * 90 / 100, 2);
    form_->hide();
}

}  // namespace
