// The colour chart's grid: two columns (swatch, name) of fixed 24-pixel rows with no headers. The
// grid owns none of the chart: it asks its source for the row count, the cells' drawing and the
// name being edited, and reports cell selection (also a click on the current cell, which takes
// its colour again), rows dragged to a new place and the focus arriving. A hint can be written over
// the grid (the empty chart says how to fill it).
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QTableView>

class QPainter;

// What the grid shows: implemented by the chart box.
class SChartGridSource
{
public:
    virtual ~SChartGridSource() = default;
    virtual int GridRowCount() const = 0;
    virtual void GridChartDrawCell(QPainter& painter, const QRect& cell, int row, int column) = 0;
    // Name column only; the swatch column is never edited.
    virtual bool GridCellEditable(int row) const = 0;
    virtual QString GridChartGetEditText(int row) const = 0;
    virtual void GridChartSetEditText(int row, const QString& text) = 0;
};

class TChartGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TChartGridModel(SChartGridSource& source, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The source's rows changed in number or order.
    void Reset();

private:
    SChartGridSource& source_;
};

class TChartGrid : public QTableView
{
    Q_OBJECT

public:
    static constexpr int RowHeight = 24;
    static constexpr int SwatchWidth = 24;
    static constexpr int NameWidth = 80;

    TChartGrid(SChartGridSource& source, QWidget* parent = nullptr);

    TChartGridModel& Model() { return model_; }
    // Whether in-place editing may start (the name column was selected since the grid got the focus).
    void SetEditAllowed(bool allowed) { editAllowed_ = allowed; }
    bool EditAllowed() const { return editAllowed_; }
    // Makes (row, column) current without reporting it.
    void SetCurrentQuietly(int row, int column);
    // A text drawn over the cells in a muted colour, word-wrapped; empty draws none.
    void SetHint(const QString& hint);
    const QString& Hint() const { return hint_; }

signals:
    void CellSelected(int row, int column);
    void RowMoved(int from, int to);
    void Entered();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    TChartGridModel model_;
    QString hint_;
    bool quiet_ = false;
    bool editAllowed_ = false;
    bool reported_ = false;  // the press already reported its cell through currentChanged
    int pressRow_ = -1;      // row under the left button while it is down, else -1
    int pressY_ = 0;
    bool moving_ = false;    // the press became a row drag
};
