#include "platform/data_grid.h"

#include "platform/amount.h"
#include "platform/keyed_query_model.h"

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
