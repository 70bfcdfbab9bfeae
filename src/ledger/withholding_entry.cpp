#include "ledger/withholding_entry.h"

namespace ledger {

QString entryModeCaption(EntryMode mode) {
    switch (mode) {
    case EntryMode::Modify:
        return QStringLiteral("ModificaR");
    case EntryMode::Delete:
        return QStringLiteral("EliminaR");
    case EntryMode::Insert:
        break;
    }
    return QStringLiteral("Inserisci");
}

} // namespace ledger
