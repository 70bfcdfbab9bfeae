#include "spreadsheets/xlsx_writer.h"

#include "spreadsheets/file_reason.h"
#include "values/amount.h"
#include "values/stored_money.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <xlsxwriter.h>

namespace table_export {
namespace {

constexpr int kMaxWidth = 60;
constexpr int kMinWidth = 6;
constexpr double kLineHeight = 15.0; // points, the default row's
const QDate kSerialEpoch(1899, 12, 30);
// Excel counts a 29 February 1900 that never was; its serials agree with the calendar
// from March 1900 on. Earlier dates are written as text.
const QDate kFirstSerialDate(1900, 3, 1);

Status libraryFailure(lxw_error error) {
    switch (error) {
    case LXW_NO_ERROR:
        return Status::success();
    case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE:
        return Status::failure(
            QStringLiteral("troppe righe per un foglio Excel (al massimo 1.048.576)"));
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
        return Status::failure(
            QStringLiteral("un testo supera i 32.767 caratteri di una cella Excel"));
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return Status::failure(QStringLiteral("memoria esaurita"));
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        if (errno != 0)
            return fileFailure(errno);
        break;
    default:
        break;
    }
    return Status::failure(QStringLiteral("scrittura del file Excel non riuscita (%1)")
                               .arg(QString::fromUtf8(lxw_strerror(error))));
}

qsizetype longestLine(const QString& text) {
    qsizetype longest = 0;
    for (const QStringView line : QStringView(text).split(u'\n'))
        longest = std::max(longest, line.size());
    return longest;
}

QString columnLetters(int column) {
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

} // namespace

XlsxWriter::~XlsxWriter() {
    // A failed or stopped export frees its workbook without writing it.
    if (workbook_)
        lxw_workbook_free(workbook_);
}

QString XlsxWriter::sheetName(const QString& title) {
    static const QRegularExpression refused(QStringLiteral("[\\[\\]:*?/\\\\]"));
    QString name = title;
    name.replace(refused, QStringLiteral(" "));
    name = name.simplified();
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    name.truncate(31);
    while (name.endsWith(u'\'') || name.endsWith(u' '))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("Foglio1") : name;
}

Status XlsxWriter::open(const QString& path, const TableShape& shape) {
    columns_ = shape.columns;
    widths_.assign(std::size_t(columns_.size()), 0);
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char*>(folder.constData());
    errno = 0;
    workbook_ = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!workbook_)
        return errno ? fileFailure(errno) : Status::failure(QStringLiteral("memoria esaurita"));

    const QByteArray title = shape.title.toUtf8();
    QStringList selection;
    for (const auto& [label, value] : shape.selection)
        selection.append(label + QStringLiteral(": ") + value);
    const QByteArray subject = selection.join(QStringLiteral(", ")).toUtf8();
    const QByteArray program = QByteArrayLiteral("Velarco " VELARCO_VERSION);
    lxw_doc_properties properties{};
    properties.title = const_cast<char*>(title.constData());
    properties.subject = const_cast<char*>(subject.constData());
    properties.comments = const_cast<char*>(program.constData());
    workbook_set_properties(workbook_, &properties);
    workbook_set_custom_property_string(workbook_, "Programma", "Velarco");
    workbook_set_custom_property_string(workbook_, "Versione", VELARCO_VERSION);

    sheet_ = workbook_add_worksheet(workbook_, sheetName(shape.title).toUtf8().constData());
    if (!sheet_)
        return Status::failure(QStringLiteral("nome del foglio non valido"));
    bold_ = workbook_add_format(workbook_);
    format_set_bold(bold_);
    money_ = workbook_add_format(workbook_);
    format_set_num_format(money_, "#,##0.00");
    moneyTotal_ = workbook_add_format(workbook_);
    format_set_num_format(moneyTotal_, "#,##0.00");
    format_set_bold(moneyTotal_);
    date_ = workbook_add_format(workbook_);
    format_set_num_format(date_, "dd/mm/yyyy");
    lines_ = workbook_add_format(workbook_);
    format_set_text_wrap(lines_);

