#pragma once

#include "reports/report_catalogue.h"

#include <QString>
#include <QStringList>

// The command-line form of a report run:
//   velarco --report NAME --utente ID --anno YEAR
//           [--mese M | --periodo P | --soggetto TEXT] --pdf FILE
struct ReportOptions {
    bool requested = false; // --report was given: run headless instead of the window
    ReportRequest request;
    QString pdfPath;
    QString error; // in Italian, for the operator; empty when the options are sound
};

// Reads the options above from the program's arguments (the program name first, as
// QCoreApplication::arguments() gives them); other options are left to their owners.
// Both "--name value" and "--name=value" are accepted.
ReportOptions parseReportOptions(const QStringList& arguments);
