#include "support/spreadsheet_files.h"

#include <QFile>
#include <QProcess>
#include <QXmlStreamReader>

namespace {

QByteArray part(const QString& path, const QString& name, QString* error) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, name});
    if (!unzip.waitForFinished(60000) || unzip.exitCode() != 0) {
        *error = QStringLiteral("unzip %1 %2 failed: %3")
                     .arg(path, name, QString::fromLocal8Bit(unzip.readAllStandardError()));
        return {};
    }
    return unzip.readAllStandardOutput();
}

struct CellStyle {
    QString numberFormat;
    bool wrapped = false;
};

// The cell styles by index: format code (for the built-in ids Excel writers use and the
// file's own) and whether the text wraps onto its lines.
QList<CellStyle> cellStyles(const QByteArray& styles) {
    QMap<int, QString> codes{{0, QStringLiteral("General")}, {14, QStringLiteral("mm-dd-yy")}};
    QList<CellStyle> formats;
    QXmlStreamReader xml(styles);
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"numFmt")
            codes.insert(xml.attributes().value(QLatin1String("numFmtId")).toInt(),
                         xml.attributes().value(QLatin1String("formatCode")).toString());
        else if (xml.isStartElement() && xml.name() == u"cellXfs")
            inCellXfs = true;
        else if (xml.isEndElement() && xml.name() == u"cellXfs")
            inCellXfs = false;
        else if (inCellXfs && xml.isStartElement() && xml.name() == u"xf")
            formats.append(
                {codes.value(xml.attributes().value(QLatin1String("numFmtId")).toInt()), false});
        else if (inCellXfs && xml.isStartElement() && xml.name() == u"alignment" &&
                 !formats.isEmpty())
            formats.last().wrapped =
                xml.attributes().value(QLatin1String("wrapText")) == QLatin1String("1");
    }
    return formats;
}

QStringList sharedStrings(const QByteArray& strings) {
    QStringList list;
    QXmlStreamReader xml(strings);
    QString current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si")
            current.clear();
        else if (xml.isStartElement() && xml.name() == u"t")
            current += xml.readElementText();
        else if (xml.isEndElement() && xml.name() == u"si")
            list.append(current);
    }
    return list;
}

void readSheet(const QByteArray& sheet, const QList<CellStyle>& formats, const QStringList& strings,
               XlsxContents& contents) {
    QXmlStreamReader xml(sheet);
    QString ref;
    SheetCell cell;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            if (xml.isEndElement() && xml.name() == u"c") {
                if (cell.type == u"s")
                    cell.value = strings.value(cell.value.toInt());
                contents.cells.insert(ref, cell);
            }
            continue;
        }
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == u"c") {
            ref = a.value(QLatin1String("r")).toString();
            const CellStyle style = formats.value(a.value(QLatin1String("s")).toInt(),
                                                  {QStringLiteral("General"), false});
            cell = SheetCell{
                a.value(QLatin1String("t")).toString(), {}, {}, style.numberFormat, style.wrapped};
        } else if (xml.name() == u"v") {
            cell.value = xml.readElementText();
        } else if (xml.name() == u"f") {
            cell.formula = xml.readElementText();
        } else if (xml.name() == u"t") {
            cell.value += xml.readElementText();
        } else if (xml.name() == u"row" && a.hasAttribute(QLatin1String("ht"))) {
            contents.rowHeights.insert(a.value(QLatin1String("r")).toInt(),
                                       a.value(QLatin1String("ht")).toDouble());
        } else if (xml.name() == u"pane") {
            contents.frozenTopLeft = a.value(QLatin1String("topLeftCell")).toString();
        } else if (xml.name() == u"autoFilter") {
            contents.autoFilter = a.value(QLatin1String("ref")).toString();
        } else if (xml.name() == u"col") {
            for (int c = a.value(QLatin1String("min")).toInt();
                 c <= a.value(QLatin1String("max")).toInt(); ++c)
                contents.columnWidths.insert(c - 1, a.value(QLatin1String("width")).toDouble());
        }
    }
}

void readProperties(const QByteArray& core, const QByteArray& custom, XlsxContents& contents) {
    QXmlStreamReader xml(core);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() != u"coreProperties")
            contents.properties.insert(xml.name().toString(), xml.readElementText());
    }
    QXmlStreamReader customXml(custom);
    QString name;
    while (!customXml.atEnd()) {
        if (customXml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (customXml.name() == u"property")
            name = customXml.attributes().value(QLatin1String("name")).toString();
        else if (!name.isEmpty())
            contents.properties.insert(name, customXml.readElementText());
    }
}

} // namespace

XlsxContents readXlsx(const QString& path) {
    XlsxContents contents;
    QString error;
    const QByteArray workbook = part(path, QStringLiteral("xl/workbook.xml"), &error);
    const QByteArray sheet = part(path, QStringLiteral("xl/worksheets/sheet1.xml"), &error);
    const QByteArray styles = part(path, QStringLiteral("xl/styles.xml"), &error);
    const QByteArray core = part(path, QStringLiteral("docProps/core.xml"), &error);
    const QByteArray custom = part(path, QStringLiteral("docProps/custom.xml"), &error);
    if (!error.isEmpty()) {
        contents.error = error;
        return contents;
    }
    QString stringsError;
    const QByteArray strings = part(path, QStringLiteral("xl/sharedStrings.xml"), &stringsError);
    QXmlStreamReader xml(workbook);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"sheet") {
            contents.sheetName = xml.attributes().value(QLatin1String("name")).toString();
            break;
        }
    }
    readSheet(sheet, cellStyles(styles), sharedStrings(strings), contents);
    readProperties(core, custom, contents);
    return contents;
}

CsvContents readCsv(const QString& path) {
    CsvContents contents;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.error = file.errorString();
        return contents;
    }
    QByteArray bytes = file.readAll();
    contents.byteOrderMark = bytes.startsWith("\xEF\xBB\xBF");
    if (contents.byteOrderMark)
        bytes.remove(0, 3);
    const QString text = QString::fromUtf8(bytes);
    contents.crlfOnly = true;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (quoted) {
            if (ch == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (ch == u'"') {
                quoted = false;
            } else {
                field += ch;
            }
        } else if (ch == u'"' && field.isEmpty()) {
            quoted = true;
        } else if (ch == u';') {
            record.append(field);
            field.clear();
        } else if (ch == u'\r' || ch == u'\n') {
            const bool crlf = ch == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n';
            contents.crlfOnly = contents.crlfOnly && crlf;
            if (crlf)
                ++i;
            record.append(field);
            field.clear();
            contents.records.append(record);
            record.clear();
        } else {
            field += ch;
        }
    }
    if (!field.isEmpty() || !record.isEmpty()) {
        record.append(field);
        contents.records.append(record);
        contents.crlfOnly = false;
    }
    return contents;
}

QString unguarded(const QString& field) {
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (field.size() >= 2 && field.front() == u'\'' && formulaStarts.contains(field.at(1)))
        return field.mid(1);
    return field;
}
