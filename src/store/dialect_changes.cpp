#include "store/dialect.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace store::dialect {
namespace {

const char* const kUnchangeable = "il registro delle modifiche non si può cambiare né "
                                  "cancellare: vi si aggiungono soltanto righe";

// The action that records nothing: the program's own upkeep of the ledger.
const char* const kMaintenance = "manutenzione";

// The tables whose rows are recorded, with the action a write of theirs is recorded as when
// the work sets none: none here means by the kind of write (inserimento, correzione,
// cancellazione).
struct RecordedTable {
    const char* name;
    const char* action;
};

constexpr RecordedTable kRecordedTables[] = {
    {"Ritenute", nullptr},      {"Soggetti", nullptr},   {"Anno", "tabelle"},
    {"periodo", "tabelle"},     {"Tributo", "tabelle"},  {"Percentuale", "tabelle"},
    {"TassoLegale", "tabelle"}, {"Proroghe", "tabelle"}, {"ScadenzaDichiarazione", "tabelle"},
    {"Opzioni", "tabelle"},
};

// One function writes the record of every table on a server. It runs as the writer: the
// action is the work's (velarco.azione, set by the program) or the kind of write; the
// computer was set when the program connected. An update that leaves the row as it was
// changes nothing and is not recorded.
const char* const kServerRecording = R"(
CREATE OR REPLACE FUNCTION velarco_registra_modifica() RETURNS trigger LANGUAGE plpgsql AS $$
DECLARE
    azione text := nullif(current_setting('velarco.azione', true), '');
    prima jsonb;
    dopo jsonb;
    riga jsonb;
    fuso text := coalesce(nullif(current_setting('velarco.fuso', true), ''),
                          current_setting('TimeZone'));
BEGIN
    IF azione = 'manutenzione' THEN
        RETURN NULL;
    END IF;
    IF TG_OP <> 'INSERT' THEN
        prima := to_jsonb(OLD);
    END IF;
    IF TG_OP <> 'DELETE' THEN
        dopo := to_jsonb(NEW);
    END IF;
    IF prima = dopo THEN
        RETURN NULL;
    END IF;
    riga := coalesce(dopo, prima);
    INSERT INTO Modifiche (utc, locale, operatore, computer, azione, tabella, chiave, utente,
                           prima, dopo)
    VALUES (to_char(now() AT TIME ZONE 'UTC', 'YYYY-MM-DD"T"HH24:MI:SS.MS"Z"'),
            to_char(now() AT TIME ZONE fuso, 'YYYY-MM-DD HH24:MI:SS'),
            session_user, nullif(current_setting('velarco.computer', true), ''),
            coalesce(azione, TG_ARGV[1], CASE TG_OP WHEN 'INSERT' THEN 'inserimento'
                                                    WHEN 'UPDATE' THEN 'correzione'
                                                    ELSE 'cancellazione' END),
            TG_ARGV[0], (riga->>'id')::bigint,
            CASE WHEN TG_ARGV[0] = 'Ritenute' THEN riga->>'utente' END,
            prima::text, dopo::text);
    RETURN NULL;
END $$)";

Status execute(QSqlDatabase db, const QString& sql, const QVariantList& values = {}) {
    QSqlQuery query(db);
    bool done = false;
    if (values.isEmpty()) {
        done = query.exec(sql);
    } else if (query.prepare(sql)) {
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values.at(i));
        done = query.exec();
    }
    return done ? Status::success() : Status::failure(query.lastError().text());
}

// The JSON object of a row of `table` on SQLite, `row` being NEW or OLD: one key per column
// in lower case, as PostgreSQL's to_jsonb spells them.
QString fileRowObject(const QStringList& columns, const QString& row) {
    QStringList pairs;
    for (const QString& column : columns)
        pairs.append(QStringLiteral("'%1', %2.%3").arg(column.toLower(), row, column));
    return QStringLiteral("json_object(%1)").arg(pairs.join(QStringLiteral(", ")));
}

Result<QStringList> columnsOf(QSqlDatabase db, const QString& table) {
    Result<QStringList> result;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA main.table_info(%1)").arg(table))) {
        result.status = Status::failure(query.lastError().text());
        return result;
    }
    while (query.next())
        result.value.append(query.value(1).toString());
    return result;
}

// The three triggers that record the writes to `table` made on this connection of a file.
QStringList fileRecording(const RecordedTable& table, const QStringList& columns) {
    const QString name = QLatin1String(table.name);
    const bool keyed = columns.contains(QStringLiteral("ID"));
    const bool ledger = name == QLatin1String("Ritenute");
    struct Event {
        const char* event;
        const char* action;
        const char* row; // the row that gives the key and the user
    };
    const Event events[] = {{"INSERT", "inserimento", "NEW"},
                            {"UPDATE", "correzione", "NEW"},
                            {"DELETE", "cancellazione", "OLD"}};
    QStringList statements;
    for (const Event& e : events) {
        const QString row = QLatin1String(e.row);
        const QString before = QLatin1String(e.event) == QLatin1String("INSERT")
                                   ? QStringLiteral("NULL")
                                   : fileRowObject(columns, QStringLiteral("OLD"));
        const QString after = QLatin1String(e.event) == QLatin1String("DELETE")
                                  ? QStringLiteral("NULL")
                                  : fileRowObject(columns, QStringLiteral("NEW"));
        statements.append(
            QStringLiteral(
                "CREATE TEMP TRIGGER registra_%1_%2 AFTER %3 ON main.%1 BEGIN "
                "INSERT INTO Modifiche (utc, locale, operatore, computer, azione, tabella, "
                "chiave, utente, prima, dopo) "
                "SELECT strftime('%Y-%m-%dT%H:%M:%fZ', 'now'), datetime('now', 'localtime'), "
                "operatore, computer, coalesce(azione, '%4'), '%1', %5, %6, prima, dopo "
                "FROM temp.contesto, (SELECT %7 AS prima, %8 AS dopo) "
                "WHERE azione IS NOT '%9' AND prima IS NOT dopo; END")
                .arg(name, QString::fromLatin1(e.event).toLower(), QLatin1String(e.event),
                     QLatin1String(table.action ? table.action : e.action),
                     keyed ? row + QStringLiteral(".ID") : QStringLiteral("NULL"),
                     ledger ? row + QStringLiteral(".utente") : QStringLiteral("NULL"), before,
                     after, QLatin1String(kMaintenance)));
    }
    return statements;
}

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

