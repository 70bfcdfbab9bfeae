#pragma once

#include "base/status.h"
#include "tax/due_date.h"
#include "tax/legal_rates.h"
#include "tax/return_deadlines.h"

// The tax calendar's data in the database: legal rates, deferrals, return deadlines,
// office options.
namespace tax {

// The rates of the rate table; a year whose rate is empty is left out.
Result<LegalRates> loadLegalRates();
// The deferrals of the deferral table; a row whose dates do not read is left out.
Result<DueDateOverrides> loadOverrides();

// The return deadlines of the deadline table; a row whose date is empty or does not read
// is left out.
Result<ReturnDeadlines> loadReturnDeadlines();

// Whether the office chose to defer 1040 withholdings of at most 100 euro.
Result<bool> smallAmountDeferralChosen();
Status chooseSmallAmountDeferral(bool chosen);

} // namespace tax
