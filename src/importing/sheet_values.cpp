#include "importing/sheet_values.h"

#include "importing/legacy_values.h"
#include "ledger/withholding_rules.h"
#include "spreadsheets/xlsx_reader.h"

#include <QRegularExpression>

namespace importing {

std::optional<Amount> amountFromText(const QString& text) {
    static const QRegularExpression italianThousands(QStringLiteral("^[-+]?\\d{1,3}(\\.\\d{3})+$"));
    QString s = text.trimmed();
    s.remove(u'€');
    s = s.trimmed();
    if (s.isEmpty())
        return std::nullopt;
    const qsizetype comma = s.lastIndexOf(u',');
    const qsizetype stop = s.lastIndexOf(u'.');
    if (comma >= 0 && stop > comma)
        return amountFromDecimalText(s.remove(u','));
    if (comma < 0 && stop >= 0 && !italianThousands.match(s).hasMatch())
        return amountFromDecimalText(s);
    if (s.startsWith(u'+'))
        s.remove(0, 1);
    return Amount::parse(s);
}

std::optional<Amount> amountOfCell(const sheet::Value& cell) {
    switch (cell.kind) {
    case sheet::Value::Kind::Number:
        return amountFromDecimalText(cell.text);
    case sheet::Value::Kind::Text:
        return amountFromText(cell.text);
    default:
        break;
    }
    return std::nullopt;
}

std::optional<QDate> dateOfCell(const sheet::Value& cell, const QDate& today) {
    static const QRegularExpression dayFirst(
        QStringLiteral("^(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{2}|\\d{4})$"));
    static const QRegularExpression isoDate(QStringLiteral(
        "^(\\d{4})-(\\d{1,2})-(\\d{1,2})([ T]\\d{1,2}:\\d{2}(:\\d{2}(\\.\\d+)?)?)?$"));
    QDate date;
    switch (cell.kind) {
    case sheet::Value::Kind::Date:
        date = cell.date;
        break;
    case sheet::Value::Kind::Number: {
        bool ok = false;
        const double serial = cell.text.toDouble(&ok);
        if (ok)
            date = sheet::dateOfSerial(serial, false);
        break;
    }
    case sheet::Value::Kind::Text: {
        const QString s = cell.text.trimmed();
        if (const QRegularExpressionMatch m = dayFirst.match(s); m.hasMatch()) {
            int year = m.captured(3).toInt();
            if (m.captured(3).size() == 2)
                year += year <= today.year() % 100 ? 2000 : 1900;
            date = QDate(year, m.captured(2).toInt(), m.captured(1).toInt());
        } else if (const QRegularExpressionMatch m = isoDate.match(s); m.hasMatch()) {
            date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        }
        break;
    }
    default:
        break;
    }
    // The ledger's dates are those a date box takes.
    if (!date.isValid() || !ledger::readShortDate(ledger::shortDateText(date)))
        return std::nullopt;
    return date;
}

std::optional<bool> flagOfCell(const sheet::Value& cell) {
    if (cell.kind == sheet::Value::Kind::Boolean)
        return cell.flag;
    const QString s = textOfCell(cell).toUpper();
    for (const char* yes : {"S", "SÌ", "SI", "X", "VERO", "TRUE", "1"}) {
        if (s == QString::fromUtf8(yes))
            return true;
    }
    for (const char* no : {"N", "NO", "FALSO", "FALSE", "0"}) {
        if (s == QString::fromUtf8(no))
            return false;
    }
    return std::nullopt;
}

QString textOfCell(const sheet::Value& cell) {
    switch (cell.kind) {
    case sheet::Value::Kind::Empty:
        return {};
    case sheet::Value::Kind::Text:
    case sheet::Value::Kind::Number:
        return cell.text.trimmed();
    case sheet::Value::Kind::Date:
        return ledger::shortDateText(cell.date);
    case sheet::Value::Kind::Boolean:
        return cell.flag ? QStringLiteral("S") : QStringLiteral("N");
    }
    return {};
}

} // namespace importing
