#include "ledger/withholding_entry.h"

namespace ledger {

std::optional<EntryMode> entryModeOf(const QString& caption) {
    if (caption == u"Inserisci")
        return EntryMode::Insert;
    if (caption == u"ModificaR")
        return EntryMode::Modify;
    if (caption == u"EliminaR")
        return EntryMode::Delete;
    return std::nullopt;
}

} // namespace ledger
