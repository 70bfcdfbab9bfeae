#include "app/exit_status.h"

namespace {

const ExitStatusMeaning kMeanings[] = {
    {kExported, "fatto (stampa, copia o importazione scritta, archivio integro, elenco)"},
    {kNoWindow, "nessuno schermo, o l'archivio non si apre per la finestra"},
    {kBadArguments, "opzioni errate o sconosciute; tributo sconosciuto; date invertite"},
    {kNoDatabase, "l'archivio (per la copia, l'origine o la destinazione) non si apre"},
    {kNothingToPrint, "niente da stampare; nulla da versare; copia: destinazione piena"},
    {kExportFailed, "stampa o copia non scritta, o copia non verificata; manca un tasso"},
    {kDamaged, "archivio danneggiato (--check)"},
    {kImportIncomplete, "importazione fatta, con righe rifiutate (elencate)"},
    {kImportRefused, "importazione non fatta: nulla è stato scritto"},
};

} // namespace

std::span<const ExitStatusMeaning> exitStatusMeanings() {
    return kMeanings;
}
