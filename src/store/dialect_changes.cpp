#include "store/dialect.h"

namespace store::dialect {
namespace {

const char* const kUnchangeable = "il registro delle modifiche non si può cambiare né "
                                  "cancellare: vi si aggiungono soltanto righe";

} // namespace

QStringList appendOnlyTriggers(Engine engine) {
    const QString reason = QString::fromUtf8(kUnchangeable);
    if (engine == Engine::SQLite) {
        QStringList statements;
        for (const char* event : {"UPDATE", "DELETE"})
            statements.append(
                QStringLiteral("CREATE TRIGGER Modifiche_%1 BEFORE %2 ON Modifiche "
                               "BEGIN SELECT RAISE(ABORT, '%3'); END")
                    .arg(QString::fromLatin1(event).toLower(), QLatin1String(event), reason));
        return statements;
    }
    return {
        QStringLiteral("CREATE OR REPLACE FUNCTION velarco_modifiche_immutabili() "
                       "RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                       "RAISE EXCEPTION '%1'; END $$")
            .arg(reason),
        QStringLiteral("CREATE TRIGGER modifiche_immutabili BEFORE UPDATE OR DELETE ON "
                       "Modifiche FOR EACH ROW EXECUTE FUNCTION velarco_modifiche_immutabili()"),
        QStringLiteral("CREATE TRIGGER modifiche_non_svuotabili BEFORE TRUNCATE ON Modifiche "
                       "FOR EACH STATEMENT EXECUTE FUNCTION velarco_modifiche_immutabili()")};
}

} // namespace store::dialect
