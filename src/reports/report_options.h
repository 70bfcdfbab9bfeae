#pragma once

#include "reports/report_catalogue.h"

#include <QHash>
#include <QString>

// The command-line form of a report run:
//   velarco --report NAME --utente ID --anno YEAR
//           [--mese M | --periodo P | --soggetto TEXT] --pdf FILE
// The certification of a year (Attestazione) also writes, or only writes, its CSV:
//   velarco --report Attestazione --utente ID --anno YEAR [--soggetto TEXT]
//           [--pdf FILE] [--csv FILE]
struct ReportOptions {
    ReportRequest request;
    QString pdfPath;
    QString csvPath; // Attestazione only
    QString error;   // in Italian, for the operator; empty when the options are sound
};

// Reads and checks the values of the options above, by option name without the dashes,
// once the command line itself has been read (which options exist, which take a value).
ReportOptions readReportOptions(const QHash<QString, QString>& values);
