#include "reports/report_catalogue.h"

#include "platform/report/keyed_row_source.h"
#include "platform/report/pdf_export.h"
#include "platform/report/report_document.h"
#include "platform/report/report_table.h"
#include "registry/anagrafe_report.h"
#include "reports/elenco_ritenute.h"
#include "reports/ledger_documents.h"
#include "reports/ritenute_scadute.h"
#include "store/connection.h"
#include "store/dialect.h"
#include "store/name_order.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

// The balance of a record; the database's arithmetic leaves it empty when any part is.
const QString kBalance = QStringLiteral(
    "(Ritenute.versato - (Ritenute.ritenuta + Ritenute.interessi + Ritenute.sanzione)) AS saldo");

// A user's year in the ledger's order (names in Italian order, then dates): the lists read
// it from the index alone. The searches, which name no order, list in the same one.
const QString kByName = store::kLedgerOrder;

const QString kUserYear = QStringLiteral("Ritenute.anno = ? AND Ritenute.utente = ?");

// The general lists take the user's name from the registry; records whose user is no
// subject drop out of the join.
const QString kGeneralTables =
    QStringLiteral("Soggetti INNER JOIN Ritenute ON CAST(Soggetti.ID AS TEXT) = Ritenute.utente");
const QString kGeneralColumns =
    QStringLiteral("Ritenute.*, Soggetti.denominazione AS Soggetti_Denominazione");

enum class Layout { Elenco, General, Registry };

struct Command {
    const char* name;
    Layout layout;
    QString where;   // after "WHERE", with "?" for the values of bind()
    QString orderBy; // ties fall back to the order of entry
    QString title;   // empty: the layout's default
    bool userAndYear;
    bool checksEmpty;
};

const QList<Command>& commands() {
    const QString none;
    static const QList<Command> all = {
        {"ElencoR", Layout::Elenco, kUserYear, kByName, none, true, false},
        {"FattureNP", Layout::Elenco, QStringLiteral("Ritenute.pag = 'N' AND ") + kUserYear,
         kByName, QStringLiteral("Elenco Fatture Non Pagate"), true, true},
        {"FattureP", Layout::Elenco, QStringLiteral("Ritenute.pag = 'S' AND ") + kUserYear, kByName,
         QStringLiteral("Elenco Fatture Pagate"), true, true},
        {"RitenuteNV", Layout::Elenco,
         kUserYear + QStringLiteral(" AND Ritenute.versamento IS NULL"), kByName,
         QStringLiteral("Elenco Ritenute Non Versate"), true, true},
        {"RitenuteV", Layout::Elenco,
         kUserYear + QStringLiteral(" AND Ritenute.versamento IS NOT NULL"), kByName,
         QStringLiteral("Elenco Ritenute Versate"), true, true},
        {"StampaG", Layout::General, QStringLiteral("Ritenute.versato = 0"),
         QStringLiteral("Ritenute.ID"),
         QStringLiteral("Elenco Generale Utenti ----- Ritenute Sospese"), false, true},
        {"StampaS", Layout::General,
         QStringLiteral("Ritenute.scadenza IS NOT NULL AND Ritenute.versamento IS NULL"),
         QStringLiteral("Ritenute.scadenza DESC, Ritenute.ID"),
         QStringLiteral("Elenco Generale Utenti ----- Ritenute Sospese"), false, true},
        // The month of the due date, as a number, from the entered month on; a record
        // without a due date has no month and is never selected.
        {"RitenuteS", Layout::Elenco, QStringLiteral("{month} >= ? AND ") + kUserYear, kByName,
         QStringLiteral("Elenco Ritenute in Scadenza "), true, true},
        {"RicercaP", Layout::Elenco, QStringLiteral("Ritenute.periodo = ? AND ") + kUserYear,
         kByName, none, true, true},
        {"RicercaS", Layout::Elenco, QStringLiteral("{like} AND ") + kUserYear, kByName,
         QStringLiteral("Elenco Ritenute per Soggetti "), true, true},
        {"Elenco", Layout::Registry, none, none, none, false, false},
    };
    return all;
}

