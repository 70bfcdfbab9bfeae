#include "app/invoice_import_command.h"

#include "app/exit_status.h"
#include "app/startup_options.h"
#include "importing/einvoice_rows.h"
#include "store/connection.h"
#include "store/ledger_address.h"

#include <QDir>
#include <cstdio>

namespace invoice_import_command {
namespace {

void print(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
}

int fail(int status, const QString& text) {
    std::fputs(qPrintable(QStringLiteral("Velarco: ") + text + QLatin1Char('\n')), stderr);
    return status;
}

QString recordText(const importing::PlannedRow& row) {
    const WithholdingEntry& e = row.entry;
    return QStringLiteral("%1 n. %2 del %3, imponibile %4, aliquota %5, ritenuta %6, altro %7, "
                          "totale %8, tributo %9")
        .arg(e.subjectName, e.invoiceNumber, e.invoiceDate, e.taxable, e.rate, e.withheld, e.other,
             e.total, e.taxCode);
}

// One line per row: what becomes of it and why.
void printPlan(const importing::ImportPlan& plan, bool dryRun) {
    for (const importing::PlannedRow& row : plan.rows) {
        const QStringList messages = row.messages();
        switch (row.verdict) {
        case importing::RowVerdict::Stopped:
            print(QStringLiteral("RIFIUTATA  %1: %2").arg(row.source, messages.value(0)));
            break;
        case importing::RowVerdict::Duplicate:
            print(QStringLiteral("DOPPIA     %1: %2").arg(row.source, messages.value(0)));
            break;
        case importing::RowVerdict::Ready:
        case importing::RowVerdict::Warned:
            print(QStringLiteral("%1 %2: %3")
                      .arg(dryRun ? QStringLiteral("DA SCRIVERE") : QStringLiteral("SCRITTA   "),
                           row.source, recordText(row)));
            for (const QString& message : messages)
                print(QStringLiteral("           ") + message);
            break;
        }
    }
}

} // namespace

int run(const StartupOptions& options, const QString& path) {
    const bool dryRun = options.values.contains(QStringLiteral("dry-run"));
    const QString source = options.values.value(QStringLiteral("import-fatture"));
    if (const Status opened = store::openExistingDatabase(path); !opened.ok())
        return fail(kNoDatabase, opened.error());
    const auto finish = [](int status) {
        store::closeDatabase();
        return status;
    };
    if (const Status refused = store::writesRefused(); !refused.ok() && !dryRun)
        return finish(fail(kImportRefused, refused.error()));
    Result<QList<importing::LedgerUser>> users = importing::ledgerUsers();
    if (!users.ok())
        return finish(fail(kImportRefused, users.error()));
    if (options.values.contains(QStringLiteral("utente"))) {
        const QString id = options.values.value(QStringLiteral("utente"));
        users.value.removeIf([&id](const importing::LedgerUser& user) { return user.id != id; });
        if (users.value.isEmpty())
            return finish(
                fail(kBadArguments, QStringLiteral("--utente %1: nessun utente con questo codice "
                                                   "nell'archivio")
                                        .arg(id)));
    }
    const Result<importing::InvoiceRows> read = importing::readInvoiceRows(source, users.value);
    if (!read.ok())
        return finish(
            fail(kImportRefused, QStringLiteral("fatture di %1 non lette: %2")
                                     .arg(QDir::toNativeSeparators(source), read.error())));
    importing::PlanOptions planOptions;
    planOptions.createSubjects = options.values.contains(QStringLiteral("nuovi-soggetti"));
    planOptions.duplicatesInEveryYear = true;
    const Result<importing::ImportPlan> plan =
        importing::planRows(read.value.rows, planOptions, read.value.codes);
    if (!plan.ok())
        return finish(fail(kImportRefused, plan.error()));

    int refusedFiles = 0;
    for (const importing::ListedItem& item : read.value.listed)
        refusedFiles += item.refused ? 1 : 0;
    const int refused = plan.value.count(importing::RowVerdict::Stopped) + refusedFiles;
    const int importable = plan.value.importable();
    const int status = refused == 0      ? kExported
                       : importable == 0 ? kImportRefused
                                         : kImportIncomplete;
    importing::ImportOutcome outcome;
    if (!dryRun && importable > 0) {
        outcome = importing::runImport(plan.value);
        if (!outcome.status.ok())
            return finish(
                fail(kImportRefused,
                     QStringLiteral("nulla è stato scritto: %1").arg(outcome.status.error())));
    }
    for (const importing::ListedItem& item : read.value.listed)
        print(QStringLiteral("%1 %2: %3")
                  .arg(item.refused ? QStringLiteral("RIFIUTATO ") : QStringLiteral("TRALASCIATO"),
                       item.source, item.reason));
    printPlan(plan.value, dryRun);
    const QString counts =
        QStringLiteral("%1 file di fatture letti; rifiutati %2, doppie %3, tralasciati %4")
            .arg(read.value.files)
            .arg(refused)
            .arg(plan.value.count(importing::RowVerdict::Duplicate))
            .arg(read.value.listed.size() - refusedFiles);
    if (dryRun)
        print(QStringLiteral("Velarco: prova, nulla è stato scritto: %1 registrazioni e %2 "
                             "soggetti nuovi da scrivere; %3")
                  .arg(importable)
                  .arg(plan.value.newSubjects().size())
                  .arg(counts));
    else
        print(QStringLiteral("Velarco: %1 registrazioni e %2 soggetti nuovi scritti in %3; %4")
                  .arg(outcome.records)
                  .arg(outcome.subjects)
                  .arg(QDir::toNativeSeparators(path), counts));
    return finish(status);
}

} // namespace invoice_import_command
