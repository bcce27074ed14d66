#include "TFormChart.h"

#include "SDefaultChart.h"
#include "SFileDialog.h"
#include "SHuedraneController.h"
#include "SMainWindowRules.h"
#include "SMessage.h"
#include "SUiText.h"

#include <QAction>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <cerrno>
#include <utility>

using namespace ulib;

namespace {

constexpr const char* LoadTitle = "チャートを読み込む";
constexpr const char* SaveTitle = "チャートを名前を付けて保存";
constexpr const char* FilterName = "INIファイル(*.ini)";
constexpr const char* FilterPattern = "*.ini";
constexpr const char* EmptyChartHint = "右クリックのメニューでカラーグループと色を追加できます。";

QString ToQString(const SString& text)
{
    return QString::fromUtf8(text.CStr(), text.Length());
}

SString FromQString(const QString& text)
{
    return SString(text.toStdString());
}

QAction* AddItem(QMenu* menu, const char* name, const char* caption)
{
    QAction* action = menu->addAction(UiText(caption));
    action->setObjectName(QString::fromUtf8(name));
    return action;
}

}  // namespace

TFormChart::TFormChart(SHuedraneController& controller, const SHeldKeys& keys, QWidget* owner)
    : TToolBox("FormChart", "カラーチャート", owner), controller_(controller), keys_(keys)
{
    listGroup_ = new QListWidget(this);
    listGroup_->setObjectName(QStringLiteral("ListGroup"));
    listGroup_->setViewMode(QListView::ListMode);
    listGroup_->setSelectionMode(QAbstractItemView::SingleSelection);
    listGroup_->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    listGroup_->setContextMenuPolicy(Qt::CustomContextMenu);

    gridChart_ = new TChartGrid(*this, this);
    gridChart_->setObjectName(QStringLiteral("GridChart"));
    gridChart_->setContextMenuPolicy(Qt::CustomContextMenu);
    const int scrollWidth = gridChart_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, gridChart_);
    gridChart_->setFixedWidth(TChartGrid::SwatchWidth + TChartGrid::NameWidth + scrollWidth +
                              2 * gridChart_->frameWidth());

    popupChart_ = new QMenu(this);
    popupChart_->setObjectName(QStringLiteral("PopupChart"));
    menuAppendGroup_ = AddItem(popupChart_, "MenuChartAppendGroup", "カラーグループの追加(&G)");
    menuDeleteGroup_ = AddItem(popupChart_, "MenuChartDeleteGroup", "カラーグループの削除(&H)");
    popupChart_->addSeparator();
    menuAppendColor_ = AddItem(popupChart_, "MenuChartAppendColor", "色の追加(&A)");
    menuDeleteColor_ = AddItem(popupChart_, "MenuChartDeleteColor", "色の削除(&D)");
    popupChart_->addSeparator();
    menuLoad_ = AddItem(popupChart_, "MenuChartLoad", "チャートを読み込む(&O)");
    menuSave_ = AddItem(popupChart_, "MenuChartSave", "チャートを名前を付けて保存(&S)");
    popupChart_->addSeparator();
    menuToQuickPalette_ = AddItem(popupChart_, "MenuChartToQuickPalette", "クイックパレットへ送る(&Q)");
    menuFromQuickPalette_ = AddItem(popupChart_, "MenuQuickPaletteToChart", "クイックパレットから読み込む(&R)");

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(listGroup_, 1);
    layout->addWidget(gridChart_);
    resize(240, 260);

    connect(menuAppendGroup_, &QAction::triggered, this, &TFormChart::ChartAppendGroupClick);
    connect(menuDeleteGroup_, &QAction::triggered, this, &TFormChart::ChartDeleteGroupClick);
    connect(menuAppendColor_, &QAction::triggered, this, &TFormChart::ChartAppendColorClick);
    connect(menuDeleteColor_, &QAction::triggered, this, &TFormChart::ChartDeleteColorClick);
    connect(menuLoad_, &QAction::triggered, this, &TFormChart::MenuChartLoadClick);
    connect(menuSave_, &QAction::triggered, this, &TFormChart::MenuChartSaveClick);
    connect(menuToQuickPalette_, &QAction::triggered, this, &TFormChart::MenuChartToQuickPaletteClick);
    connect(menuFromQuickPalette_, &QAction::triggered, this, &TFormChart::MenuQuickPaletteToChartClick);
    connect(popupChart_, &QMenu::aboutToShow, this, &TFormChart::PopupChartPopup);
    for (QWidget* widget : {static_cast<QWidget*>(listGroup_), static_cast<QWidget*>(gridChart_)}) {
        connect(widget, &QWidget::customContextMenuRequested, this,
                [this, widget](const QPoint& at) { popupChart_->popup(widget->mapToGlobal(at)); });
    }
    connect(listGroup_, &QListWidget::itemSelectionChanged, this, &TFormChart::ListGroupChange);
    connect(listGroup_, &QListWidget::itemChanged, this, &TFormChart::ListGroupEdited);
    connect(gridChart_, &TChartGrid::CellSelected, this, &TFormChart::GridChartSelectCell);
    connect(gridChart_, &TChartGrid::RowMoved, this, &TFormChart::GridChartRowMoved);

    // A missing chart file is a first start, given the default chart; an unreadable one has its
    // error box from the reading.
    if (chart_.LoadUserChart(ChartFilePath(), DefaultChartBytes()))
        (void)ShowPlainMessage(kChartLoadFailedText);
    RefillGroups();
}

