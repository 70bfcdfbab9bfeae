#include "ledger/save_checks.h"

#include "ledger/withholding_rules.h"
#include "shell/message_boxes.h"
#include "values/amount.h"

#include <QDate>
#include <initializer_list>

namespace {

// The title variants are distinct texts, each kept for the checks that use it.
const QString kEmpty = QStringLiteral("ERRORE -- BLOCCANTE  CAMPO   VUOTO");
const QString kEmptySpaced = QStringLiteral("ERRORE - - BLOCCANTE CAMPO   VUOTO");
const QString kEmptyDashed = QStringLiteral("ERRORE - BLOCCANTE -CAMPO   VUOTO");
const QString kWarning = QStringLiteral("ERRORE - NON BLOCCANTE");
const QString kWarningSpaced = QStringLiteral("ERRORE - NON BLOCCANTE ");

const QString kMismatch =
    QStringLiteral(" Incongruenza - Pagamento fattura e Versamento Ritenuta !");

bool isBlank(const QString& text) {
    return text.trimmed().isEmpty();
}

bool anyBlank(std::initializer_list<const QString*> texts) {
    for (const QString* text : texts) {
        if (isBlank(*text))
            return true;
    }
    return false;
}

// Rule A: the withheld amount is the rate's share of the taxable amount, rounded
// to cents. Not applied while a value is blank; an unreadable value fails it.
bool withheldMismatch(const WithholdingEntry& e) {
    if (anyBlank({&e.taxable, &e.rate, &e.withheld}))
        return false;
    const std::optional<Amount> taxable = Amount::parse(e.taxable);
    const std::optional<Amount> rate = Amount::parse(e.rate);
    const std::optional<Amount> withheld = Amount::parse(e.withheld);
    if (!taxable || !rate || !withheld)
        return true;
    const std::optional<Amount> expected = taxable->percent(*rate);
    return !expected || *expected != *withheld;
}

// Rule B: the amount remitted is exactly interest + withheld + penalty.
bool remittedMismatch(const WithholdingEntry& e) {
    if (anyBlank({&e.withheld, &e.interest, &e.penalty, &e.remitted}))
        return false;
    std::optional<Amount> sum = Amount();
    for (const QString* text : {&e.interest, &e.withheld, &e.penalty}) {
        const std::optional<Amount> part = Amount::parse(*text);
        if (!part)
            return true;
        sum = sum->plus(*part);
        if (!sum)
            return true;
    }
    const std::optional<Amount> remitted = Amount::parse(e.remitted);
    return !remitted || *remitted != *sum;
}

bool totalMissing(const WithholdingEntry& e) {
    const std::optional<Amount> total = Amount::parse(e.total);
    return !total || total->isZero();
}

// A date that does not read, or a working year that is not a number, cannot be
// compared and so counts as a different year.
bool yearDiffers(const QString& dateText, const QString& workingYear) {
    bool ok = false;
    const int year = workingYear.trimmed().toInt(&ok);
    const std::optional<QDate> date = ledger::readShortDate(dateText);
    return !ok || !date || date->year() != year;
}

} // namespace

namespace ledger {

QList<SaveFinding> checkBeforeSave(const WithholdingEntry& e, EntryMode mode) {
    QList<SaveFinding> findings;
    if (mode == EntryMode::Delete)
        return findings;
    // A typed date that does not read is never dropped from the save: it stops it.
    const std::pair<const QString*, const char*> dates[] = {{&e.invoiceDate, "DataBox2"},
                                                            {&e.paymentDate, "DataBox3"},
                                                            {&e.remittanceDate, "DataBox4"}};
    for (const auto& [text, box] : dates) {
        if (!isBlank(*text) && !ledger::readShortDate(*text))
            return {{QStringLiteral("Data non valida"), QString(), QString::fromLatin1(box), true}};
    }

    struct Check {
        bool failed;
        QString message;
        const QString& title;
        const char* focus;
        bool stops;
    };
    const bool insert = mode == EntryMode::Insert;
    const Check checks[] = {
        {withheldMismatch(e), QStringLiteral("Errore: calcolo importo Ritenuta sbagliato  !"),
         blockingTitle(), "Cbo4", true},
        {remittedMismatch(e),
         insert ? QStringLiteral("Errore:nella quadratuta tra il campo Versato e il campo "
                                 "Ritenuta+ campo Interessi + campo Sanzione !")
                : QStringLiteral("Errore nella quadratuta tra il campo Versato e il campo "
                                 "Ritenuta+ campo Interessi + campo Sanzione !"),
         blockingTitle(), "Text18", true},
        {isBlank(e.subjectName), QStringLiteral("Inserire il campo Denominazione!"), kEmpty, "Cbo3",
         true},
        {isBlank(e.invoiceDate), QStringLiteral("Inserire il campo Data Fattura"), kEmpty,
         "DataBox2", true},
        {isBlank(e.taxCode), QStringLiteral("Inserire il campo Codice Tributo!"), kEmpty, "Cbo5",
         true},
        {isBlank(e.rate), QStringLiteral("Inserire il campo Aliquota!"), kEmpty, "Cbo4", true},
        {isBlank(e.taxable), QStringLiteral("Inserire il campo Imponibile!"), kEmptySpaced,
         "Text20", true},
        {totalMissing(e),
         QStringLiteral("Inserire il campo Totale, splittando il campo Controlla !"), kEmpty,
         "Check4", false},
        {isBlank(e.withheld), QStringLiteral("Inserire il campo Ritenuta!"), kEmptySpaced, "Text15",
         true},
        {e.paid && e.paymentDate.isEmpty(), QStringLiteral("Inserire il campo Data Pagamento !"),
         kEmptySpaced, "Cbo3", true},
        {e.paid && e.period.isEmpty(), QStringLiteral(" Inserire  il campo Data Pagamento  !"),
         kEmptySpaced, "Check2", true},
        {e.lateRegularisation && isBlank(e.interest),
         QStringLiteral("Compilare  il campo :  Interessi   !"), kEmpty, "Check3", true},
        {e.lateRegularisation && isBlank(e.penalty),
         QStringLiteral("Compilare  il campo :  Sanzione  !"), kEmptySpaced, "Check3", true},
        {!e.remittanceDate.isEmpty() && isBlank(e.remitted),
         QStringLiteral("Compilare  il campo :  Totale versato   !"), kEmptyDashed, "Check3", true},
        {e.paid && e.remittanceDate.isEmpty(), kMismatch, kWarning, "Check2", false},
        {e.lateRegularisation && e.remittanceDate.isEmpty(), kMismatch, kWarning, "Check2", true},
        {yearDiffers(e.invoiceDate, e.year),
         QStringLiteral("Attenzione Anno fattura diverso da quello dell' anno  inserimento della "
                        "registrazione !"),
         kWarningSpaced, "DataBox2", false},
        {!e.remittanceDate.isEmpty() && yearDiffers(e.remittanceDate, e.year),
         QStringLiteral("Attenzione Anno di Versamento  diverso da quello dell' anno  "
                        "inserimento della registrazione !"),
         kWarning, "DataBox4", false},
    };
    for (const Check& check : checks) {
        if (!check.failed)
            continue;
        findings.append(
            {check.message, check.title, QString::fromLatin1(check.focus), check.stops});
        if (check.stops)
            break;
    }
    return findings;
}

} // namespace ledger
