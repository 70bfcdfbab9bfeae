#include "store/server_jobs.h"

namespace store {

QString serverJobText(ServerJob job, const QString& address) {
    QString what;
    switch (job) {
    case ServerJob::Check:
        what = QStringLiteral("il controllo dei dati è compito del server, con i suoi controlli "
                              "(pg_amcheck) e il suo registro degli errori");
        break;
    case ServerJob::Copy:
        what = QStringLiteral("le copie sono compito del server (pg_dump)");
        break;
    case ServerJob::Restore:
        what = QStringLiteral("il ripristino da una copia è compito del server (pg_restore)");
        break;
    case ServerJob::CopyBeforeDeletion:
        what = QStringLiteral("prima dell'eliminazione non si fa una copia automatica: le copie "
                              "sono compito del server (pg_dump)");
        break;
    }
    return QStringLiteral("L'archivio è sul server PostgreSQL %1: %2.\n\nPer una copia "
                          "dell'archivio in un file SQLite su questo computer:\n"
                          "velarco --copy-database %1 FILE.db")
        .arg(address, what);
}

} // namespace store
