#include "widgets/data_grid.h"

#include "shell/qt_message_boxes.h"
#include "values/amount.h"
#include "widgets/keyed_query_model.h"
#include "widgets/model_rows.h"
#include "widgets/row_history_dialog.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

DataGrid::DataGrid(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    connect(this, &QTableView::clicked, this, [this](const QModelIndex& index) {
        // The view ends a double click without a second click: one pick per gesture.
        if (index.isValid())
            Q_EMIT rowPicked(index.row());
    });

    chooser_ = table_export::chooseExportPath;
    setContextMenuPolicy(Qt::ActionsContextMenu);
    const auto addExport = [this](table_export::FileFormat format, const char* name,
                                  const QKeySequence& keys) {
        auto* action = new QAction(table_export::exportCaption(format), this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this, [this, format] { exportAs(format); });
        addAction(action);
        return action;
    };
    exportExcel_ = addExport(table_export::FileFormat::Xlsx, "EsportaExcel",
                             QKeySequence(Qt::CTRL | Qt::Key_E));
    exportCsv_ = addExport(table_export::FileFormat::Csv, "EsportaCsv",
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    historyAction_ = new QAction(QStringLiteral("Storia…"), this);
    historyAction_->setObjectName(QStringLiteral("Storia"));
    connect(historyAction_, &QAction::triggered, this, [this] { showRowHistory(); });
    addAction(historyAction_);
    updateExportActions();
}

Status DataGrid::bind(const KeyedQuery& query) {
    unbind();
    auto* model = new KeyedQueryModel(this);
    if (Status loaded = model->load(query); !loaded.ok()) {
        delete model;
        return loaded;
    }
    queryModel_ = model;
    connect(queryModel_, &KeyedQueryModel::readFailed, this, &DataGrid::readFailed,
            Qt::QueuedConnection);
    setModel(queryModel_);
    updateExportActions();
    // A new result starts at its first row and first column, wherever the last one was.
    scrollToTop();
    horizontalScrollBar()->setValue(0);
    return Status::success();
}

void DataGrid::bindModel(QAbstractItemModel* model) {
    unbind();
    setModel(model);
}

void DataGrid::unbind() {
    QAbstractItemModel* old = model();
    setModel(nullptr);
    for (int c = 0; c < horizontalHeader()->count(); ++c)
        setColumnHidden(c, false);
    if (old == queryModel_)
        delete queryModel_;
    queryModel_ = nullptr;
    exportTitle_.clear();
    exportSelection_.clear();
    kinds_.clear();
    history_.reset();
    updateExportActions();
}

void DataGrid::setRowHistory(const QString& table, const QString& noun, int nameColumn,
                             QList<field_changes::Field> fields) {
    history_ = RowHistory{table, noun, nameColumn, std::move(fields)};
    updateExportActions();
}

bool DataGrid::showRowHistory() {
    bool known = false;
    const qint64 key = cellValue(0).toLongLong(&known);
    if (!history_ || !known)
        return false;
    QtMessageBoxes own(window());
    RowHistoryDialog dialog(history_->table, key, history_->fields,
                            QStringLiteral("%1 %2 - %3")
                                .arg(history_->noun)
                                .arg(key)
                                .arg(cellText(history_->nameColumn)),
                            boxes_ ? *boxes_ : own, window());
    dialog.exec();
    return true;
}

void DataGrid::setExportTitle(const QString& title,
                              const QList<std::pair<QString, QString>>& selection) {
    exportTitle_ = title;
    exportSelection_ = selection;
    updateExportActions();
}

void DataGrid::setColumnKind(int column, table_export::CellKind kind) {
    kinds_.insert(column, kind);
}

void DataGrid::updateExportActions() {
    const bool enabled = queryModel_ && !exportTitle_.isEmpty();
    exportExcel_->setEnabled(enabled);
    exportCsv_->setEnabled(enabled);
    // Only the grids whose rows have a history offer it.
    historyAction_->setVisible(history_.has_value());
}

bool DataGrid::exportAs(table_export::FileFormat format) {
    if (!queryModel_ || exportTitle_.isEmpty())
        return false;
    const QString path = chooser_ ? chooser_(window(), format, exportTitle_) : QString();
    return !path.isEmpty() && exportTo(format, path);
}

bool DataGrid::exportTo(table_export::FileFormat format, const QString& path) {
    if (!queryModel_)
        return false;
    table_export::TableShape shape{exportTitle_, exportSelection_, {}};
    QList<int> columns;
    QList<table_export::CellKind> kinds;
    const QHeaderView* header = horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (isColumnHidden(column))
            continue;
        columns.append(column);
        kinds.append(kinds_.value(column, table_export::CellKind::Text));
        shape.columns.append(
            {queryModel_->headerData(column, Qt::Horizontal).toString(), kinds.last()});
    }
    table_export::ModelRows rows(*queryModel_, columns, kinds);
    if (boxes_)
        return table_export::exportWithProgress(window(), *boxes_, format, path, shape, rows);
    QtMessageBoxes boxes(window());
    return table_export::exportWithProgress(window(), boxes, format, path, shape, rows);
}

int DataGrid::twipsToPixels(int twips, qreal logicalDpi) {
    return qRound(twips * logicalDpi / 1440.0);
}

void DataGrid::setColumnWidthTwips(int column, int twips) {
    setColumnWidth(column, twipsToPixels(twips, logicalDpiX()));
}

void DataGrid::widenColumnFor(int column, const QString& text) {
    // What the item delegate asks for such a cell, plus the grid line inside the column.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = text;
    const int needed =
        style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).width() +
        (showGrid() ? 1 : 0);
    if (columnWidth(column) < needed)
        setColumnWidth(column, needed);
}

QString DataGrid::widestDate() {
    return QStringLiteral("28/12/2021");
}

QString DataGrid::widestAmount() {
    return Amount::fromCents(999'999'999).format();
}

void DataGrid::setColumnFormat(int column, Formatter format, Qt::Alignment alignment) {
    if (queryModel_)
        queryModel_->setColumnFormat(column, std::move(format), alignment);
}

int DataGrid::rowCount() const {
    return model() ? model()->rowCount() : 0;
}

int DataGrid::columnCount() const {
    return model() ? model()->columnCount() : 0;
}

QString DataGrid::cellText(int column) const {
    const QModelIndex current = currentIndex();
    if (!model() || !current.isValid())
        return {};
    return model()->index(current.row(), column).data(Qt::DisplayRole).toString();
}

QVariant DataGrid::cellValue(int column) const {
    const QModelIndex current = currentIndex();
    if (!model() || !current.isValid())
        return {};
    if (queryModel_)
        return queryModel_->value(current.row(), column);
    return model()->index(current.row(), column).data(Qt::EditRole);
}

void DataGrid::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentIndex().isValid() && editTriggers() == QAbstractItemView::NoEditTriggers) {
        // A held key repeats: one pick per press.
        if (!event->isAutoRepeat())
            Q_EMIT rowPicked(currentIndex().row());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}
