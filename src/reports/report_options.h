#pragma once

#include "reports/report_catalogue.h"

#include <QHash>
#include <QString>
#include <optional>

// The command-line form of a report run:
//   velarco --report NAME --utente ID --anno YEAR
//           [--mese M | --periodo P | --soggetto TEXT] [--pdf FILE] [--xlsx FILE] [--csv FILE]
//           [--cartella DIR]
// (one file at least; the folder, of Attestazione only, counts as one). The spreadsheet files hold
// the report's table: the rows the pages print; for the certification of a year (Attestazione) one
// row per payee.
struct ReportOptions {
    ReportRequest request;
    QString pdfPath;
    QString xlsxPath;
    QString csvPath;
    QString folderPath; // Attestazione: a PDF per payee and the summary, in this folder
    QString error;      // in Italian, for the operator; empty when the options are sound
};

// Reads and checks the values of the options above, by option name without the dashes,
// once the command line itself has been read (which options exist, which take a value).
ReportOptions readReportOptions(const QHash<QString, QString>& values);

// One file a report run writes: the pages as a PDF, or the table as a spreadsheet; or the
// folder of the certificates.
struct ReportFile {
    QString path;
    std::optional<table_export::FileFormat> table; // none: the PDF
    bool folder = false;
};

// The files the options ask for, PDF first, the folder last.
QList<ReportFile> requestedFiles(const ReportOptions& options);

// Prepares the report and writes `file`; fails as exportReport() does.
Status writeReportFile(const ReportRequest& request, const ReportFile& file);
