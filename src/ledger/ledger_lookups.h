#pragma once

#include "base/status.h"

#include <QString>
#include <QStringList>

// The lists the withholding entry offers and the description of a tax code; each
// query binds its values.
namespace ledger {

// Tax codes (Tributo.codice) in code order.
Result<QStringList> taxCodes();

// Rates as the operator sees them ("4", "20"), in the order the table keeps them.
Result<QStringList> rateTexts();

// Periods (periodo.periodo) in the order the table keeps them.
Result<QStringList> periods();

// The description (Causale) of the tax code equal to `code`, ignoring letter case;
// the empty text when there is none.
Result<QString> taxCodeDescription(const QString& code);

} // namespace ledger
