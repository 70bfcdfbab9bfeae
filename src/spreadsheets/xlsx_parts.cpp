#include "spreadsheets/xlsx_parts.h"

#include <QHash>
#include <QXmlStreamReader>

namespace sheet::xlsx {
namespace {

Status xmlFailure(const QString& part, const QXmlStreamReader& xml) {
    return Status::failure(QStringLiteral("la parte %1 del file Excel non si legge (riga %2: %3)")
                               .arg(part)
                               .arg(xml.lineNumber())
                               .arg(xml.errorString()));
}

bool isTrue(QStringView value) {
    return value == u"1" || value == u"true";
}

// Relationship targets are relative to the folder of the workbook part, or absolute.
QString memberOf(const QString& target) {
    if (target.startsWith(u'/'))
        return target.mid(1);
    return QStringLiteral("xl/") + target;
}

} // namespace

Result<Workbook> readWorkbook(const QByteArray& workbookXml, const QByteArray& relationsXml) {
    Result<Workbook> result;
    QString firstId;
    QXmlStreamReader xml(workbookXml);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"workbookPr") {
            result.value.date1904 = isTrue(xml.attributes().value(QLatin1String("date1904")));
        } else if (xml.name() == u"sheet" && firstId.isEmpty()) {
            for (const QXmlStreamAttribute& attribute : xml.attributes()) {
                if (attribute.name() == u"id")
                    firstId = attribute.value().toString();
            }
        }
    }
    if (xml.hasError()) {
        result.status = xmlFailure(QStringLiteral("xl/workbook.xml"), xml);
        return result;
    }
    QXmlStreamReader relations(relationsXml);
    while (!relations.atEnd()) {
        if (relations.readNext() == QXmlStreamReader::StartElement &&
            relations.name() == u"Relationship" &&
            relations.attributes().value(QLatin1String("Id")) == firstId)
            result.value.firstSheet =
                memberOf(relations.attributes().value(QLatin1String("Target")).toString());
    }
    if (relations.hasError())
        result.status = xmlFailure(QStringLiteral("xl/_rels/workbook.xml.rels"), relations);
    else if (firstId.isEmpty() || result.value.firstSheet.isEmpty())
        result.status = Status::failure(QStringLiteral("il file Excel non contiene fogli"));
    return result;
}

Result<QStringList> readSharedStrings(const QByteArray& data) {
    Result<QStringList> result;
    QXmlStreamReader xml(data);
    QString current;
    int phonetic = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (xml.name() == u"si")
                current.clear();
            else if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t" && phonetic == 0)
                current += xml.readElementText();
            break;
        case QXmlStreamReader::EndElement:
            if (xml.name() == u"si")
                result.value.append(current);
            else if (xml.name() == u"rPh")
                --phonetic;
            break;
        default:
            break;
        }
    }
    if (xml.hasError())
        result.status = xmlFailure(QStringLiteral("xl/sharedStrings.xml"), xml);
    return result;
}

bool isDateFormat(int id, const QString& code) {
    // The built-in formats that show dates (and times, which carry a date too).
    if ((id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
        (id >= 50 && id <= 58))
        return true;
    if (code.isEmpty())
        return false;
    // Quoted text, escaped characters and bracketed parts ([Red], [$-410]) are no
    // date letters; what remains shows a date when it has a day, month or year.
    bool quoted = false;
    int bracket = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == u'"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == u'\\' || c == u'_' || c == u'*')
            ++i;
        else if (c == u'[')
            ++bracket;
        else if (c == u']')
            bracket = std::max(0, bracket - 1);
        else if (bracket == 0 && QStringLiteral("dDmMyY").contains(c))
            return true;
    }
    return false;
}

Result<QList<bool>> readDateStyles(const QByteArray& data) {
    Result<QList<bool>> result;
    QHash<int, QString> custom;
    bool inCellStyles = false;
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs")
            inCellStyles = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == u"numFmt") {
            custom.insert(attributes.value(QLatin1String("numFmtId")).toInt(),
                          attributes.value(QLatin1String("formatCode")).toString());
        } else if (xml.name() == u"cellXfs") {
            inCellStyles = true;
        } else if (xml.name() == u"xf" && inCellStyles) {
            const int id = attributes.value(QLatin1String("numFmtId")).toInt();
            result.value.append(isDateFormat(id, custom.value(id)));
        }
    }
    if (xml.hasError())
        result.status = xmlFailure(QStringLiteral("xl/styles.xml"), xml);
    return result;
}

} // namespace sheet::xlsx
