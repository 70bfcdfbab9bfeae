#pragma once

#include "base/status.h"
#include "printing/report_layout.h"
#include "printing/row_source.h"
#include "spreadsheets/table_export.h"
#include "store/keyed_query.h"

#include <QByteArray>
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

// The input a report takes besides the user and the year.
enum class ReportInput {
    None,
    Month,   // a month, 1-12 (RitenuteS: the first due month; F24: the due month)
    Period,  // RicercaP
    Subject, // a LIKE pattern of the subject's name
};

// How a report is made.
enum class ReportKind {
    List,        // a list of Ritenute (ElencoRitenute)
    GeneralList, // every user's records (ElencoRitenuteG)
    Registry,    // the subjects registry (Anagrafe)
    Late,        // the late withholdings (reports/ritenute_scadute.h)
    Document,    // a document written line by line (reports/ledger_documents.h)
};

// One report, described once: the option reader, the menu, the search panel, the
// preview, the exports and the help read this.
struct ReportDescription {
    QString name;
    ReportKind kind = ReportKind::List;
    bool oneUser = false;   // one user's: needs the user and the year
    bool needsYear = false; // needs the year even when every user's
    ReportInput input = ReportInput::None;
    bool inputRequired = false; // without the input the report cannot run
    bool folder = false;        // can write one file per payee into a folder
    // Lists: the selection after WHERE (with "?" for the input, then the year and the
    // user; {month} and {like} in the engine's spelling), the order, the title (empty:
    // the layout's), whether an empty list is said instead of printed, and whether the
    // balance column shows.
    QString where = {};
    QString orderBy = {};
    QString title = {};
    bool checksEmpty = true;
    bool showsBalance = true;
    // The window: the object name of the menu item that runs the report (empty: its
    // name); the title of the search panel or of the boxes that ask the input (for a late
    // list, the day), and the question of the box.
    const char* menuItem = nullptr;
    QString askTitle = {};
    QString question = {};
};

// A list that takes an input is a search: the window asks the input in its search panel.
// Any other report runs from its menu item, asking the input, if any, in a box.
bool isSearch(const ReportDescription& report);
// The object name of the report's menu item.
QByteArray menuItemOf(const ReportDescription& report);

// Every report, in menu order.
const QList<ReportDescription>& reportDescriptions();
// The report of that name (case ignored; "Anagrafe" is Elenco), or none.
const ReportDescription* describeReport(const QString& name);

// The command names above, in menu order.
QStringList reportNames();
bool isReportName(const QString& name);
// Whether the command lists one user's year (and so needs the user and the year).
bool isUserReport(const QString& name);
// The command-line option that gives a report's input ("mese", "periodo", "soggetto"),
// empty for none.
QString inputOption(ReportInput input);

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
