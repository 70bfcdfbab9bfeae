#pragma once

#include <QTableView>

// Whether a grid shows a cell's whole display text, by what the grid's own item delegate
// asks for it with the grid's font, plus the grid line drawn inside the column.
inline int neededWidth(const QTableView& grid, int row, int column) {
    return grid.sizeHintForIndex(grid.model()->index(row, column)).width() +
           (grid.showGrid() ? 1 : 0);
}