const Command* commandNamed(const QString& name) {
    const QString wanted = name.compare(QStringLiteral("Anagrafe"), Qt::CaseInsensitive) == 0
                               ? QStringLiteral("Elenco")
                               : name;
    for (const Command& c : commands()) {
        if (wanted.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

// The engine's spelling of the month of the due date and of the subject pattern.
QString whereOf(const Command& c) {
    return QString(c.where)
        .replace(QLatin1String("{month}"),
                 store::dialect::monthOf(QStringLiteral("Ritenute.scadenza")))
        .replace(QLatin1String("{like}"),
                 store::dialect::likeIgnoringCase(QStringLiteral("Ritenute.denominazione")));
}

// The command's rows as a keyed query: the row IDs in print order first, then the rows.
KeyedQuery queryOf(const Command& c) {
    switch (c.layout) {
    case Layout::Registry:
        return anagrafe::query();
    case Layout::General:
        return {kGeneralTables,  QStringLiteral("Ritenute.ID"),
                kGeneralColumns, whereOf(c),
                c.orderBy,       {}};
    case Layout::Elenco:
        break;
    }
    return {QStringLiteral("Ritenute"),
            QStringLiteral("ID"),
            QStringLiteral("Ritenute.*, ") + kBalance,
            whereOf(c),
            c.orderBy,
            {}};
}

QVariantList valuesOf(const Command& c, const ReportRequest& r) {
    const QString name = QLatin1String(c.name);
    QVariantList values;
    if (name == QLatin1String("RitenuteS"))
        values.append(r.month);
    else if (name == QLatin1String("RicercaP"))
        values.append(r.period);
    else if (name == QLatin1String("RicercaS"))
        values.append(r.subject);
    if (c.userAndYear)
        values << r.year << r.userId;
    return values;
}

Result<QString> userNameOf(const ReportRequest& r) {
    if (!r.userName.isEmpty())
        return {Status::success(), r.userName};
    Result<QSqlQuery> q =
        store::run(QStringLiteral("SELECT denominazione FROM Soggetti WHERE ID = ?"), {r.userId});
    if (!q.ok())
        return {q.status, {}};
    return {Status::success(), q.value.next() ? q.value.value(0).toString() : QString()};
}

// The lines above a table export that say what the list holds.
QList<std::pair<QString, QString>> selectionOf(const ReportRequest& r, const QString& userName) {
    QList<std::pair<QString, QString>> lines = {{QStringLiteral("Utente"), userName},
                                                {QStringLiteral("Anno"), r.year}};
    const auto is = [&r](const char* name) {
        return r.name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (is("RitenuteS"))
        lines.append({QStringLiteral("Scadenze dal mese"), QString::number(r.month)});
    else if (is("RicercaP"))
        lines.append({QStringLiteral("Periodo"), r.period});
    else if (is("RicercaS"))
        lines.append({QStringLiteral("Soggetto"), r.subject});
    return lines;
}

} // namespace

QStringList reportNames() {
    QStringList names;
    for (const Command& c : commands())
        names.append(QLatin1String(c.name));
    names << ritenute_scadute::kUserCommand << ritenute_scadute::kGeneralCommand;
    return names + ledgerDocumentNames();
}

bool isReportName(const QString& name) {
    return commandNamed(name) != nullptr || isLedgerDocument(name) ||
           ritenute_scadute::isLateReport(name);
}

bool isUserReport(const QString& name) {
    if (name.compare(ritenute_scadute::kUserCommand, Qt::CaseInsensitive) == 0)
        return true;
    if (isLedgerDocument(name))
        return ledgerDocumentNeedsUser(name);
    const Command* c = commandNamed(name);
    return c && c->userAndYear;
}

KeyedQuery reportQuery(const ReportRequest& request) {
    const Command* command = commandNamed(request.name);
    if (!command)
        return {};
    KeyedQuery query = queryOf(*command);
    query.values = valuesOf(*command, request);
    return query;
}

namespace {

Result<PreparedReport> preparePages(const ReportRequest& request) {
    if (isLedgerDocument(request.name))
        return prepareLedgerDocument(request);
    Result<PreparedReport> result;
    if (ritenute_scadute::isLateReport(request.name)) {
        ReportRequest named = request;
        const Result<QString> user = userNameOf(request);
        if (!user.ok()) {
            result.status = user.status;
            return result;
        }
        named.userName = user.value;
        return ritenute_scadute::prepare(named);
    }
    const Command* command = commandNamed(request.name);
    if (!command) {
        result.status = Status::failure(QStringLiteral("stampa sconosciuta: %1").arg(request.name));
        return result;
    }
    PreparedReport& prepared = result.value;
    if (QLatin1String(command->name) == QLatin1String("RitenuteS") &&
        (request.month < 1 || request.month > 12)) {
        prepared.outcome = ReportOutcome::NoDate;
        prepared.messageText = catalogue::kNoDateText;
        prepared.messageTitle = catalogue::kNoDateTitle;
        return result;
    }

    Result<std::shared_ptr<report::KeyedRowSource>> rows =
        report::KeyedRowSource::open(reportQuery(request));
    if (!rows.ok()) {
        result.status = rows.status;
        return result;
    }
    prepared.rows = std::move(rows.value);
    if (command->checksEmpty && prepared.rows->rowCount() == 0) {
        prepared.outcome = ReportOutcome::NoData;
        prepared.messageText = catalogue::kNoDataText;
        prepared.messageTitle = catalogue::kNoDataTitle;
        return result;
    }

    switch (command->layout) {
    case Layout::Registry:
        prepared.layout = Anagrafe();
        return result;
    case Layout::General:
        prepared.layout = ElencoRitenuteG();
        break;
    case Layout::Elenco:
        prepared.layout = ElencoRitenute();
        break;
    }
    report::ReportLayout& layout = prepared.layout;
    if (QLatin1String(command->name) == QLatin1String("RitenuteNV"))
        layout.setVisible(elenco_ritenute::kBalance, false);
    if (!command->title.isEmpty())
        layout.setCaption(elenco_ritenute::kTitle, command->title);
    if (command->userAndYear) {
        const Result<QString> user = userNameOf(request);
        if (!user.ok()) {
            result.status = user.status;
            return result;
        }
        layout.setCaption(elenco_ritenute::kUserName, user.value);
        layout.setCaption(elenco_ritenute::kYear, request.year);
        layout.selection = selectionOf(request, user.value);
    }
    layout.caption = layout.findItem(elenco_ritenute::kTitle)->text.trimmed();
    return result;
}

} // namespace

Result<PreparedReport> prepareReport(const ReportRequest& request) {
    Result<PreparedReport> result = preparePages(request);
    PreparedReport& prepared = result.value;
    if (result.ok() && prepared.outcome == ReportOutcome::Ready && prepared.table.isEmpty())
        prepared.table = report::tableSourceOf(prepared.layout, prepared.rows);
    return result;
}

Status exportReport(const ReportRequest& request, const QString& pdfPath, const QDate& printDate) {
    const Result<PreparedReport> prepared = prepareReport(request);
    if (!prepared.ok())
        return prepared.status;
    if (prepared.value.outcome != ReportOutcome::Ready)
        return Status::failure(ErrorKind::NothingToPrint, prepared.value.messageText.trimmed());
    report::ReportDocument document(prepared.value.layout, prepared.value.rows, printDate);
    return report::writePdf(document, pdfPath);
}

Status exportReportAsTable(const ReportRequest& request, table_export::FileFormat format,
                           const QString& path) {
    const Result<PreparedReport> prepared = prepareReport(request);
    if (!prepared.ok())
        return prepared.status;
    if (prepared.value.outcome != ReportOutcome::Ready)
        return Status::failure(ErrorKind::NothingToPrint, prepared.value.messageText.trimmed());
    const table_export::TableSource& table = prepared.value.table;
    if (table.isEmpty())
        return Status::failure(
            QStringLiteral("la stampa %1 non ha righe da esportare in tabella").arg(request.name));
    const std::unique_ptr<table_export::RowSource> rows = table.rows();
    return table_export::exportTable(format, path, table.shape, *rows).status;
}
