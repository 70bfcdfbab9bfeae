#pragma once

#include "base/status.h"
#include "store/keyed_reader.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <functional>
#include <list>
#include <vector>

// A read-only table over a KeyedQuery. Loading reads the row keys only; the rows
// are read when first asked for, a window of neighbours at a time, and only the
// last few windows are kept, so memory stays small and scrolling stays quick
// whatever the number of rows.
class KeyedQueryModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using Formatter = std::function<QString(const QVariant&)>;
    static constexpr int kWindowRows = 128;
    static constexpr std::size_t kKeptWindows = 8;

    explicit KeyedQueryModel(QObject* parent = nullptr);
    ~KeyedQueryModel() override;

    // Reads the keys and the column names; on failure the model stays empty.
    Status load(const KeyedQuery& query);

    // How a column shows its values; columns without one show the value as it is,
    // aligned left.
    void setColumnFormat(int column, Formatter format, Qt::Alignment alignment);

    // The stored value of a cell; a row deleted since loading has empty cells.
    QVariant value(int row, int column) const;
    // False for a row deleted since loading.
    bool isRowPresent(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // Reading the rows in view failed after a successful load; sent once per load.
    void readFailed(const QString& reason) const;

private:
    struct Column {
        Formatter format;
        Qt::Alignment alignment = Qt::AlignLeft;
    };
    struct Window {
        int first = 0;
        int rows = 0;
        std::vector<QVariant> values; // row by row
        std::vector<QString> texts;   // as shown, row by row
        std::vector<bool> present;    // per row: false once deleted, shown empty
    };

    const Window& windowOf(int row) const;
    Window readWindow(int first) const;
    void formatWindow(Window& window) const;

    mutable KeyedReader reader_{kWindowRows};
    std::vector<Column> columns_;
    mutable std::list<Window> windows_; // most recently used first
    mutable bool readFailed_ = false;
};
