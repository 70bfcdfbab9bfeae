#pragma once

#include <QString>

struct StartupOptions;

// `velarco --modifiche --dal DATA --al DATA [--operatore NOME] [--azione AZIONE]
// [--utente ID] [--csv FILE | --xlsx FILE]`: the register of changes without a window,
// one line per change on standard output or the table in a file.
namespace change_command {

// Runs the command on the ledger at `path` (an application object must exist) and
// returns the exit status: 0 listed (also none), 2 bad options, 3 ledger not opened or
// not read, 5 file not written.
int run(const StartupOptions& options, const QString& path);

} // namespace change_command