    // Title, selection lines, a blank row, then the header.
    headerRow_ = int(shape.selection.size()) + 2;
    int row = 0;
    if (lxw_error e = worksheet_write_string(sheet_, lxw_row_t(row++), 0, title.constData(), bold_))
        return libraryFailure(e);
    for (const auto& [label, value] : shape.selection) {
        if (Status s = writeCell(row, 0, cellOf(CellKind::Text, label), bold_); !s.ok())
            return s;
        if (Status s = writeCell(row++, 1, cellOf(CellKind::Text, value), nullptr); !s.ok())
            return s;
    }
    for (int c = 0; c < columns_.size(); ++c) {
        const QString& caption = columns_.at(c).caption;
        if (Status s = writeCell(headerRow_, c, cellOf(CellKind::Text, caption), bold_); !s.ok())
            return s;
        // The filter's drop-down button takes about two characters of the header.
        widen(c, longestLine(caption) + 2);
    }
    worksheet_freeze_panes(sheet_, lxw_row_t(headerRow_ + 1), 0);
    nextRow_ = headerRow_ + 1;
    return Status::success();
}

void XlsxWriter::widen(int column, qsizetype characters) {
    qsizetype& width = widths_[std::size_t(column)];
    width = std::max(width, characters);
}

Status XlsxWriter::writeCell(int row, int column, const Cell& cell, lxw_format* format) {
    const lxw_row_t r = lxw_row_t(row);
    const lxw_col_t c = lxw_col_t(column);
    lxw_error error = LXW_NO_ERROR;
    switch (cell.type) {
    case Cell::Type::Empty:
        return Status::success();
    case Cell::Type::Text:
        // Text with line breaks wraps onto its lines, the row growing to hold them.
        if (!format && cell.text.contains(u'\n'))
            format = lines_;
        error = worksheet_write_string(sheet_, r, c, cell.text.toUtf8().constData(), format);
        if (row > headerRow_)
            widen(column, longestLine(cell.text));
        break;
    case Cell::Type::Number: {
        const bool money = columns_.value(column).kind == CellKind::Money;
        error = worksheet_write_number(sheet_, r, c, double(cell.cents) / 100.0,
                                       money ? (format ? format : money_) : format);
        widen(column,
              (money ? money::formatCents(cell.cents) : Amount::fromCents(cell.cents).plainText())
                  .size());
        break;
    }
    case Cell::Type::Date:
        if (cell.date < kFirstSerialDate) {
            Cell text;
            text.type = Cell::Type::Text;
            text.text = cell.date.toString(QStringLiteral("dd/MM/yyyy"));
            return writeCell(row, column, text, format);
        }
        error = worksheet_write_number(sheet_, r, c, double(kSerialEpoch.daysTo(cell.date)),
                                       format ? format : date_);
        widen(column, 10);
        break;
    }
    return libraryFailure(error);
}

Status XlsxWriter::write(const QList<Cell>& row) {
    if (nextRow_ >= int(LXW_ROW_MAX))
        return libraryFailure(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE);
    // A viewer does not grow a row for its wrapped text: the row is given the height of
    // its longest cell, in lines, before its cells are written.
    qsizetype lines = 1;
    for (const Cell& cell : row) {
        if (cell.type == Cell::Type::Text)
            lines = std::max(lines, cell.text.count(u'\n') + 1);
    }
    if (lines > 1) {
        if (lxw_error e = worksheet_set_row(sheet_, lxw_row_t(nextRow_),
                                            kLineHeight * double(lines), nullptr))
            return libraryFailure(e);
    }
    for (int c = 0; c < row.size() && c < columns_.size(); ++c) {
        if (Status s = writeCell(nextRow_, c, row.at(c), nullptr); !s.ok())
            return s;
    }
    ++nextRow_;
    return Status::success();
}

Status XlsxWriter::close(const QList<std::optional<qint64>>& totals) {
    const int lastDataRow = std::max(headerRow_, nextRow_ - 1);
    worksheet_autofilter(sheet_, lxw_row_t(headerRow_), 0, lxw_row_t(lastDataRow),
                         lxw_col_t(std::max<qsizetype>(columns_.size() - 1, 0)));
    if (!totals.isEmpty() && nextRow_ < int(LXW_ROW_MAX)) {
        const lxw_row_t row = lxw_row_t(nextRow_);
        for (int c = 0; c < totals.size() && c < columns_.size(); ++c) {
            if (!totals.at(c))
                continue;
            // Spreadsheet rows count from 1.
            const QString letters = columnLetters(c);
            const QByteArray formula = QStringLiteral("=SUM(%1%2:%1%3)")
                                           .arg(letters)
                                           .arg(headerRow_ + 2)
                                           .arg(lastDataRow + 1)
                                           .toLatin1();
            const bool money = columns_.at(c).kind == CellKind::Money;
            if (lxw_error e = worksheet_write_formula_num(
                    sheet_, row, lxw_col_t(c), formula.constData(), money ? moneyTotal_ : bold_,
                    double(*totals.at(c)) / 100.0))
                return libraryFailure(e);
            widen(c, money::formatCents(*totals.at(c)).size());
        }
        if (!totals.front()) {
            if (Status s =
                    writeCell(nextRow_, 0, cellOf(CellKind::Text, QStringLiteral("Totale")), bold_);
                !s.ok())
                return s;
        }
    }
    for (int c = 0; c < columns_.size(); ++c) {
        const double width =
            double(std::clamp<qsizetype>(widths_[std::size_t(c)] + 1, kMinWidth, kMaxWidth));
        worksheet_set_column(sheet_, lxw_col_t(c), lxw_col_t(c), width, nullptr);
    }
    // The library writes the rows to a temporary file without checking each write; a
    // full disk would otherwise pass for a short sheet.
    if (FILE* rows = sheet_->optimize_tmpfile) {
        errno = 0;
        if (std::fflush(rows) != 0 || std::ferror(rows))
            return fileFailure(errno ? errno : EIO);
    }
    errno = 0;
    const lxw_error closed = workbook_close(workbook_);
    workbook_ = nullptr;
    return libraryFailure(closed);
}

} // namespace table_export
