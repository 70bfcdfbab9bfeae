#pragma once

#include <QString>

struct StartupOptions;

// `velarco --check` and `velarco --backup COPY`: the file-level commands run without a
// window on the ledger named by `--database` (or the default one), for scheduled jobs.
namespace ledger_commands {

// Runs the command the options name (Command::Check or Command::Backup) on the ledger
// at `path`, reporting on the standard streams.
int run(const StartupOptions& options, const QString& path);

} // namespace ledger_commands