QStringList ledgerRecordingTriggers(Engine engine) {
    if (engine == Engine::SQLite)
        return {};
    QStringList statements = {QString::fromUtf8(kServerRecording)};
    for (const RecordedTable& table : kRecordedTables) {
        const QString name = QLatin1String(table.name);
        statements.append(
            QStringLiteral("CREATE TRIGGER registra_modifica AFTER INSERT OR UPDATE OR DELETE ON "
                           "%1 FOR EACH ROW EXECUTE FUNCTION velarco_registra_modifica('%1'%2)")
                .arg(name, table.action ? QStringLiteral(", '%1'").arg(QLatin1String(table.action))
                                        : QString()));
    }
    return statements;
}

Status openChangeContext(QSqlDatabase db, const QString& login, const QString& computer,
                         const QString& timeZone) {
    if (engineOf(db) == Engine::SQLite) {
        for (const char* sql :
             {"CREATE TEMP TABLE IF NOT EXISTS contesto (operatore TEXT, computer TEXT, "
              "azione TEXT)",
              "DELETE FROM temp.contesto"}) {
            if (Status s = execute(db, QString::fromUtf8(sql)); !s.ok())
                return s;
        }
        return execute(db, QStringLiteral("INSERT INTO temp.contesto VALUES (?, ?, NULL)"),
                       {login, computer});
    }
    if (Status s = execute(db, QStringLiteral("SELECT set_config('velarco.computer', ?, false)"),
                           {computer});
        !s.ok())
        return s;
    // The desk's local time, when the server knows its time zone; the server's otherwise.
    const bool known = execute(db, QStringLiteral("SELECT now() AT TIME ZONE ?"), {timeZone}).ok();
    return execute(db, QStringLiteral("SELECT set_config('velarco.fuso', ?, false)"),
                   {known ? timeZone : QString()});
}

Status setChangeAction(QSqlDatabase db, const QString& action) {
    const QVariant word = action.isEmpty() ? QVariant() : QVariant(action);
    if (engineOf(db) == Engine::SQLite)
        return execute(db, QStringLiteral("UPDATE temp.contesto SET azione = ?"), {word});
    return execute(db, QStringLiteral("SELECT set_config('velarco.azione', ?, false)"), {action});
}

Status recordChangesOnConnection(QSqlDatabase db) {
    if (engineOf(db) != Engine::SQLite)
        return Status::success();
    for (const RecordedTable& table : kRecordedTables) {
        const Result<QStringList> columns = columnsOf(db, QLatin1String(table.name));
        if (!columns.ok())
            return columns.status;
        for (const QString& sql : fileRecording(table, columns.value)) {
            if (Status s = execute(db, sql); !s.ok())
                return s;
        }
    }
    return Status::success();
}

Result<RoleRights> roleRights(QSqlDatabase db) {
    Result<RoleRights> result;
    if (engineOf(db) != Engine::PostgreSQL)
        return result;
    // The ledger's table names its owner; a database without it is new.
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral(
            "SELECT coalesce(bool_and(has_table_privilege(t.oid, 'INSERT, UPDATE, DELETE')), "
            "has_schema_privilege(current_schema(), 'CREATE')), "
            "coalesce(bool_and(pg_has_role(t.relowner, 'USAGE')), "
            "has_schema_privilege(current_schema(), 'CREATE')), "
            "coalesce(bool_or(has_table_privilege(m.oid, 'INSERT')), true) "
            "FROM pg_class t LEFT JOIN pg_class m ON m.relname = 'modifiche' "
            "AND m.relnamespace = t.relnamespace "
            "WHERE t.relname = 'ritenute' AND t.relnamespace = (SELECT oid FROM pg_namespace WHERE "
            "nspname = current_schema())")) ||
        !query.next()) {
        result.status = Status::failure(query.lastError().text());
        return result;
    }
    result.value.write = query.value(0).toBool() && query.value(2).toBool();
    result.value.upgrade = query.value(1).toBool();
    return result;
}

Status readOnlySession(QSqlDatabase db) {
    if (engineOf(db) != Engine::PostgreSQL)
        return Status::success();
    return execute(db, QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"));
}

Result<QString> sessionOperator(QSqlDatabase db, const QString& login) {
    Result<QString> result{Status::success(), login};
    if (engineOf(db) == Engine::SQLite)
        return result;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT session_user")) || !query.next())
        result.status = Status::failure(query.lastError().text());
    else
        result.value = query.value(0).toString();
    return result;
}

} // namespace store::dialect