TFormChart::~TFormChart()
{
    if (chart_.modified) {
        // The folders may exist already; a real failure shows up as the save's.
        (void)MakeChartFolder();
        const SString path = ChartFilePath();
        const SError error = path.IsEmpty() ? ErrorFromSystemCode(ENOENT) : chart_.SaveChartFile(path);
        if (error)
            (void)ShowPlainMessage(kChartSaveFailedText);
    }
    // The grid draws from this object and the list reports to it: both go while this object is
    // still whole.
    updating_ = true;
    listGroup_->disconnect(this);
    delete gridChart_;
    gridChart_ = nullptr;
    delete listGroup_;
    listGroup_ = nullptr;
}

int TFormChart::SelectedGroup() const
{
    const QList<QListWidgetItem*> selected = listGroup_->selectedItems();
    if (selected.isEmpty())
        return -1;
    const int row = listGroup_->row(selected.first());
    return row >= 0 && row < chart_.groups.Count() ? row : -1;
}

void TFormChart::PopupChartPopup()
{
    const bool hasGroup = SelectedGroup() >= 0;
    menuDeleteGroup_->setEnabled(hasGroup);
    menuAppendColor_->setEnabled(hasGroup);
    menuDeleteColor_->setEnabled(hasGroup);
    menuToQuickPalette_->setEnabled(hasGroup);
    menuSave_->setEnabled(!chart_.groups.IsEmpty());
}

QListWidgetItem* TFormChart::MakeGroupItem(const SString& name) const
{
    auto* item = new QListWidgetItem(ToQString(name));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    return item;
}

void TFormChart::RefillGroups()
{
    const int focused = listGroup_->currentRow();
    updating_ = true;
    listGroup_->clear();
    for (std::int32_t i = 0; i < chart_.groups.Count(); ++i)
        listGroup_->addItem(MakeGroupItem(chart_.groups.Key(i)));
    // The item that had the focus keeps it, so showing the box again shows the same group.
    if (focused >= 0 && focused < listGroup_->count())
        listGroup_->setCurrentRow(focused, QItemSelectionModel::NoUpdate);
    updating_ = false;
    ListGroupChange();
}

void TFormChart::FormShow()
{
    gridChart_->setColumnWidth(0, TChartGrid::SwatchWidth);
    gridChart_->setColumnWidth(1, TChartGrid::NameWidth);
    RefillGroups();
}

