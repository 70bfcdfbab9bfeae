#include "tax/legal_rates.h"

#include "store/schema.h"

namespace tax {

const LegalRates& knownLegalRates() {
    static const LegalRates rates = [] {
        LegalRates all;
        for (const auto& [year, rate] : store::schema::seededLegalRates())
            all.insert(year, rate);
        return all;
    }();
    return rates;
}

} // namespace tax
