#include "app/exit_status.h"

namespace {

const ExitStatusMeaning kMeanings[] = {
    {kExported, "fatto (la stampa è scritta)"},
    {kNoWindow, "nessuno schermo, o l'archivio non si apre per la finestra"},
    {kBadArguments, "opzioni errate o sconosciute"},
    {kNoDatabase, "l'archivio non esiste o non si apre"},
    {kNothingToPrint, "nessun dato da stampare"},
    {kExportFailed, "lettura dei dati o scrittura del PDF non riuscita"},
};

} // namespace

std::span<const ExitStatusMeaning> exitStatusMeanings() {
    return kMeanings;
}
