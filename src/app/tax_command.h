#pragma once

#include "app/exit_status.h"
#include "app/startup_options.h"

// The tax calendar on the command line, without a window:
//   velarco --scadenza-legale DATE [--tributo CODE --importo AMOUNT]
//   velarco --ravvedimento --tributo CODE --importo AMOUNT --pagamento DATE --versamento DATE
// each with an optional --database FILE for the legal rates and the deferrals.
namespace tax_command {

// Exit statuses, those of the program under the names of these commands.
enum : int {
    kPrinted = kExported,
    kNotLate = kNothingToPrint,
    kMissingRate = kExportFailed,
};

// Runs the command the options chose (an application object must exist) and returns
// the exit status; the result goes to standard output, failures to standard error.
int run(const StartupOptions& options, const QString& defaultDatabasePath);

} // namespace tax_command
