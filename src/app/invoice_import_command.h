#pragma once

#include <QString>

struct StartupOptions;

// `velarco [--database FILE] --import-fatture PATH [--utente ID] [--nuovi-soggetti]
// [--dry-run]`: the records of the electronic invoices in PATH (a file, a folder or a zip)
// written without a window, for every user of the ledger or the one of `--utente`.
namespace invoice_import_command {

// Runs the command on the ledger at `path` (an application object must exist), listing
// every file, record and refusal on standard output; returns the exit status.
int run(const StartupOptions& options, const QString& path);

} // namespace invoice_import_command
