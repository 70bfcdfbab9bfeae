#include "reports/report_catalogue.h"

#include "printing/keyed_row_source.h"
#include "printing/pdf_export.h"
#include "printing/report_document.h"
#include "printing/report_table.h"
#include "registry/anagrafe_report.h"
#include "reports/elenco_ritenute.h"
#include "reports/f24_plan_document.h"
#include "reports/ledger_documents.h"
#include "reports/payee_certificate_document.h"
#include "reports/ritenute_scadute.h"
#include "reports/st770_document.h"
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

using enum ReportKind;
using enum ReportInput;

// One user's list of a year: the selection is followed by the year and the user. With an
// input it is a search, `panelTitle` the search panel's title.
ReportDescription userList(const char* name, const QString& where, const QString& title,
                           ReportInput input = None, const QString& panelTitle = {}) {
    return {.name = QLatin1String(name),
            .kind = List,
            .oneUser = true,
            .input = input,
            .inputRequired = input != None,
            .where = where + kUserYear,
            .orderBy = kByName,
            .title = title,
            .askTitle = panelTitle};
}

// The late withholdings at a day the operator may type.
ReportDescription lateList(const QString& name, bool oneUser) {
    return {.name = name,
            .kind = Late,
            .oneUser = oneUser,
            .askTitle = QStringLiteral("Ritenute scadute"),
            .question = QStringLiteral("Ritenute scadute alla data (gg/mm/aaaa); vuoto per oggi:")};
}

// The F24 plan of a due month, of one user's or of every user's.
ReportDescription f24Plan(const QString& name, const char* menuItem, bool oneUser) {
    return {.name = name,
            .kind = Document,
            .oneUser = oneUser,
            .needsYear = !oneUser,
            .input = Month,
            .inputRequired = true,
            .menuItem = menuItem,
            .askTitle = QStringLiteral("Velarco - Piano F24"),
            .question = QStringLiteral("Mese e anno di scadenza del versamento (mm/aaaa)")};
}

ReportDescription generalList(const char* name, const QString& where, const QString& orderBy) {
    return {.name = QLatin1String(name),
            .kind = GeneralList,
            .where = where,
            .orderBy = orderBy,
            .title = QStringLiteral("Elenco Generale Utenti ----- Ritenute Sospese")};
}

const QList<ReportDescription>& descriptions() {
    static const QList<ReportDescription> all = {
        {.name = QStringLiteral("ElencoR"),
         .kind = List,
         .oneUser = true,
         .where = kUserYear,
         .orderBy = kByName,
         .checksEmpty = false},
        userList("FattureNP", QStringLiteral("Ritenute.pag = 'N' AND "),
                 QStringLiteral("Elenco Fatture Non Pagate")),
        userList("FattureP", QStringLiteral("Ritenute.pag = 'S' AND "),
                 QStringLiteral("Elenco Fatture Pagate")),
        {.name = QStringLiteral("RitenuteNV"),
         .kind = List,
         .oneUser = true,
         .where = kUserYear + QStringLiteral(" AND Ritenute.versamento IS NULL"),
         .orderBy = kByName,
         .title = QStringLiteral("Elenco Ritenute Non Versate"),
         .showsBalance = false},
        {.name = QStringLiteral("RitenuteV"),
         .kind = List,
         .oneUser = true,
         .where = kUserYear + QStringLiteral(" AND Ritenute.versamento IS NOT NULL"),
         .orderBy = kByName,
         .title = QStringLiteral("Elenco Ritenute Versate")},
        generalList("StampaG", QStringLiteral("Ritenute.versato = 0"),
                    QStringLiteral("Ritenute.ID")),
        generalList("StampaS",
                    QStringLiteral("Ritenute.scadenza IS NOT NULL AND Ritenute.versamento IS NULL"),
                    QStringLiteral("Ritenute.scadenza DESC, Ritenute.ID")),
        // The month of the due date, as a number, from the entered month on; a record
        // without a due date has no month and is never selected.
        userList("RitenuteS", QStringLiteral("{month} >= ? AND "),
                 QStringLiteral("Elenco Ritenute in Scadenza "), Month,
                 QStringLiteral("Ritenute in Scadenza")),
        userList("RicercaP", QStringLiteral("Ritenute.periodo = ? AND "), QString(), Period,
                 QStringLiteral("Ritenute per Periodo")),
        userList("RicercaS", QStringLiteral("{like} AND "),
                 QStringLiteral("Elenco Ritenute per Soggetti "), Subject,
                 QStringLiteral("Situazione per Soggetto")),
        {.name = QStringLiteral("Elenco"), .kind = Registry, .checksEmpty = false},
        lateList(ritenute_scadute::kUserCommand, true),
        lateList(ritenute_scadute::kGeneralCommand, false),
        {.name = payee_certificate::kName,
         .kind = Document,
         .oneUser = true,
         .input = Subject,
         .folder = true,
         .menuItem = "StanpaAt",
         .askTitle = QStringLiteral("Velarco - Attestazione"),
         .question = QStringLiteral("Percipienti da certificare (vuoto: tutti; % sta per "
                                    "qualunque testo, es. ROSSI%):")},
        f24Plan(f24_plan::kName, "PianoF24", true),
        f24Plan(f24_plan::kGeneralName, "PianoF24G", false),
        {.name = st770::kName, .kind = Document, .oneUser = true},
        {.name = st770::kGeneralName, .kind = Document, .needsYear = true},
    };
    return all;
}

