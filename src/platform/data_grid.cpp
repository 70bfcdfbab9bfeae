#include "platform/data_grid.h"

#include "store/connection.h"

#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>

// A read-only query model that shows chosen columns through a formatter.
class FormattedQueryModel : public QSqlQueryModel {
public:
    using QSqlQueryModel::QSqlQueryModel;

    struct Column {
        DataGrid::Formatter format;
        Qt::Alignment alignment;
    };
    QHash<int, Column> columns;

    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DisplayRole) {
            const QVariant value = QSqlQueryModel::data(index, role);
            const auto it = columns.constFind(index.column());
            if (it != columns.constEnd() && it->format)
                return it->format(value);
            return value;
        }
        if (role == Qt::TextAlignmentRole) {
            const auto it = columns.constFind(index.column());
            const Qt::Alignment alignment =
                it != columns.constEnd() ? it->alignment : Qt::Alignment(Qt::AlignLeft);
            return QVariant::fromValue(alignment | Qt::AlignVCenter);
        }
        return QSqlQueryModel::data(index, role);
    }
};

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

Status DataGrid::bind(const QString& sql, const QVariantList& values) {
    unbind();
    QSqlQuery query(store::connection());
    if (!query.prepare(sql))
        return Status::failure(store::reasonOf(query));
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    if (!query.exec())
        return Status::failure(store::reasonOf(query));
    queryModel_ = new FormattedQueryModel(this);
    queryModel_->setQuery(std::move(query));
    setModel(queryModel_);
    // A new result starts at its first row and first column, wherever the last one was.
    scrollToTop();
    horizontalScrollBar()->setValue(0);
    if (queryModel_->lastError().isValid())
        return Status::failure(queryModel_->lastError().text());
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

void DataGrid::setColumnFormat(int column, Formatter format, Qt::Alignment alignment) {
    if (!queryModel_)
        return;
    queryModel_->columns.insert(column, {std::move(format), alignment});
    const int rows = queryModel_->rowCount();
    if (rows > 0)
        Q_EMIT queryModel_->dataChanged(queryModel_->index(0, column),
                                        queryModel_->index(rows - 1, column));
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
        return queryModel_->QSqlQueryModel::data(queryModel_->index(current.row(), column),
                                                 Qt::DisplayRole);
    return model()->index(current.row(), column).data(Qt::EditRole);
}

void DataGrid::fetchAll() {
    while (model() && model()->canFetchMore({}))
        model()->fetchMore({});
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
