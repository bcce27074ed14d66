#include "TChartGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <cstdlib>

namespace {

// Every cell is drawn by the source; the delegate's own drawing (selection, focus) stays off so
// the swatches show exactly their colours. Editing keeps the delegate's line edit.
class TChartGridDelegate : public QStyledItemDelegate
{
public:
    TChartGridDelegate(SChartGridSource& source, QObject* parent) : QStyledItemDelegate(parent), source_(source) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        painter->setClipRect(option.rect);
        painter->setFont(option.font);
        source_.GridChartDrawCell(*painter, option.rect, index.row(), index.column());
        painter->restore();
    }

private:
    SChartGridSource& source_;
};

}  // namespace

TChartGridModel::TChartGridModel(SChartGridSource& source, QObject* parent)
    : QAbstractTableModel(parent), source_(source)
{
}

int TChartGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : source_.GridRowCount();
}

int TChartGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant TChartGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() != 1)
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return source_.GridChartGetEditText(index.row());
    return {};
}

bool TChartGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != 1 || role != Qt::EditRole)
        return false;
    source_.GridChartSetEditText(index.row(), value.toString());
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags TChartGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 1 && source_.GridCellEditable(index.row()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

void TChartGridModel::Reset()
{
    beginResetModel();
    endResetModel();
}

TChartGrid::TChartGrid(SChartGridSource& source, QWidget* parent)
    : QTableView(parent), model_(source, this)
{
    setModel(&model_);
    setItemDelegate(new TChartGridDelegate(source, this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // Rows follow each other every 24 pixels: no grid lines between them.
    setShowGrid(false);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setColumnWidth(0, SwatchWidth);
    setColumnWidth(1, NameWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
}

void TChartGrid::SetCurrentQuietly(int row, int column)
{
    const bool wasQuiet = quiet_;
    quiet_ = true;
    const QModelIndex index = model_.index(row, column);
    if (index.isValid())
        setCurrentIndex(index);
    quiet_ = wasQuiet;
}

void TChartGrid::SetHint(const QString& hint)
{
    if (hint == hint_)
        return;
    hint_ = hint;
    viewport()->update();
}

void TChartGrid::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (hint_.isEmpty())
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(viewport()->rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, hint_);
}

void TChartGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (quiet_ || !current.isValid())
        return;
    reported_ = true;
    emit CellSelected(current.row(), current.column());
}

bool TChartGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    // A program's own request (AllEditTriggers) always edits; the user's only after the name
    // column was chosen.
    if (!editAllowed_ && trigger != QAbstractItemView::AllEditTriggers)
        return false;
    return QTableView::edit(index, trigger, event);
}

void TChartGrid::focusInEvent(QFocusEvent* event)
{
    // The view makes its first cell current when it gets the focus without one; that is no
    // choice of the user's.
    const bool wasQuiet = quiet_;
    quiet_ = true;
    QTableView::focusInEvent(event);
    quiet_ = wasQuiet;
    editAllowed_ = false;
    emit Entered();
}

void TChartGrid::keyPressEvent(QKeyEvent* event)
{
    // Space is held to store the current colour into a swatch: it must neither start editing
    // nor toggle the selection.
    if (event->key() == Qt::Key_Space && !(event->modifiers() & ~Qt::KeypadModifier)) {
        event->ignore();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TChartGrid::mousePressEvent(QMouseEvent* event)
{
    // Only the left button chooses a cell: the right one opens the pop-up menu over the cell
    // without taking its colour.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const QPoint at = event->position().toPoint();
    const QModelIndex pressed = indexAt(at);
    pressRow_ = pressed.isValid() ? pressed.row() : -1;
    pressY_ = at.y();
    moving_ = false;
    reported_ = false;
    QTableView::mousePressEvent(event);
    // Clicking the current cell again is a selection too: a swatch clicked twice takes its colour
    // again after the colour was changed elsewhere.
    if (pressed.isValid() && !reported_ && pressed == currentIndex())
        emit CellSelected(pressed.row(), pressed.column());
}

void TChartGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (pressRow_ >= 0 && (event->buttons() & Qt::LeftButton)) {
        // A drag moves the pressed row; it never drags a selection over other swatches.
        if (std::abs(event->position().toPoint().y() - pressY_) >= QApplication::startDragDistance())
            moving_ = true;
        return;
    }
    QTableView::mouseMoveEvent(event);
}

void TChartGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const bool moved = moving_;
    const int from = pressRow_;
    pressRow_ = -1;
    moving_ = false;
    QTableView::mouseReleaseEvent(event);
    if (!moved || from < 0)
        return;
    const int rows = model_.rowCount();
    const int y = event->position().toPoint().y();
    int to = rowAt(y);
    if (to < 0)
        to = y < 0 ? rowAt(0) : rows - 1;
    if (to >= 0 && to < rows && to != from)
        emit RowMoved(from, to);
}
