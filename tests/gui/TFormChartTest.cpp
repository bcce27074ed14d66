// The colour chart box offscreen: the per-user chart file read at start (the default chart on a
// first start) and written at the end only after changes, the hint over an empty chart, the pop-up commands with their enabling and questions, swatch clicks with and
// without Space, renaming, row dragging, the quick palette both ways and the grid's pixels.
#include "TFormChart.h"

#include "SDefaultChart.h"
#include "SHuedraneController.h"
#include "SMainWindowRules.h"
#include "SScriptedPlatform.h"
#include "SStoredText.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using namespace ulib;
using ulib::test::ScopedPlatform;
using ulib::test::SScriptedPlatform;

namespace {

const std::string SampleChart =
    "[Skin]\r\nLight=(255,220,200)\r\nShadow=(200,150,130)\r\nLine=(10,20,30)\r\n"
    "[Hair]\r\nBase=(40,30,20)\r\n";

// A chart file the user emptied: never replaced by the default chart.
const std::string EmptyChart;

const SColor Light(255, 220, 200);
const SColor Shadow(200, 150, 130);
const SColor Line(10, 20, 30);

std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

void Send(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void SendKey(QWidget* widget, int key, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

std::uint32_t At(const QImage& image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000u;
}

std::uint32_t Rgb(SColor colour)
{
    return 0xFF000000u | std::uint32_t(colour.r) << 16 | std::uint32_t(colour.g) << 8 | colour.b;
}

class FormChart : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("huedrane-chart-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_ / "data");
        if (const char* previous = std::getenv("XDG_DATA_HOME"))
            previousData_ = previous;
        setenv("XDG_DATA_HOME", (folder_ / "data").c_str(), 1);
    }
    void TearDown() override
    {
        form.reset();
        if (previousData_.empty())
            unsetenv("XDG_DATA_HOME");
        else
            setenv("XDG_DATA_HOME", previousData_.c_str(), 1);
        std::filesystem::remove_all(folder_);
    }

    std::filesystem::path ChartFile() const { return folder_ / "data" / "Vantrel" / "Huedrane" / "chart.ini"; }
    std::filesystem::path Path(const std::string& name) const { return folder_ / name; }

    // Makes and shows the box, recording what it asks the main window to refresh.
    void Make(const std::string* chartBytes = &SampleChart)
    {
        if (chartBytes)
            WriteBytes(ChartFile(), *chartBytes);
        form = std::make_unique<TFormChart>(controller, keys, nullptr);
        QObject::connect(form.get(), &TToolBox::MainRefresh, [this](std::uint32_t parts) { refreshes.push_back(parts); });
        form->show();
        QApplication::processEvents();
    }

    QAction* Item(const char* name) const { return form->PopupChart()->findChild<QAction*>(QString::fromUtf8(name)); }
    void Trigger(const char* name) { Item(name)->trigger(); }

    QWidget* GridViewport() const { return form->GridChart()->viewport(); }
    static QPoint Cell(int row, int column) { return {column == 0 ? 12 : 60, row * 24 + 12}; }
    void Click(int row, int column)
    {
        Send(GridViewport(), QEvent::MouseButtonPress, Cell(row, column), Qt::LeftButton, Qt::LeftButton);
        Send(GridViewport(), QEvent::MouseButtonRelease, Cell(row, column), Qt::LeftButton, Qt::NoButton);
    }

    QImage GrabGrid() const
    {
        return GridViewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    const SColourGroup& Group(int index) { return form->Chart().groups.Value(index); }

    SHuedraneController controller;
    SHeldKeys keys;
    SScriptedPlatform platform;
    ScopedPlatform scoped{platform};
    std::unique_ptr<TFormChart> form;
    std::vector<std::uint32_t> refreshes;

private:
    std::filesystem::path folder_;
    std::string previousData_;
};

TEST_F(FormChart, ReadsThePerUserChartAtStartAndShowsTheTopGroup)
{
    Make();
    EXPECT_EQ(form->objectName(), "FormChart");
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("カラーチャート"));
    ASSERT_EQ(form->Chart().groups.Count(), 2);
    EXPECT_FALSE(form->Chart().modified);
    EXPECT_EQ(platform.BoxCount(), 0u);
    ASSERT_EQ(form->ListGroup()->count(), 2);
    EXPECT_EQ(form->ListGroup()->item(0)->text(), "Skin");
    EXPECT_EQ(form->ListGroup()->item(1)->text(), "Hair");
    EXPECT_EQ(form->SelectedGroup(), 0);
    EXPECT_EQ(form->GridChart()->model()->rowCount(), 3);
    EXPECT_EQ(form->GridChart()->model()->columnCount(), 2);
    EXPECT_EQ(form->GridChart()->columnWidth(0), 24);
    EXPECT_EQ(form->GridChart()->columnWidth(1), 80);
    EXPECT_EQ(form->GridChart()->rowHeight(2), 24);
    EXPECT_EQ(form->GridChart()->currentIndex().row(), 0);

    form->ListGroup()->setCurrentRow(1);
    EXPECT_EQ(form->GridChart()->model()->rowCount(), 1);
    EXPECT_EQ(form->GridChart()->model()->index(0, 1).data().toString(), "Base");

    // Showing the box again keeps the group the user was looking at.
    form->hide();
    form->show();
    EXPECT_EQ(form->SelectedGroup(), 1);
}

TEST_F(FormChart, StartsFromTheDefaultChartOnlyWithoutAFileAndReportsAnUnreadableOne)
{
    // A first start: the default chart, written to the per-user file (folders made) at the end.
    Make(nullptr);
    const SColourGroups defaults = SColourChart::ParseChart(DefaultChartBytes());
    EXPECT_EQ(form->Chart().groups, defaults);
    EXPECT_EQ(form->ListGroup()->count(), defaults.Count());
    EXPECT_EQ(form->SelectedGroup(), 0);
    EXPECT_EQ(platform.BoxCount(), 0u);
    form.reset();
    EXPECT_EQ(ReadBytes(ChartFile()), SColourChart::FormatChart(defaults));

    // A chart the user emptied stays empty.
    Make(&EmptyChart);
    EXPECT_TRUE(form->Chart().groups.IsEmpty());
    EXPECT_FALSE(form->Chart().modified);
    form.reset();
    EXPECT_EQ(ReadBytes(ChartFile()), "") << "nothing changed, nothing written";
    std::filesystem::remove(ChartFile());

    // A folder in the file's place is no chart and no error.
    std::filesystem::create_directories(ChartFile());
    Make(nullptr);
    EXPECT_TRUE(form->Chart().groups.IsEmpty());
    EXPECT_EQ(platform.BoxCount(), 0u);
    form.reset();
    std::filesystem::remove_all(ChartFile());

    // Garbage is read as far as it goes, without complaint.
    const std::string garbage("\x81[\x00=\xff\xfe;;[[]]\r\r\n=\x82\xa0", 17);
    Make(&garbage);
    EXPECT_EQ(platform.BoxCount(), 0u);
    form.reset();

    // Too large to be a chart: the error box, then the box's own message; the chart stays empty.
    const std::string huge(17u << 20, '[');
    Make(&huge);
    ASSERT_EQ(platform.BoxCount(), 2u);
    EXPECT_EQ(platform.LastBox().text, kChartLoadFailedText);
    EXPECT_TRUE(form->Chart().groups.IsEmpty());
    EXPECT_EQ(form->ListGroup()->count(), 0);
}

TEST_F(FormChart, WritesTheChartAtTheEndOnlyWhenChanged)
{
    Make();
    const auto before = std::filesystem::last_write_time(ChartFile());
    form.reset();
    EXPECT_EQ(ReadBytes(ChartFile()), SampleChart);
    EXPECT_EQ(std::filesystem::last_write_time(ChartFile()), before);

    // A change is written.
    Make(&EmptyChart);
    controller.SetCurrentColour(SColor(1, 2, 3, 127));
    Trigger("MenuChartAppendGroup");
    form.reset();
    // Names are stored in CP932.
    EXPECT_EQ(ReadBytes(ChartFile()), "[" + EncodeStoredText(kChartNewGroupName) + "]\r\n" +
                                          EncodeStoredText(kChartNewColourName) + "=(1,2,3,128)\r\n");
    EXPECT_EQ(platform.BoxCount(), 0u);

    // A file that cannot be replaced: the message, and the program goes on.
    std::filesystem::remove(ChartFile());
    std::filesystem::create_directories(ChartFile() / "blocked");
    Make(nullptr);
    Trigger("MenuChartAppendGroup");
    form.reset();
    EXPECT_EQ(platform.LastBox().text, kChartSaveFailedText);
}

TEST_F(FormChart, PopupEnablesItemsForTheSelection)
{
    Make(&EmptyChart);
    form->PopupChartPopup();
    for (const char* name : {"MenuChartDeleteGroup", "MenuChartAppendColor", "MenuChartDeleteColor",
                             "MenuChartToQuickPalette", "MenuChartSave"})
        EXPECT_FALSE(Item(name)->isEnabled()) << name;
    for (const char* name : {"MenuChartAppendGroup", "MenuChartLoad", "MenuQuickPaletteToChart"})
        EXPECT_TRUE(Item(name)->isEnabled()) << name;

    // A group exists but none is selected: only saving becomes possible.
    Trigger("MenuChartAppendGroup");
    EXPECT_EQ(form->SelectedGroup(), -1) << "a new group is not selected";
    form->PopupChartPopup();
    EXPECT_TRUE(Item("MenuChartSave")->isEnabled());
    EXPECT_FALSE(Item("MenuChartDeleteGroup")->isEnabled());

    form->ListGroup()->setCurrentRow(0);
    form->PopupChartPopup();
    for (const char* name : {"MenuChartDeleteGroup", "MenuChartAppendColor", "MenuChartDeleteColor",
                             "MenuChartToQuickPalette", "MenuChartSave"})
        EXPECT_TRUE(Item(name)->isEnabled()) << name;

    // The captions and the order, separators included.
    const QList<QAction*> actions = form->PopupChart()->actions();
    ASSERT_EQ(actions.size(), 11);
    EXPECT_TRUE(actions[2]->isSeparator());
    EXPECT_TRUE(actions[5]->isSeparator());
    EXPECT_TRUE(actions[8]->isSeparator());
    EXPECT_EQ(actions[0]->text(), QString::fromUtf8("カラーグループの追加(&G)"));
    EXPECT_EQ(actions[10]->objectName(), "MenuQuickPaletteToChart");
    EXPECT_EQ(actions[10]->text(), QString::fromUtf8("クイックパレットから読み込む(&R)"));
}

TEST_F(FormChart, DeletesAGroupOnlyWhenTheUserSaysYes)
{
    Make(&EmptyChart);
    Trigger("MenuChartAppendGroup");
    Trigger("MenuChartDeleteGroup");
    ASSERT_EQ(platform.BoxCount(), 1u);
    EXPECT_EQ(platform.LastBox().text, kChartNoGroupText);
    EXPECT_EQ(platform.LastBox().style & (box_style::ButtonMask | box_style::IconMask), box_style::Ok);
    form.reset();

    Make();
    form->ListGroup()->setCurrentRow(0);
    platform.QueueAnswers({SBoxAnswer::No, SBoxAnswer::Cancel});
    Trigger("MenuChartDeleteGroup");
    Trigger("MenuChartDeleteGroup");
    EXPECT_EQ(form->Chart().groups.Count(), 2);
    EXPECT_EQ(platform.LastBox().text, kChartDeleteGroupAsk);
    EXPECT_EQ(platform.LastBox().style & (box_style::ButtonMask | box_style::IconMask), box_style::YesNoCancel)
        << "yes/no/cancel, no icon";
    EXPECT_FALSE(form->Chart().modified);

    platform.QueueAnswers({SBoxAnswer::Yes});
    Trigger("MenuChartDeleteGroup");
    ASSERT_EQ(form->Chart().groups.Count(), 1);
    EXPECT_EQ(form->Chart().groups.Key(0), SString("Hair"));
    ASSERT_EQ(form->ListGroup()->count(), 1);
    EXPECT_EQ(form->SelectedGroup(), 0) << "the group now at the deleted place is shown";
    EXPECT_EQ(form->GridChart()->model()->index(0, 1).data().toString(), "Base");
    EXPECT_TRUE(form->Chart().modified);
}

TEST_F(FormChart, AppendsAndDeletesColours)
{
    Make();
    controller.SetCurrentColour(SColor(9, 8, 7));
    controller.SetColourMode(SColourMode::Colour);
    Trigger("MenuChartAppendColor");
    controller.SetColourMode(SColourMode::Eraser);
    Trigger("MenuChartAppendColor");
    ASSERT_EQ(Group(0).Count(), 5);
    EXPECT_EQ(Group(0).Key(3), SColor(9, 8, 7));
    EXPECT_EQ(Group(0).Key(4), SColor::Black) << "outside the colour mode a new colour is black";
    EXPECT_EQ(Group(0).Value(4), SString(kChartNewColourName));
    EXPECT_EQ(form->GridChart()->model()->rowCount(), 5);

    Trigger("MenuChartAppendGroup");
    ASSERT_EQ(form->ListGroup()->count(), 3);
    EXPECT_EQ(form->ListGroup()->item(2)->text(), QString::fromUtf8(kChartNewGroupName));
    EXPECT_EQ(Group(2).Key(0), SColor::Black);
    EXPECT_EQ(form->SelectedGroup(), 0);

    // The current row goes; a group's last colour stays.
    Click(1, 1);
    Trigger("MenuChartDeleteColor");
    ASSERT_EQ(Group(0).Count(), 4);
    EXPECT_EQ(Group(0).Value(1), SString("Line"));
    EXPECT_EQ(form->GridChart()->model()->rowCount(), 4);
    form->ListGroup()->setCurrentRow(1);
    Trigger("MenuChartDeleteColor");
    EXPECT_EQ(Group(1).Count(), 1);
    EXPECT_EQ(form->GridChart()->model()->rowCount(), 1);
}

TEST_F(FormChart, SwatchClickTakesTheColourAndSpaceClickStoresIt)
{
    Make();
    controller.SetColourMode(SColourMode::Bitmap);
    Click(2, 0);
    EXPECT_EQ(controller.Tools().currentColour, Line);
    EXPECT_EQ(controller.Tools().colourMode, SColourMode::Colour);
    ASSERT_EQ(refreshes.size(), 1u);
    EXPECT_EQ(refreshes[0], main_refresh::StatusBar | main_refresh::PaletteBox | main_refresh::ToolMenu);
    EXPECT_FALSE(form->Chart().modified);

    // The right button is for the pop-up menu only.
    Send(GridViewport(), QEvent::MouseButtonPress, Cell(0, 0), Qt::RightButton, Qt::RightButton);
    Send(GridViewport(), QEvent::MouseButtonRelease, Cell(0, 0), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(controller.Tools().currentColour, Line);
    EXPECT_EQ(form->GridChart()->currentIndex().row(), 2);

    // The same swatch again after the colour changed elsewhere.
    controller.SetCurrentColour(SColor(1, 1, 1));
    Click(2, 0);
    EXPECT_EQ(controller.Tools().currentColour, Line);
    EXPECT_EQ(refreshes.size(), 2u);

    // Space held: the swatch takes the current colour, only in the colour mode.
    keys.space = true;
    controller.SetCurrentColour(SColor(50, 60, 70));
    controller.SetColourMode(SColourMode::Eraser);
    Click(0, 0);
    EXPECT_EQ(Group(0).Key(0), Light);
    EXPECT_FALSE(form->Chart().modified);
    controller.SetColourMode(SColourMode::Colour);
    Click(1, 0);
    EXPECT_EQ(Group(0).Key(1), SColor(50, 60, 70));
    EXPECT_EQ(controller.Tools().currentColour, SColor(50, 60, 70));
    EXPECT_TRUE(form->Chart().modified);
    EXPECT_EQ(refreshes.size(), 2u);
    EXPECT_EQ(Rgb(SColor(50, 60, 70)), At(GrabGrid(), 12, 24 + 12)) << "the stored colour shows at once";

    // The name column takes nothing.
    keys.space = false;
    Click(0, 1);
    EXPECT_EQ(controller.Tools().currentColour, SColor(50, 60, 70));
}

TEST_F(FormChart, RenamesGroupsAndEditsColourNames)
{
    Make();
    form->ListGroup()->item(1)->setText("Hair 2");
    EXPECT_EQ(form->Chart().groups.Key(1), SString("Hair 2"));
    EXPECT_TRUE(form->Chart().modified);
    form->Chart().modified = false;

    // Typing into a swatch does not edit; in the name column it does.
    QWidget* grid = form->GridChart();
    grid->setFocus();
    Click(1, 0);
    SendKey(grid, Qt::Key_M, "M");
    EXPECT_EQ(grid->findChild<QLineEdit*>(), nullptr);
    Click(1, 1);
    SendKey(grid, Qt::Key_Space, " ");
    EXPECT_EQ(grid->findChild<QLineEdit*>(), nullptr) << "Space is the store key, never an edit";
    SendKey(grid, Qt::Key_M, "M");
    QLineEdit* editor = grid->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText("Mid");
    SendKey(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(Group(0).Value(1), SString("Mid"));
    EXPECT_TRUE(form->Chart().modified);
    EXPECT_EQ(Group(0).Key(1), Shadow) << "the colour stays";
}

TEST_F(FormChart, DraggingARowRotatesTheColours)
{
    Make();
    QWidget* viewport = GridViewport();
    Send(viewport, QEvent::MouseButtonPress, Cell(0, 1), Qt::LeftButton, Qt::LeftButton);
    Send(viewport, QEvent::MouseMove, Cell(1, 1), Qt::NoButton, Qt::LeftButton);
    Send(viewport, QEvent::MouseMove, Cell(2, 1), Qt::NoButton, Qt::LeftButton);
    Send(viewport, QEvent::MouseButtonRelease, Cell(2, 1), Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(Group(0).Count(), 3);
    EXPECT_EQ(Group(0).Value(0), SString("Shadow"));
    EXPECT_EQ(Group(0).Value(1), SString("Line"));
    EXPECT_EQ(Group(0).Value(2), SString("Light"));
    EXPECT_EQ(Group(0).Key(2), Light);
    EXPECT_TRUE(form->Chart().modified);
    EXPECT_EQ(form->GridChart()->currentIndex().row(), 2) << "the moved row stays current";

    // Upwards; then released below the last row, which moves to the end.
    Send(viewport, QEvent::MouseButtonPress, Cell(2, 1), Qt::LeftButton, Qt::LeftButton);
    Send(viewport, QEvent::MouseMove, Cell(0, 1), Qt::NoButton, Qt::LeftButton);
    Send(viewport, QEvent::MouseButtonRelease, Cell(0, 1), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Group(0).Value(0), SString("Light"));
    EXPECT_EQ(Group(0).Value(1), SString("Shadow"));
    Send(viewport, QEvent::MouseButtonPress, Cell(0, 1), Qt::LeftButton, Qt::LeftButton);
    Send(viewport, QEvent::MouseMove, Cell(5, 1), Qt::NoButton, Qt::LeftButton);
    Send(viewport, QEvent::MouseButtonRelease, Cell(5, 1), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Group(0).Value(2), SString("Light"));
    EXPECT_TRUE(refreshes.empty()) << "dragging in the name column takes no colour";
}

TEST_F(FormChart, ExchangesColoursWithTheQuickPalette)
{
    Make();
    std::array<SColor, 16> palette;
    palette.fill(SColor(5, 5, 5));
    controller.SetQuickPalette(palette);
    Trigger("MenuChartToQuickPalette");
    EXPECT_EQ(controller.QuickPalette()[0], Light);
    EXPECT_EQ(controller.QuickPalette()[2], Line);
    EXPECT_EQ(controller.QuickPalette()[3], SColor(5, 5, 5));
    EXPECT_EQ(refreshes, std::vector<std::uint32_t>{main_refresh::StatusBar});
    EXPECT_FALSE(form->Chart().modified);

    palette.fill(SColor::Black);
    controller.SetQuickPalette(palette);
    Trigger("MenuQuickPaletteToChart");
    ASSERT_EQ(form->Chart().groups.Count(), 3);
    ASSERT_EQ(form->ListGroup()->count(), 3);
    EXPECT_EQ(form->ListGroup()->item(2)->text(), QString::fromUtf8(kChartQuickPaletteName));
    ASSERT_EQ(Group(2).Count(), 16);
    EXPECT_EQ(Group(2).Value(0), SString("クイックパレット01"));
    EXPECT_EQ(Group(2).Value(15), SString("クイックパレット16"));
    EXPECT_EQ(Group(2).Key(15), SColor::Black);
    EXPECT_TRUE(form->Chart().modified);
}

TEST_F(FormChart, LoadsAndSavesChartsThroughTheDialogs)
{
    Make();
    WriteBytes(Path("other.ini"), "[Sky]\r\nBlue=#3080FF\r\n");

    // No: no dialog. Yes and Cancel: nothing either.
    platform.QueueAnswers({SBoxAnswer::No, SBoxAnswer::Yes});
    Trigger("MenuChartLoad");
    EXPECT_TRUE(platform.FileRequests().empty());
    EXPECT_EQ(platform.LastBox().text, kChartLoadAsk);
    EXPECT_EQ(platform.LastBox().style & (box_style::ButtonMask | box_style::IconMask), box_style::YesNo);
    platform.QueueFileCancel();
    Trigger("MenuChartLoad");
    EXPECT_EQ(form->Chart().groups.Count(), 2);
    EXPECT_EQ(platform.BoxCount(), 2u);
    ASSERT_EQ(platform.FileRequests().size(), 1u);
    const SFileDialogRequest request = platform.FileRequests()[0];
    EXPECT_EQ(request.mode, SFileDialogRequest::Mode::Open);
    EXPECT_EQ(request.title, "チャートを読み込む");
    ASSERT_FALSE(request.filters.empty());
    EXPECT_EQ(request.filters[0], (std::pair<std::string, std::string>("INIファイル(*.ini)", "*.ini")));

    // A file that cannot be read keeps the chart the user had.
    platform.QueueAnswers({SBoxAnswer::Yes});
    platform.QueueFileChoice({Path("missing.ini").string()});
    Trigger("MenuChartLoad");
    EXPECT_EQ(platform.LastBox().text, kChartLoadFailedText);
    EXPECT_EQ(form->Chart().groups.Count(), 2);
    EXPECT_FALSE(form->Chart().modified);

    platform.QueueAnswers({SBoxAnswer::Yes});
    platform.QueueFileChoice({Path("other.ini").string()});
    Trigger("MenuChartLoad");
    ASSERT_EQ(form->Chart().groups.Count(), 1);
    EXPECT_EQ(Group(0).Key(0), SColor(0x30, 0x80, 0xFF));
    EXPECT_EQ(form->ListGroup()->item(0)->text(), "Sky");
    EXPECT_EQ(form->ListGroup()->count(), 1);
    EXPECT_TRUE(form->Chart().modified);

    platform.QueueFileChoice({Path("saved.ini").string()});
    Trigger("MenuChartSave");
    EXPECT_EQ(ReadBytes(Path("saved.ini")), "[Sky]\r\nBlue=(48,128,255)\r\n");
    EXPECT_EQ(platform.FileRequests().back().mode, SFileDialogRequest::Mode::Save);
    EXPECT_EQ(platform.FileRequests().back().title, "チャートを名前を付けて保存");
    EXPECT_TRUE(form->Chart().modified) << "saving elsewhere leaves the per-user file to write";

    const std::size_t boxes = platform.BoxCount();
    platform.QueueFileChoice({(Path("no-folder") / "x.ini").string()});
    Trigger("MenuChartSave");
    ASSERT_EQ(platform.BoxCount(), boxes + 1);
    EXPECT_EQ(platform.LastBox().text, kChartSaveFailedText);
}

TEST_F(FormChart, DrawsSwatchesWithAFrameOnTheCurrentRow)
{
    Make();
    const QImage image = GrabGrid();
    const std::uint32_t white = 0xFFFFFFFFu;
    const std::uint32_t black = 0xFF000000u;
    // Row 0 is current: base, black frame at 3 px, colour from 4 px to 20 px.
    EXPECT_EQ(At(image, 2, 2), white);
    EXPECT_EQ(At(image, 3, 3), black);
    EXPECT_EQ(At(image, 20, 12), black);
    EXPECT_EQ(At(image, 4, 4), Rgb(Light));
    EXPECT_EQ(At(image, 19, 19), Rgb(Light));
    EXPECT_EQ(At(image, 21, 21), white);
    // Row 1 has no frame.
    EXPECT_EQ(At(image, 3, 24 + 3), white);
    EXPECT_EQ(At(image, 4, 24 + 4), Rgb(Shadow));
    EXPECT_EQ(At(image, 20, 24 + 20), white);
    // The name is drawn in the second column.
    bool inked = false;
    for (int y = 2; y < 22; ++y)
        for (int x = 26; x < 60; ++x)
            inked = inked || At(image, x, y) != white;
    EXPECT_TRUE(inked);

    // The frame follows the current row.
    Click(2, 0);
    const QImage moved = GrabGrid();
    EXPECT_EQ(At(moved, 3, 3), white);
    EXPECT_EQ(At(moved, 3, 48 + 3), black);
    EXPECT_EQ(At(moved, 10, 48 + 10), Rgb(Line));
    form.reset();

    // An empty chart: white cells.
    Make(&EmptyChart);
    const QImage empty = GrabGrid();
    for (const QPoint& p : {QPoint(3, 3), QPoint(12, 12), QPoint(60, 12)})
        EXPECT_EQ(At(empty, p.x(), p.y()), white);
}

// Pixels below the first row that are neither white nor black: the muted hint's text.
int HintPixels(const QImage& image)
{
    int count = 0;
    for (int y = 24; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += At(image, x, y) != 0xFFFFFFFFu && At(image, x, y) != 0xFF000000u;
    return count;
}

TEST_F(FormChart, AnEmptyChartTellsHowToFillIt)
{
    Make(&EmptyChart);
    EXPECT_TRUE(form->GridChart()->Hint().contains(QString::fromUtf8("右クリック")));
    EXPECT_GT(HintPixels(GrabGrid()), 50);

    Trigger("MenuChartAppendGroup");
    EXPECT_TRUE(form->GridChart()->Hint().isEmpty());
    form->ListGroup()->setCurrentRow(0);
    EXPECT_EQ(HintPixels(GrabGrid()), 0);

    // Deleting the last group brings the hint back.
    platform.QueueAnswers({SBoxAnswer::Yes});
    Trigger("MenuChartDeleteGroup");
    EXPECT_FALSE(form->GridChart()->Hint().isEmpty());
    form.reset();

    Make();
    EXPECT_TRUE(form->GridChart()->Hint().isEmpty());
}

}  // namespace
