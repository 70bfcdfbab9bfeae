#include "printing/report_format.h"

#include "values/amount.h"
#include "values/date_text.h"
#include "values/stored_money.h"

namespace report {

QString formatValue(const QVariant& value, Format format) {
    if (value.isNull())
        return {};
    switch (format) {
    case Format::Text:
        return value.toString();
    case Format::Money:
    case Format::Rate: {
        qint64 cents = 0;
        if (!money::centsOf(value, cents))
            return value.toString();
        return format == Format::Money ? money::formatCents(cents)
                                       : Amount::fromCents(cents).plainText();
    }
    case Format::Date:
        return shownDate(value);
    }
    return value.toString();
}

} // namespace report
