#pragma once

#include "base/status.h"
#include "platform/export/table_export.h"
#include "platform/keyed_query.h"
#include "platform/report/report_layout.h"
#include "platform/report/row_source.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <memory>

// The printed lists of the ledger: for each command its selection, order, layout, title
// and header labels, ready for the report engine. No widgets here: the window shows the
// messages and the preview, the command line writes a PDF.

// What one run needs. `name` is the command: ElencoR, FattureNP, FattureP, RitenuteNV,
// RitenuteV, StampaG, StampaS, the searches RitenuteS (due month), RicercaP (period),
// RicercaS (subject), RitenuteScadute and StampaScadute (late withholdings), Elenco (or
// Anagrafe) for the subjects registry, and the documents Attestazione, F24, F24G,
// Prospetto770 and Prospetto770G (reports/ledger_documents.h).
struct ReportRequest {
    QString name;
    QString userId;   // Soggetti.ID of the current user, as text
    QString userName; // for the header; looked up by userId when empty
    QString year;
    int month = 0;      // RitenuteS: 1-12, 0 when no date was entered
    QString period;     // RicercaP
    QString subject;    // RicercaS: a LIKE pattern ("%" and "_" are wildcards)
    QDate at = QDate(); // RitenuteScadute, StampaScadute: late on this day; invalid: today
};

enum class ReportOutcome {
    Ready,  // layout and rows are ready to preview
    NoData, // the command lists nothing: show the message, no report
    NoDate, // the due-month search was started without a date
};

struct PreparedReport {
    ReportOutcome outcome = ReportOutcome::Ready;
    report::ReportLayout layout;
    // The rows the report prints, in print order, read a window at a time; the preview,
    // the PDF and the exports all read them from here.
    std::shared_ptr<report::RowSource> rows;
    // What the spreadsheet exports write: for a list its printed columns over `rows`, for
    // a document its own table; none for a report that is no table.
    table_export::TableSource table;
    // The box to show for NoData and NoDate (information icon, OK button).
    QString messageText;
    QString messageTitle;
};

namespace catalogue {
inline const QString kNoDataText = QStringLiteral(" Attenzione non ci sono dati  ! ");
inline const QString kNoDataTitle = QStringLiteral(" Velarco- ERRORE ");
inline const QString kNoDateText =
    QStringLiteral(" Attenzione , deve essere inserita una Data  ! ");
inline const QString kNoDateTitle = QStringLiteral(" Velarco- ERRORE BLOCCANTE");
} // namespace catalogue

// The command names above, in menu order.
QStringList reportNames();
bool isReportName(const QString& name);
// Whether the command lists one user's year (and so needs the user and the year).
bool isUserReport(const QString& name);

// The rows of the command as a keyed query with its values bound; empty table when
// the name is unknown.
KeyedQuery reportQuery(const ReportRequest& request);

// Runs the command's query and sets up its layout. A failed query is an error with the
// database's reason, never taken for an empty list.
Result<PreparedReport> prepareReport(const ReportRequest& request);

// Prepares the command and writes its pages to `pdfPath`, for use without a window.
// A command that lists nothing, or a search without its input, fails as NothingToPrint
// with the message the operator would have seen.
Status exportReport(const ReportRequest& request, const QString& pdfPath,
                    const QDate& printDate = QDate::currentDate());

// Prepares the command and writes its table (see PreparedReport::table) to `path` as a
// spreadsheet file; fails as exportReport() does.
Status exportReportAsTable(const ReportRequest& request, table_export::FileFormat format,
                           const QString& path);
