// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid_accessibility.h"

#include "app/grid_area.h"
#include "core/selection.h"
#include "core/text_codec.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <map>

namespace vortigo {

namespace {

QString cellDescription(CellPaint look)
{
    switch (look) {
    case CellPaint::Red:
        return QStringLiteral("selezionata");
    case CellPaint::Yellow:
        return QStringLiteral("parte di una parola trovata");
    case CellPaint::White:
    case CellPaint::AsFilled:
        break;
    }
    return QString();
}

class GridTable;

class GridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    GridCellAccessible(GridArea* grid, Cell cell) : m_grid(grid), m_cell(cell) {}

    bool isValid() const override
    {
        if (!m_grid || !m_grid->game().gridShown())
            return false;
        const GameState& s = m_grid->game().state();
        return m_cell.col <= s.GridCols && m_cell.row <= s.GridRows;
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_grid ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_grid.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return QString();
        if (t == QAccessible::Name) {
            const char letter = m_grid->game().state().CellLetter(m_cell.col, m_cell.row);
            return QString::fromStdString(latin1ToUtf8(std::string(1, letter)));
        }
        if (t == QAccessible::Description)
            return cellDescription(m_grid->game().cellPaint(m_cell));
        return QString();
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        const QRect local = m_grid->cellRect(m_cell);
        return QRect(m_grid->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State st;
        if (!isValid()) {
            st.invisible = true;
            return st;
        }
        st.selectable = true;
        st.focusable = true;
        st.selected = isSelected();
        st.focused = m_grid->hasFocus() && m_grid->focusCell() == m_cell;
        return st;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    bool isSelected() const override { return isValid() && m_grid->game().cellPaint(m_cell) == CellPaint::Red; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_cell.col - 1; }
    int rowIndex() const override { return m_cell.row - 1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<GridArea> m_grid;
    Cell m_cell;
};

class GridTable : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridTable(GridArea* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    ~GridTable() override { dropCells(); }

    GridArea* grid() const { return static_cast<GridArea*>(widget()); }

    /// Cells are made when first asked for and kept (registered with Qt)
    /// until the grid is rebuilt, so a screen reader's references hold.
    void dropCells()
    {
        for (const auto& [index, id] : m_cells)
            QAccessible::deleteAccessibleInterface(id);
        m_cells.clear();
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return QStringLiteral("Griglia delle lettere");
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return rowCount() * columnCount(); }
    QAccessibleInterface* child(int index) const override
    {
        const int cols = columnCount();
        if (index < 0 || index >= childCount() || cols == 0)
            return nullptr;
        return cellAt(index / cols, index % cols);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (const auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface())
            if (cell->table() == this)
                return cell->rowIndex() * columnCount() + cell->columnIndex();
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const GameState& s = grid()->game().state();
        const std::optional<Cell> cell = childCount() > 0 ? cellFromPointer(s, grid()->mapFromGlobal(QPoint(x, y)).x(),
                                                                             grid()->mapFromGlobal(QPoint(x, y)).y())
                                                          : std::nullopt;
        return cell ? cellAt(cell->row - 1, cell->col - 1) : nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        if (!grid()->hasFocus() || childCount() == 0)
            return nullptr;
        const Cell c = grid()->focusCell();
        return cellAt(c.row - 1, c.col - 1);
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return nullptr;
        const int index = row * columnCount() + column;
        auto it = m_cells.find(index);
        if (it == m_cells.end()) {
            auto* cell = new GridCellAccessible(grid(), Cell{column + 1, row + 1});
            it = m_cells.emplace(index, QAccessible::registerAccessibleInterface(cell)).first;
        }
        return QAccessible::accessibleInterface(it->second);
    }
    int selectedCellCount() const override { return static_cast<int>(selectedCells().size()); }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> out;
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->tableCellInterface()->isSelected())
                out.append(child(i));
        return out;
    }
    QString columnDescription(int column) const override { return QStringLiteral("Colonna %1").arg(column + 1); }
    QString rowDescription(int row) const override { return QStringLiteral("Riga %1").arg(row + 1); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return grid()->game().gridShown() ? grid()->game().state().GridCols : 0; }
    int rowCount() const override { return grid()->game().gridShown() ? grid()->game().state().GridRows : 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    // Letters are picked by playing them, not by selecting rows or columns.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override { dropCells(); }

private:
    mutable std::map<int, QAccessible::Id> m_cells;
};

QAccessibleInterface* gridFactory(const QString&, QObject* object)
{
    if (auto* grid = dynamic_cast<GridArea*>(object))
        return new GridTable(grid);
    return nullptr;
}

GridTable* tableOf(GridArea* grid)
{
    return dynamic_cast<GridTable*>(QAccessible::queryAccessibleInterface(grid));
}

}  // namespace

void installGridAccessibility()
{
    static const bool once = [] {
        QAccessible::installFactory(gridFactory);
        return true;
    }();
    (void)once;
}

void gridRebuilt(GridArea* grid)
{
    GridTable* table = tableOf(grid);
    if (table == nullptr)
        return;
    QAccessibleTableModelChangeEvent reset(grid, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
    table->dropCells();
}

void gridCellChanged(GridArea* grid, Cell cell)
{
    if (!QAccessible::isActive())
        return;
    GridTable* table = tableOf(grid);
    if (table == nullptr)
        return;
    if (QAccessibleInterface* iface = table->cellAt(cell.row - 1, cell.col - 1)) {
        QAccessible::State changed;
        changed.selected = true;
        QAccessibleStateChangeEvent event(iface, changed);
        QAccessible::updateAccessibility(&event);
        QAccessibleEvent description(iface, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&description);
    }
}

void gridFocusMoved(GridArea* grid)
{
    if (!QAccessible::isActive() || !grid->hasFocus())
        return;
    if (GridTable* table = tableOf(grid))
        if (QAccessibleInterface* cell = table->focusChild()) {
            QAccessibleEvent focus(cell, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
}

}  // namespace vortigo
