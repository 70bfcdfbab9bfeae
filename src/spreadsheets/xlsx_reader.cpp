#include "spreadsheets/xlsx_reader.h"

#include "spreadsheets/xlsx_parts.h"
#include "spreadsheets/zip_archive.h"

#include <QXmlStreamReader>
#include <charconv>
#include <cmath>

namespace sheet {
namespace {

// A worksheet of a million rows is about a quarter of this; a member larger than it is
// no office ledger.
constexpr qint64 kPartLimit = qint64(1) << 30;
constexpr int kMaxColumns = 16384;      // the last column Excel has, XFD
constexpr double kLastSerial = 2958465; // 31 December 9999

// The 0-based column of a cell reference such as "AB12"; -1 without letters.
int columnOf(QStringView reference) {
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && reference.at(i).isLetter(); ++i) {
        column = column * 26 + (reference.at(i).toUpper().unicode() - u'A' + 1);
        if (column > kMaxColumns)
            return kMaxColumns;
    }
    return i == 0 ? -1 : column - 1;
}

std::optional<double> numberOf(const QString& text) {
    const QByteArray latin = text.trimmed().toLatin1();
    double number = 0;
    const auto [end, error] =
        std::from_chars(latin.constData(), latin.constData() + latin.size(), number);
    if (error != std::errc() || end != latin.constData() + latin.size() || !std::isfinite(number))
        return std::nullopt;
    return number;
}

struct Parts {
    xlsx::Workbook workbook;
    QStringList shared;
    QList<bool> dateStyles;
};

// The text of the element the reader stands on, joining its <t> children and leaving
// out phonetic hints (<rPh>).
QString inlineText(QXmlStreamReader& xml) {
    QString text;
    int phonetic = 0;
    const QString element = xml.name().toString();
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t" && phonetic == 0)
                text += xml.readElementText();
        } else if (token == QXmlStreamReader::EndElement) {
            if (xml.name() == u"rPh")
                --phonetic;
            else if (xml.name() == element)
                break;
        }
    }
    return text;
}

Value valueOf(const QString& type, const QString& stored, const QString& inlined, int style,
              const Parts& parts) {
    if (type == u"s") {
        bool ok = false;
        const int index = stored.toInt(&ok);
        return Value::ofText(ok ? parts.shared.value(index) : QString());
    }
    if (type == u"inlineStr")
        return Value::ofText(inlined);
    if (type == u"str" || type == u"e")
        return Value::ofText(stored);
    if (type == u"b")
        return Value::ofBoolean(stored.trimmed() == u"1");
    if (type == u"d") {
        const QDate date = QDate::fromString(stored.left(10), Qt::ISODate);
        return date.isValid() ? Value::ofDate(date) : Value::ofText(stored);
    }
    if (stored.trimmed().isEmpty())
        return {};
    const std::optional<double> number = numberOf(stored);
    if (!number)
        return Value::ofText(stored);
    if (parts.dateStyles.value(style)) {
        const QDate date = dateOfSerial(*number, parts.workbook.date1904);
        if (date.isValid())
            return Value::ofDate(date);
    }
    return Value::ofNumber(shortestDecimal(*number));
}

// Reads the <c> element the reader stands on into `row`.
void readCell(QXmlStreamReader& xml, const Parts& parts, int& nextColumn, Row& row) {
    const QXmlStreamAttributes attributes = xml.attributes();
    const int referenced = columnOf(attributes.value(QLatin1String("r")));
    const int column = referenced < 0 ? nextColumn : referenced;
    const QString type = attributes.value(QLatin1String("t")).toString();
    const int style = attributes.value(QLatin1String("s")).toInt();
    QString stored;
    QString inlined;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == u"v")
                stored = xml.readElementText();
            else if (xml.name() == u"is")
                inlined = inlineText(xml);
            else
                xml.skipCurrentElement();
        } else if (token == QXmlStreamReader::EndElement && xml.name() == u"c") {
            break;
        }
    }
    nextColumn = column + 1;
    const Value value = valueOf(type, stored, inlined, style, parts);
    if (value.isEmpty() || column >= kMaxColumns)
        return;
    if (row.cells.size() <= column)
        row.cells.resize(column + 1);
    row.cells[column] = value;
}