// The engine's spelling of the month of the due date and of the subject pattern.
QString whereOf(const ReportDescription& c) {
    return QString(c.where)
        .replace(QLatin1String("{month}"),
                 store::dialect::monthOf(QStringLiteral("Ritenute.scadenza")))
        .replace(QLatin1String("{like}"),
                 store::dialect::likeIgnoringCase(QStringLiteral("Ritenute.denominazione")));
}

// The command's rows as a keyed query: the row IDs in print order first, then the rows.
KeyedQuery queryOf(const ReportDescription& c) {
    switch (c.kind) {
    case Registry:
        return anagrafe::query();
    case GeneralList:
        return {kGeneralTables,  QStringLiteral("Ritenute.ID"),
                kGeneralColumns, whereOf(c),
                c.orderBy,       {}};
    case List:
        break;
    case Late:
    case Document:
        return {};
    }
    return {QStringLiteral("Ritenute"),
            QStringLiteral("ID"),
            QStringLiteral("Ritenute.*, ") + kBalance,
            whereOf(c),
            c.orderBy,
            {}};
}

// The value of the report's input in the request.
QVariant inputOf(ReportInput input, const ReportRequest& r) {
    switch (input) {
    case Month:
        return r.month;
    case Period:
        return r.period;
    case Subject:
        return r.subject;
    case None:
        break;
    }
    return {};
}

QVariantList valuesOf(const ReportDescription& c, const ReportRequest& r) {
    QVariantList values;
    if (c.input != None)
        values.append(inputOf(c.input, r));
    if (c.oneUser)
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
QList<std::pair<QString, QString>> selectionOf(const ReportDescription& c, const ReportRequest& r,
                                               const QString& userName) {
    QList<std::pair<QString, QString>> lines = {{QStringLiteral("Utente"), userName},
                                                {QStringLiteral("Anno"), r.year}};
    switch (c.input) {
    case Month:
        lines.append({QStringLiteral("Scadenze dal mese"), QString::number(r.month)});
        break;
    case Period:
        lines.append({QStringLiteral("Periodo"), r.period});
        break;
    case Subject:
        lines.append({QStringLiteral("Soggetto"), r.subject});
        break;
    case None:
        break;
    }
    return lines;
}

} // namespace

const QList<ReportDescription>& reportDescriptions() {
    return descriptions();
}

const ReportDescription* describeReport(const QString& name) {
    const QString wanted = name.compare(QStringLiteral("Anagrafe"), Qt::CaseInsensitive) == 0
                               ? QStringLiteral("Elenco")
                               : name;
    for (const ReportDescription& d : descriptions()) {
        if (wanted.compare(d.name, Qt::CaseInsensitive) == 0)
            return &d;
    }
    return nullptr;
}

QStringList reportNames() {
    QStringList names;
    for (const ReportDescription& d : descriptions())
        names.append(d.name);
    return names;
}

bool isSearch(const ReportDescription& report) {
    return report.kind == List && report.input != None;
}

QByteArray menuItemOf(const ReportDescription& report) {
    return report.menuItem ? QByteArray(report.menuItem) : report.name.toLatin1();
}

bool isReportName(const QString& name) {
    return describeReport(name) != nullptr;
}

bool isUserReport(const QString& name) {
    const ReportDescription* d = describeReport(name);
    return d && d->oneUser;
}

QString inputOption(ReportInput input) {
    switch (input) {
    case Month:
        return QStringLiteral("mese");
    case Period:
        return QStringLiteral("periodo");
    case Subject:
        return QStringLiteral("soggetto");
    case None:
        break;
    }
    return {};
}

KeyedQuery reportQuery(const ReportRequest& request) {
    const ReportDescription* command = describeReport(request.name);
    if (!command)
        return {};
    KeyedQuery query = queryOf(*command);
    query.values = valuesOf(*command, request);
    return query;
}

namespace {

Result<PreparedReport> preparePages(const ReportRequest& request) {
    Result<PreparedReport> result;
    const ReportDescription* command = describeReport(request.name);
    if (!command) {
        result.status = Status::failure(QStringLiteral("stampa sconosciuta: %1").arg(request.name));
        return result;
    }
    if (command->kind == Document)
        return prepareLedgerDocument(request);
    if (command->kind == Late) {
        ReportRequest named = request;
        const Result<QString> user = userNameOf(request);
        if (!user.ok()) {
            result.status = user.status;
            return result;
        }
        named.userName = user.value;
        return ritenute_scadute::prepare(named);
    }
    PreparedReport& prepared = result.value;
    if (command->input == Month && (request.month < 1 || request.month > 12)) {
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

    switch (command->kind) {
    case Registry:
        prepared.layout = Anagrafe();
        return result;
    case GeneralList:
        prepared.layout = ElencoRitenuteG();
        break;
    case List:
    case Late:
    case Document:
        prepared.layout = ElencoRitenute();
        break;
    }
    report::ReportLayout& layout = prepared.layout;
    if (!command->showsBalance)
        layout.setVisible(elenco_ritenute::kBalance, false);
    if (!command->title.isEmpty())
        layout.setCaption(elenco_ritenute::kTitle, command->title);
    if (command->oneUser) {
        const Result<QString> user = userNameOf(request);
        if (!user.ok()) {
            result.status = user.status;
            return result;
        }
        layout.setCaption(elenco_ritenute::kUserName, user.value);
        layout.setCaption(elenco_ritenute::kYear, request.year);
        layout.selection = selectionOf(*command, request, user.value);
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
