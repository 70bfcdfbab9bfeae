#pragma once

#include "values/amount.h"

#include <QDate>
#include <QList>
#include <QString>

// What the ledger takes from a received electronic invoice (FatturaPA): the parties of its
// header and, per body, the document's data, its withholding blocks and the sums the
// withholding bears on or not. Amounts are exact, read from the decimal text.
namespace einvoice {

struct Party {
    QString taxCode;    // CodiceFiscale
    QString vatNumber;  // IdFiscaleIVA/IdCodice
    QString vatCountry; // IdFiscaleIVA/IdPaese
    QString name;       // Denominazione, or Cognome Nome
    QString address;    // Indirizzo and NumeroCivico
    QString postalCode;
    QString town;
    QString province;
};

struct Withholding {
    QString type;   // TipoRitenuta: RT01 ... RT06
    Amount amount;  // ImportoRitenuta
    Amount rate;    // AliquotaRitenuta, in percent
    QString reason; // CausalePagamento: the CU reason
};

struct Body {
    QString documentType; // TipoDocumento
    QString number;
    QDate date;
    QList<Withholding> withholdings;
    Amount withheldBase;    // lines and pension-fund contributions flagged Ritenuta=SI
    Amount otherSums;       // the other lines and contributions
    QString referredNumber; // a credit note: the invoice it corrects
    QDate referredDate;
};

enum class Format { Ordinary, Simplified };

struct Invoice {
    Format format = Format::Ordinary;
    QString version; // FPR12, FPA12, FSM10
    Party supplier;
    Party buyer;
    QList<Body> bodies;
};

} // namespace einvoice
