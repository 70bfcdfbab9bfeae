#pragma once

#include "base/status.h"
#include "store/field_changes.h"
#include "store/keyed_query.h"
#include "widgets/export_run.h"

#include <QHash>
#include <QTableView>
#include <functional>
#include <optional>

class QAbstractItemModel;
class KeyedQueryModel;
class MessageBoxes;

// A table bound to a query result, read by row keys so that a grid of many thousands
// of rows opens at once and stays small. Columns are addressed by position, as the
// result gives them.
class DataGrid : public QTableView {
    Q_OBJECT

public:
    using Formatter = std::function<QString(const QVariant&)>;

    explicit DataGrid(QWidget* parent = nullptr);

    // Binds the grid, read-only, to the rows of `query`.
    Status bind(const KeyedQuery& query);
    // Binds the grid to a model the caller owns (an editable table, for instance).
    void bindModel(QAbstractItemModel* model);
    // Empties the grid; column settings are dropped with the data.
    void unbind();
    bool isBound() const { return model() != nullptr; }

    // Per column, by position.
    void setColumnWidthTwips(int column, int twips);
    // Widens the column, never narrows it, so that `text` shows whole in its cells with
    // the grid's own font and style: a width set in twips is the least width.
    void widenColumnFor(int column, const QString& text);
    void setColumnFormat(int column, Formatter format, Qt::Alignment alignment = Qt::AlignRight);

    int rowCount() const;
    int columnCount() const;
    // The display text of a cell of the current row; the empty text without a current row.
    QString cellText(int column) const;
    // The stored value of a cell of the current row.
    QVariant cellValue(int column) const;

    static int twipsToPixels(int twips, qreal logicalDpi);
    // The widest texts a column of dates or of amounts must show whole.
    static QString widestDate();
    static QString widestAmount();

    // Export of every row, in the grid's order, with its visible columns in the order
    // shown, offered by the context menu ("Esporta Excel...", Ctrl+E; "Esporta CSV...",
    // Ctrl+Shift+E) once the loader has named the table. Binding again drops the name and
    // the column kinds.
    void setExportTitle(const QString& title,
                        const QList<std::pair<QString, QString>>& selection = {});
    void setColumnKind(int column, table_export::CellKind kind);
    // Boxes for a failed export; the real boxes when none is set.
    void setMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes; }
    void setExportPathChooser(table_export::PathChooser chooser) { chooser_ = std::move(chooser); }
    // "Storia…" in the context menu once the loader has named the rows: the changes of the
    // current row of `table`, whose key is the first column, its fields shown as `fields`
    // say, headed by `noun`, the key and the text of `nameColumn` ("Registrazione 12 -
    // ROSSI MARIO"). Binding again drops it.
    void setRowHistory(const QString& table, const QString& noun, int nameColumn,
                       QList<field_changes::Field> fields);
    // Shows the changes of the current row; false without a row or a history.
    bool showRowHistory();
    // Asks for a file and writes it; true when written.
    bool exportAs(table_export::FileFormat format);
    bool exportTo(table_export::FileFormat format, const QString& path);

Q_SIGNALS:
    // The operator picked the current row: a click on it, or Enter on it.
    void rowPicked(int row);
    // Reading the rows in view failed after the grid was bound.
    void readFailed(const QString& reason);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct RowHistory {
        QString table;
        QString noun;
        int nameColumn = 0;
        QList<field_changes::Field> fields;
    };

    void updateExportActions();

    KeyedQueryModel* queryModel_ = nullptr;
    QString exportTitle_;
    QList<std::pair<QString, QString>> exportSelection_;
    QHash<int, table_export::CellKind> kinds_;
    MessageBoxes* boxes_ = nullptr;
    table_export::PathChooser chooser_;
    QAction* exportExcel_ = nullptr;
    QAction* exportCsv_ = nullptr;
    std::optional<RowHistory> history_;
    QAction* historyAction_ = nullptr;
};
