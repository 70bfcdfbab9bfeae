#include "platform/report/report_format.h"

#include "platform/amount.h"
#include "platform/date_text.h"

#include <cmath>
#include <limits>

namespace report {

QString formatCents(qint64 cents) {
    return Amount::fromCents(cents).format();
}

namespace {

bool readCents(const QVariant& value, qint64& cents) {
    if (value.isNull())
        return false;
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
        cents = value.toLongLong();
        return true;
    case QMetaType::Double: {
        // Amounts are whole cents; a fraction of a cent is no amount, and rounding it
        // silently would hide the fault.
        const double d = value.toDouble();
        if (d != std::floor(d) || std::abs(d) > 9.0e15)
            return false;
        cents = qint64(d);
        return true;
    }
    case QMetaType::QString: {
        bool ok = false;
        cents = value.toString().trimmed().toLongLong(&ok);
        return ok;
    }
    default: {
        bool ok = false;
        cents = value.toLongLong(&ok);
        return ok;
    }
    }
}

} // namespace

bool centsOf(const QVariant& value, qint64& cents) {
    // The smallest int64 has no positive counterpart, so no amount holds it.
    return readCents(value, cents) && cents != std::numeric_limits<qint64>::min();
}

QString formatValue(const QVariant& value, Format format) {
    if (value.isNull())
        return {};
    switch (format) {
    case Format::Text:
        return value.toString();
    case Format::Money:
    case Format::Rate: {
        qint64 cents = 0;
        if (!centsOf(value, cents))
            return value.toString();
        return format == Format::Money ? formatCents(cents) : Amount::fromCents(cents).plainText();
    }
    case Format::Date:
        return shownDate(value.toString());
    }
    return value.toString();
}

} // namespace report