QString readSheet(const QByteArray& data, const Parts& parts, QList<Row>& rows) {
    QXmlStreamReader xml(data);
    Row row;
    int nextColumn = 0;
    int lastRow = 0;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement && xml.name() == u"row") {
            const int number = xml.attributes().value(QLatin1String("r")).toInt();
            row = Row{number > 0 ? number : lastRow + 1, {}};
            lastRow = row.number;
            nextColumn = 0;
        } else if (token == QXmlStreamReader::StartElement && xml.name() == u"c") {
            readCell(xml, parts, nextColumn, row);
        } else if (token == QXmlStreamReader::EndElement && xml.name() == u"row") {
            if (!row.cells.isEmpty())
                rows.append(row);
        }
    }
    if (xml.hasError())
        return QStringLiteral("il foglio del file Excel non si legge (riga %1: %2)")
            .arg(xml.lineNumber())
            .arg(xml.errorString());
    return {};
}

} // namespace

QString shortestDecimal(double number) {
    char digits[400];
    const auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, number, std::chars_format::fixed);
    if (error != std::errc())
        return {};
    const QString text = QString::fromLatin1(digits, end - digits);
    return text == u"-0" ? QStringLiteral("0") : text;
}

QDate dateOfSerial(double serial, bool date1904) {
    if (!(serial >= 0 && serial <= kLastSerial))
        return {};
    const qint64 days = qint64(std::floor(serial));
    if (date1904)
        return QDate(1904, 1, 1).addDays(days);
    if (days == 0 || days == 60)
        return {};
    // Before the day that never was, serials count from 31 December 1899.
    return days < 60 ? QDate(1899, 12, 31).addDays(days) : QDate(1899, 12, 30).addDays(days);
}

Table readXlsx(const QString& path) {
    Table table;
    ZipArchive zip;
    if (const Status opened = zip.open(path); !opened.ok()) {
        table.error = opened.error();
        return table;
    }
    Parts parts;
    const Result<QByteArray> workbookXml = zip.read(QStringLiteral("xl/workbook.xml"), kPartLimit);
    const Result<QByteArray> relations =
        zip.read(QStringLiteral("xl/_rels/workbook.xml.rels"), kPartLimit);
    if (!workbookXml.ok() || !relations.ok()) {
        table.error = workbookXml.ok() ? relations.error() : workbookXml.error();
        return table;
    }
    const Result<xlsx::Workbook> workbook = xlsx::readWorkbook(workbookXml.value, relations.value);
    if (!workbook.ok()) {
        table.error = workbook.error();
        return table;
    }
    parts.workbook = workbook.value;
    if (zip.contains(QStringLiteral("xl/sharedStrings.xml"))) {
        const Result<QByteArray> xml = zip.read(QStringLiteral("xl/sharedStrings.xml"), kPartLimit);
        const Result<QStringList> shared =
            xml.ok() ? xlsx::readSharedStrings(xml.value) : Result<QStringList>{xml.status, {}};
        if (!shared.ok()) {
            table.error = shared.error();
            return table;
        }
        parts.shared = shared.value;
    }
    if (zip.contains(QStringLiteral("xl/styles.xml"))) {
        const Result<QByteArray> xml = zip.read(QStringLiteral("xl/styles.xml"), kPartLimit);
        const Result<QList<bool>> styles =
            xml.ok() ? xlsx::readDateStyles(xml.value) : Result<QList<bool>>{xml.status, {}};
        if (!styles.ok()) {
            table.error = styles.error();
            return table;
        }
        parts.dateStyles = styles.value;
    }
    const Result<QByteArray> sheet = zip.read(parts.workbook.firstSheet, kPartLimit);
    if (!sheet.ok()) {
        table.error = sheet.error();
        return table;
    }
    table.error = readSheet(sheet.value, parts, table.rows);
    if (!table.error.isEmpty())
        table.rows.clear();
    return table;
}

} // namespace sheet
