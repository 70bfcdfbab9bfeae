#include "spreadsheets/csv_writer.h"

#include "spreadsheets/file_reason.h"
#include "values/amount.h"

#include <QFile>
#include <cerrno>

namespace table_export {
namespace {

constexpr qsizetype kFlushBytes = 1 << 16;

// Decimal comma, no grouping: what an Italian spreadsheet reads back as a number.
QString numberText(qint64 cents) {
    const bool negative = cents < 0;
    const quint64 magnitude = negative ? quint64(-(cents + 1)) + 1 : quint64(cents);
    return (negative ? QStringLiteral("-") : QString()) + QString::number(magnitude / 100) +
           QLatin1Char(',') + QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

bool startsFormula(const QString& text) {
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    return first == u'=' || first == u'+' || first == u'-' || first == u'@' || first == u'\t' ||
           first == u'\r';
}

QString quoted(const QString& text) {
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString escaped = text;
    escaped.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

} // namespace

CsvWriter::~CsvWriter() {
    if (file_)
        std::fclose(file_);
}

QString CsvWriter::field(const Cell& cell, CellKind kind) {
    switch (cell.type) {
    case Cell::Type::Empty:
        return {};
    case Cell::Type::Number:
        return kind == CellKind::Rate ? Amount::fromCents(cell.cents).plainText()
                                      : numberText(cell.cents);
    case Cell::Type::Date:
        return cell.date.toString(QStringLiteral("dd/MM/yyyy"));
    case Cell::Type::Text:
        break;
    }
    return quoted(startsFormula(cell.text) ? u'\'' + cell.text : cell.text);
}

void CsvWriter::addLine(const QStringList& fields) {
    buffer_.append(fields.join(u';').toUtf8());
    buffer_.append("\r\n", 2);
}

Status CsvWriter::flush() {
    if (buffer_.isEmpty())
        return Status::success();
    errno = 0;
    const std::size_t written =
        std::fwrite(buffer_.constData(), 1, std::size_t(buffer_.size()), file_);
    if (written != std::size_t(buffer_.size()) || std::fflush(file_) != 0)
        return fileFailure(errno ? errno : EIO);
    buffer_.clear();
    return Status::success();
}

Status CsvWriter::open(const QString& path, const TableShape& shape) {
    file_ = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file_)
        return fileFailure(errno);
    columns_ = shape.columns;
    buffer_ = QByteArray("\xEF\xBB\xBF");
    const auto text = [](const QString& t) { return field(cellOf(CellKind::Text, t)); };
    addLine({text(shape.title)});
    for (const auto& [label, value] : shape.selection)
        addLine({text(label), text(value)});
    addLine({});
    QStringList header;
    for (const Column& column : shape.columns)
        header.append(text(column.caption));
    addLine(header);
    return flush();
}

Status CsvWriter::write(const QList<Cell>& row) {
    QStringList fields;
    fields.reserve(row.size());
    for (int c = 0; c < row.size(); ++c)
        fields.append(field(row.at(c), columns_.value(c).kind));
    addLine(fields);
    return buffer_.size() >= kFlushBytes ? flush() : Status::success();
}

Status CsvWriter::close(const QList<std::optional<qint64>>& totals) {
    if (!totals.isEmpty()) {
        QStringList fields;
        for (const std::optional<qint64>& total : totals)
            fields.append(total ? numberText(*total) : QString());
        if (!totals.front())
            fields.front() = QStringLiteral("Totale");
        addLine(fields);
    }
    Status flushed = flush();
    errno = 0;
    const int closed = std::fclose(file_);
    file_ = nullptr;
    if (!flushed.ok())
        return flushed;
    if (closed != 0)
        return fileFailure(errno ? errno : EIO);
    return Status::success();
}

} // namespace table_export