void TFormChart::SelectFocusedOrTop()
{
    if (listGroup_->count() == 0 || !listGroup_->selectedItems().isEmpty())
        return;
    const int focused = listGroup_->currentRow();
    const int row = focused >= 0 && focused < listGroup_->count() ? focused : 0;
    listGroup_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

void TFormChart::ShowSelectedGroup()
{
    const int column = std::max(gridChart_->currentIndex().column(), 0);
    gridChart_->SetHint(chart_.groups.IsEmpty() ? UiText(EmptyChartHint) : QString());
    gridChart_->Model().Reset();
    gridChart_->SetCurrentQuietly(0, column);
    gridChart_->scrollToTop();
    gridChart_->viewport()->update();
}

void TFormChart::ListGroupChange()
{
    if (updating_)
        return;
    updating_ = true;
    SelectFocusedOrTop();
    ShowSelectedGroup();
    updating_ = false;
}

void TFormChart::ListGroupEdited(QListWidgetItem* item)
{
    if (updating_ || !item)
        return;
    chart_.RenameGroup(listGroup_->row(item), FromQString(item->text()));
}

int TFormChart::GridRowCount() const
{
    if (chart_.groups.IsEmpty())
        return 1;  // an empty chart still shows one row of white cells
    const int group = SelectedGroup();
    return group < 0 ? 1 : std::max<int>(chart_.groups.Value(group).Count(), 1);
}

void TFormChart::GridChartDrawCell(QPainter& painter, const QRect& cell, int row, int column)
{
    if (chart_.groups.IsEmpty()) {
        painter.fillRect(cell, Qt::white);
        return;
    }
    const int group = SelectedGroup();
    if (group < 0 || row < 0 || row >= chart_.groups.Value(group).Count())
        return;
    const SColourGroup& colours = chart_.groups.Value(group);
    const QPalette& palette = gridChart_->palette();
    painter.fillRect(cell, palette.brush(QPalette::Base));
    if (column == 1) {
        painter.setPen(palette.color(QPalette::Text));
        painter.drawText(cell.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         ToQString(colours.Value(row)));
        return;
    }
    // The current row's swatch has a one-pixel black frame around it.
    if (row == gridChart_->currentIndex().row())
        painter.fillRect(cell.adjusted(3, 3, -3, -3), Qt::black);
    const SColor colour = colours.Key(row);
    painter.fillRect(cell.adjusted(4, 4, -4, -4), QColor(colour.r, colour.g, colour.b));
}

bool TFormChart::GridCellEditable(int row) const
{
    const int group = SelectedGroup();
    return group >= 0 && row >= 0 && row < chart_.groups.Value(group).Count();
}

QString TFormChart::GridChartGetEditText(int row) const
{
    return GridCellEditable(row) ? ToQString(chart_.groups.Value(SelectedGroup()).Value(row)) : QString();
}

void TFormChart::GridChartSetEditText(int row, const QString& text)
{
    chart_.RenameColour(SelectedGroup(), row, FromQString(text));
    gridChart_->viewport()->update();
}

void TFormChart::GridChartSelectCell(int row, int column)
{
    if (updating_)
        return;
    const int group = SelectedGroup();
    if (group < 0)
        return;
    if (column == 1) {
        gridChart_->SetEditAllowed(true);
        return;
    }
    gridChart_->SetEditAllowed(false);
    if (row < 0 || row >= chart_.groups.Value(group).Count())
        return;
    const SToolState& tools = controller_.Tools();
    if (keys_.space) {
        // Storing needs a colour to store: in the other modes the current colour is not painted.
        if (tools.colourMode != SColourMode::Colour)
            return;
        chart_.SetColour(group, row, tools.currentColour);
    } else {
        emit MainRefresh(controller_.TakeColour(chart_.groups.Value(group).Key(row)));
    }
    gridChart_->viewport()->update();
}

void TFormChart::GridChartRowMoved(int from, int to)
{
    const int group = SelectedGroup();
    chart_.MoveColour(group, from, to);
    if (group >= 0)
        gridChart_->SetCurrentQuietly(to, std::max(gridChart_->currentIndex().column(), 0));
    gridChart_->viewport()->update();
}

void TFormChart::ChartAppendGroupClick()
{
    const bool wasEmpty = chart_.groups.IsEmpty();
    const std::int32_t count = chart_.groups.Count();
    chart_.AppendGroup(controller_.Tools().currentColour, controller_.Tools().colourMode);
    if (chart_.groups.Count() == count)
        return;
    updating_ = true;
    listGroup_->addItem(MakeGroupItem(chart_.groups.Key(-1)));
    updating_ = false;
    if (wasEmpty)
        ShowSelectedGroup();  // the white cells of the empty chart go
}

void TFormChart::ChartDeleteGroupClick()
{
    const int group = SelectedGroup();
    if (group < 0) {
        (void)ShowPlainMessage(kChartNoGroupText);
        return;
    }
    if (ShowMessageBox("", kChartDeleteGroupAsk, "y") != 1)
        return;
    chart_.DeleteGroup(group);
    updating_ = true;
    delete listGroup_->takeItem(group);
    updating_ = false;
    ListGroupChange();
}

void TFormChart::ChartAppendColorClick()
{
    const int group = SelectedGroup();
    if (group < 0)
        return;
    chart_.AppendColour(group, controller_.Tools().currentColour, controller_.Tools().colourMode);
    const QModelIndex current = gridChart_->currentIndex();
    gridChart_->Model().Reset();
    gridChart_->SetCurrentQuietly(std::max(current.row(), 0), std::max(current.column(), 0));
}

void TFormChart::ChartDeleteColorClick()
{
    const int group = SelectedGroup();
    if (group < 0)
        return;
    const QModelIndex current = gridChart_->currentIndex();
    if (!chart_.DeleteColour(group, current.row()))
        return;
    gridChart_->Model().Reset();
    gridChart_->SetCurrentQuietly(std::min(current.row(), GridRowCount() - 1), std::max(current.column(), 0));
}

void TFormChart::MenuChartLoadClick()
{
    if (ShowMessageBox("", kChartLoadAsk, "Y") != 1)
        return;
    SFileDialog dialog;
    dialog.title = LoadTitle;
    (void)dialog.filters.Append(SString(FilterName), SString(FilterPattern));
    if (!dialog.Open())
        return;
    // Reading empties the chart first; a file that cannot be read must not cost the chart the
    // user has, which would otherwise be written over the per-user file at exit.
    SColourGroups previous = chart_.groups;
    if (chart_.LoadChartFile(dialog.FileName())) {
        chart_.groups = std::move(previous);
        (void)ShowPlainMessage(kChartLoadFailedText);
        return;
    }
    chart_.modified = true;
    RefillGroups();
}

void TFormChart::MenuChartSaveClick()
{
    SFileDialog dialog;
    dialog.title = SaveTitle;
    (void)dialog.filters.Append(SString(FilterName), SString(FilterPattern));
    if (!dialog.Save())
        return;
    if (chart_.SaveChartFile(dialog.FileName()))
        (void)ShowPlainMessage(kChartSaveFailedText);
}

void TFormChart::MenuChartToQuickPaletteClick()
{
    const int group = SelectedGroup();
    std::array<ulib::SColor, 16> palette = controller_.QuickPalette();
    if (group < 0 || !chart_.ToQuickPalette(group, palette))
        return;
    emit MainRefresh(controller_.SetQuickPalette(palette));
}

void TFormChart::MenuQuickPaletteToChartClick()
{
    chart_.FromQuickPalette(controller_.QuickPalette());
    RefillGroups();
}
