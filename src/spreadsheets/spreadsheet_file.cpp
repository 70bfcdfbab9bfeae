#include "spreadsheets/spreadsheet_file.h"

#include "spreadsheets/csv_reader.h"
#include "spreadsheets/file_reason.h"
#include "spreadsheets/xlsx_reader.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>
#include <cerrno>
#include <cstdio>

namespace sheet {
namespace {

constexpr qint64 kTextLimit = qint64(256) << 20;

struct FileBytes {
    QByteArray bytes;
    QString error;
};

FileBytes readBytes(const QString& path) {
    FileBytes result;
    errno = 0;
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file) {
        result.error = fileReason(errno);
        return result;
    }
    char buffer[1 << 16];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        result.bytes.append(buffer, qsizetype(read));
        // A workbook is read by the zip library; its first bytes say enough.
        if (result.bytes.startsWith("PK\x03\x04"))
            break;
        if (result.bytes.size() > kTextLimit) {
            result.error = QStringLiteral("il file è troppo grande per un foglio di testo");
            break;
        }
    }
    if (result.error.isEmpty() && std::ferror(file))
        result.error = fileReason(errno ? errno : EIO);
    std::fclose(file);
    return result;
}

QString decoded(QByteArray bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

bool startsFormula(QChar c) {
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

int scoreOf(const QString& text, QChar separator) {
    const CsvTable table = readCsv(text, separator);
    if (!table.error.isEmpty())
        return -1;
    QHash<qsizetype, int> byWidth;
    qsizetype widest = table.header.size();
    byWidth[widest] = 1;
    for (const CsvRecord& record : table.records) {
        ++byWidth[record.fields.size()];
        widest = std::max(widest, record.fields.size());
    }
    return widest > 1 ? int(widest) * byWidth.value(widest) : 0;
}

Table textTable(const QString& text) {
    Table table;
    const CsvTable csv = readCsv(text, separatorOf(text));
    if (!csv.error.isEmpty()) {
        table.error = csv.error;
        return table;
    }
    const auto add = [&table](int line, const QStringList& fields) {
        Row row{line, {}};
        for (const QString& field : fields)
            row.cells.append(Value::ofText(unguardedText(field)));
        table.rows.append(row);
    };
    if (!csv.header.isEmpty())
        add(csv.headerLine, csv.header);
    for (const CsvRecord& record : csv.records)
        add(record.line, record.fields);
    return table;
}

} // namespace

QString unguardedText(const QString& text) {
    if (text.size() > 1 && text.front() == u'\'' && startsFormula(text.at(1)))
        return text.mid(1);
    return text;
}

QChar separatorOf(const QString& text) {
    return scoreOf(text, u',') > scoreOf(text, u';') ? QChar(u',') : QChar(u';');
}

Table readSpreadsheet(const QString& path) {
    const FileBytes file = readBytes(path);
    if (!file.error.isEmpty()) {
        Table table;
        table.error = file.error;
        return table;
    }
    if (file.bytes.startsWith("PK\x03\x04"))
        return readXlsx(path);
    return textTable(decoded(file.bytes));
}

} // namespace sheet
