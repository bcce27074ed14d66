// The colour chart box: the group list, the swatch grid of the selected group and the pop-up
// menu of chart commands. The chart is read from the per-user chart file when the box is made (the
// default chart on a first start) and written back when the box is destroyed, if it was changed.
// Clicking a swatch makes its colour the current colour; with Space held the current colour is
// stored into the swatch instead. An empty chart shows a hint over the grid.
#pragma once

#include "SColourChart.h"
#include "STools.h"
#include "TChartGrid.h"
#include "TToolBox.h"

class QAction;
class QListWidget;
class QListWidgetItem;
class QMenu;
class SHuedraneController;

class TFormChart : public TToolBox, private SChartGridSource
{
    Q_OBJECT

public:
    // Reads the chart file. keys are the keys held down now (Space stores into a swatch).
    TFormChart(SHuedraneController& controller, const SHeldKeys& keys, QWidget* owner);
    // Writes the chart file when the chart was changed.
    ~TFormChart() override;

    ulib::SColourChart& Chart() { return chart_; }
    QListWidget* ListGroup() const { return listGroup_; }
    TChartGrid* GridChart() const { return gridChart_; }
    QMenu* PopupChart() const { return popupChart_; }
    // The selected group's index, or -1.
    int SelectedGroup() const;
    // Enables the menu items for the current selection, as when the menu opens.
    void PopupChartPopup();
    // Shows the chart anew after it was changed from outside the box.
    void RefillGroups();

protected:
    void FormShow() override;

private:
    // Grid source.
    int GridRowCount() const override;
    void GridChartDrawCell(QPainter& painter, const QRect& cell, int row, int column) override;
    bool GridCellEditable(int row) const override;
    QString GridChartGetEditText(int row) const override;
    void GridChartSetEditText(int row, const QString& text) override;

    void ChartAppendGroupClick();
    void ChartDeleteGroupClick();
    void ChartAppendColorClick();
    void ChartDeleteColorClick();
    void MenuChartLoadClick();
    void MenuChartSaveClick();
    void MenuChartToQuickPaletteClick();
    void MenuQuickPaletteToChartClick();
    void ListGroupChange();
    void ListGroupEdited(QListWidgetItem* item);
    void GridChartSelectCell(int row, int column);
    void GridChartRowMoved(int from, int to);

    // Selects the focused item, else the top one, when no item is selected.
    void SelectFocusedOrTop();
    QListWidgetItem* MakeGroupItem(const ulib::SString& name) const;
    // The grid's row count and current row for the selected group.
    void ShowSelectedGroup();

    SHuedraneController& controller_;
    const SHeldKeys& keys_;
    ulib::SColourChart chart_;
    // Set while the group list is changed: the grid's selection and the list's edits are not the user's.
    bool updating_ = false;

    QListWidget* listGroup_ = nullptr;
    TChartGrid* gridChart_ = nullptr;
    QMenu* popupChart_ = nullptr;
    QAction* menuAppendGroup_ = nullptr;
    QAction* menuDeleteGroup_ = nullptr;
    QAction* menuAppendColor_ = nullptr;
    QAction* menuDeleteColor_ = nullptr;
    QAction* menuLoad_ = nullptr;
    QAction* menuSave_ = nullptr;
    QAction* menuToQuickPalette_ = nullptr;
    QAction* menuFromQuickPalette_ = nullptr;
};
