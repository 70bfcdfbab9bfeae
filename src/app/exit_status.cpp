#include "app/exit_status.h"

namespace {

const ExitStatusMeaning kMeanings[] = {
    {kExported, "fatto (la stampa è scritta, le tabelle sono importate)"},
    {kNoWindow, "nessuno schermo, o l'archivio non si apre per la finestra"},
    {kBadArguments, "opzioni errate o sconosciute"},
    {kNoDatabase, "l'archivio non esiste o non si apre"},
    {kNothingToPrint, "nessun dato da stampare"},
    {kExportFailed, "lettura dei dati o scrittura del PDF non riuscita"},
    {kImportRefused, "importazione non fatta: nulla è stato scritto"},
    {kImportIncomplete, "importazione fatta, con righe rifiutate (elencate)"},
};

} // namespace

std::span<const ExitStatusMeaning> exitStatusMeanings() {
    return kMeanings;
}
