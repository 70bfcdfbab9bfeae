// Every statement the program sends while each command runs is explained by the ledger's
// engine; a plan that reads a whole joined table, builds a throwaway index, or sorts the
// keys of a list fails here, unless the list below says why it may.

#include "ledger/ledger_grid_query.h"
#include "registry/subject_store.h"
#include "reports/change_register.h"
#include "reports/report_catalogue.h"
#include "reports/year_deletion_store.h"
#include "store/connection.h"
#include "store/dialect.h"
#include "store/name_order.h"
#include "support/query_plans.h"
#include "support/test_database.h"
#include "widgets/keyed_query_model.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>

namespace {

struct Allowed {
    const char* statementPart; // a part of the statement's text
    const char* faultPart;     // a part of the fault
    const char* reason;
};

// The statements excused, each with its reason. None today: every plan is clean. A statement
// that must read a whole joined table, or sort its keys, is listed here with why.
const QList<Allowed> kAllowed = {};

const char* allowance(const QString& sql, const QString& fault) {
    for (const Allowed& a : kAllowed) {
        if (sql.contains(QLatin1String(a.statementPart)) &&
            fault.contains(QLatin1String(a.faultPart)))
            return a.reason;
    }
    return nullptr;
}

// Statements whose order must come from an index: the list of a command's row keys in
// display order (see KeyedQuery::keySql), and the first rows of an order (LIMIT), which a
// sort would find only after reading every row.
bool readsInOrder(const QString& sql) {
    static const QRegularExpression ordered(
        QStringLiteral("^SELECT (\\w+\\.)?ID FROM .* ORDER BY |ORDER BY .* LIMIT \\d+$"),
        QRegularExpression::CaseInsensitiveOption);
    return ordered.match(sql).hasMatch();
}

bool isExplained(const QString& sql) {
    static const QRegularExpression reads(
        QStringLiteral("^\\s*(SELECT|INSERT|UPDATE|DELETE|WITH)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return reads.match(sql).hasMatch();
}

struct Statement {
    QString sql;
    QVariantList values;
};

// The distinct statements the program sends while this lives, each once, in order.
class SentStatements {
public:
    SentStatements() {
        store::watchStatements([this](const QString& sql, const QVariantList& values) {
            for (const Statement& s : sent_) {
                if (s.sql == sql)
                    return;
            }
            sent_.append({sql, values});
        });
    }
    ~SentStatements() { store::watchStatements({}); }
    SentStatements(const SentStatements&) = delete;
    SentStatements& operator=(const SentStatements&) = delete;

    const QList<Statement>& list() const { return sent_; }

private:
    QList<Statement> sent_;
};

} // namespace

class QueryPlansTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void commands_data();
    void commands();
    void keyListsFromIndexAlone_data();
    void keyListsFromIndexAlone();

private:
    std::unique_ptr<TestDatabase> db_;
    QString user_;
    QString otherUser_;
};

void QueryPlansTest::initTestCase() {
    db_ = std::make_unique<TestDatabase>();
    QVERIFY2(db_->ok(), qPrintable(db_->error()));
    user_ = QString::number(TestDatabase::addSubject(QStringLiteral("ROSSI MARIO"), true));
    otherUser_ = QString::number(TestDatabase::addSubject(QStringLiteral("BIANCHI ANNA"), true));
    const qint64 payee = TestDatabase::addSubject(QStringLiteral("ALFA SNC"));
    // Each command finds rows: paid, late, remitted and not, of both users and two years.
    const char* const dates[] = {"2024-01-10", "2024-03-10", "2024-03-20", "2024-11-05"};
    for (const QString& user : {user_, otherUser_}) {
        for (const char* paid : dates) {
            for (const bool remitted : {false, true}) {
                const QString day = QLatin1String(paid);
                TestDatabase::exec(
                    QStringLiteral(
                        "INSERT INTO Ritenute (ID_A, denominazione, ordine, FT, data, imponibile, "
                        "aliquota, ritenuta, pag, datap, periodo, versamento, versato, tributo, "
                        "anno, utente, scadenza) VALUES (?, 'ALFA SNC', ?, '1', ?, 100000, 2000, "
                        "20000, ?, ?, '2', ?, ?, '1040', ?, ?, ?)"),
                    {payee, store::nameKey(QStringLiteral("ALFA SNC")), day,
                     remitted ? QStringLiteral("S") : QStringLiteral("N"), day,
                     remitted ? QVariant(QStringLiteral("2024-12-16")) : QVariant(),
                     remitted ? 20000 : 0, day.left(4), user, day});
            }
        }
    }
}

void QueryPlansTest::cleanupTestCase() {
    store::watchStatements({});
    db_.reset();
}

void QueryPlansTest::commands_data() {
    QTest::addColumn<QString>("command");
    for (const QString& name : reportNames())
        QTest::newRow(qPrintable(name)) << name;
    QTest::newRow("ledger grid") << "ledger grid";
    QTest::newRow("subject grid") << "subject grid";
    QTest::newRow("year deletion") << "year deletion";
    QTest::newRow("change register") << "change register";
}

void QueryPlansTest::commands() {
    QFETCH(QString, command);
    auto watching = std::make_unique<SentStatements>();
    QTemporaryDir dir;
    if (command == QLatin1String("ledger grid") || command == QLatin1String("subject grid")) {
        KeyedQueryModel grid;
        QVERIFY(grid.load(command.startsWith(QLatin1String("ledger"))
                              ? ledger::ledgerGridQuery(QStringLiteral("2024"), user_)
                              : registry::subjectGridQuery())
                    .ok());
        QVERIFY(grid.rowCount() > 0 && grid.value(0, 0).isValid());
        if (command.startsWith(QLatin1String("ledger")))
            QVERIFY(ledger::longestInvoiceNumbers(QStringLiteral("2024"), user_).ok());
    } else if (command == QLatin1String("change register")) {
        KeyedQueryModel grid;
        QVERIFY(grid.load(change_register::query({QDate(2020, 1, 1), QDate(2030, 12, 31),
                                                  QStringLiteral("rossi"),
                                                  QStringLiteral("inserimento"), user_}))
                    .ok());
    } else if (command == QLatin1String("year deletion")) {
        int deleted = 0;
        const Status s = year_deletion::deleteYear(otherUser_, QStringLiteral("2024"), &deleted);
        QVERIFY2(s.ok() && deleted > 0, qPrintable(s.error()));
    } else {
        ReportRequest request{command,
                              user_,
                              QString(),
                              QStringLiteral("2024"),
                              4,
                              QStringLiteral("2"),
                              QStringLiteral("%ALFA%"),
                              QDate(2025, 6, 1)};
        const Status s = exportReport(request, dir.filePath(QStringLiteral("report.pdf")));
        QVERIFY2(s.ok(), qPrintable(command + QStringLiteral(": ") + s.error()));
    }
    const QList<Statement> sent = watching->list();
    watching.reset();

    QStringList failures;
    int explained = 0;
    for (const Statement& s : sent) {
        if (!isExplained(s.sql))
            continue;
        ++explained;
        QString error;
        const QStringList plan = query_plans::planOf(s.sql, s.values, &error);
        QVERIFY2(error.isEmpty(), qPrintable(s.sql + QStringLiteral(": ") + error));
        for (const QString& fault : query_plans::faultsOf(plan, readsInOrder(s.sql))) {
            if (!allowance(s.sql, fault))
                failures.append(QStringLiteral("%1\n  statement: %2\n  plan:\n    %3")
                                    .arg(fault, s.sql, plan.join(QStringLiteral("\n    "))));
        }
    }
    QVERIFY2(explained > 0, "no statement was sent");
    QVERIFY2(failures.isEmpty(),
             qPrintable(command + QStringLiteral(":\n") + failures.join(QStringLiteral("\n"))));
}

// Whole-ledger lists whose keys must come from an index of the records alone: a lookup of each
// record for a condition the index does not hold reads the whole file, the record of changes
// between the records. The engine's program for the statement must not open the table.
void QueryPlansTest::keyListsFromIndexAlone_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("statementPart");
    QTest::newRow("StampaS") << "StampaS"
                             << "ORDER BY Ritenute.scadenza DESC";
}

void QueryPlansTest::keyListsFromIndexAlone() {
    if (store::currentEngine() != store::Engine::SQLite)
        QSKIP("the server reads an index alone only where its visibility map allows");
    QFETCH(QString, command);
    QFETCH(QString, statementPart);
    auto watching = std::make_unique<SentStatements>();
    QTemporaryDir dir;
    const Status s = exportReport({command, {}, {}, {}, 0, {}, {}, {}},
                                  dir.filePath(QStringLiteral("report.pdf")));
    const QList<Statement> sent = watching->list();
    watching.reset();
    QVERIFY2(s.ok(), qPrintable(s.error()));
    const auto keys = std::find_if(sent.cbegin(), sent.cend(), [&](const Statement& st) {
        return readsInOrder(st.sql) && st.sql.contains(statementPart);
    });
    QVERIFY(keys != sent.cend());
    Result<QSqlQuery> table = store::run(
        QStringLiteral("SELECT rootpage FROM sqlite_master WHERE type = 'table' AND name = ?"),
        {QStringLiteral("Ritenute")});
    QVERIFY(table.ok() && table.value.next());
    const int tablePage = table.value.value(0).toInt();
    Result<QSqlQuery> program = store::run(QStringLiteral("EXPLAIN ") + keys->sql, keys->values);
    QVERIFY2(program.ok(), qPrintable(program.error()));
    // The table's cursor may be opened for a seek deferred until a column of it is read.
    int tableCursor = -1;
    QStringList columnsRead;
    while (program.value.next()) {
        const QString opcode = program.value.value(1).toString();
        const int cursor = program.value.value(2).toInt();
        if (opcode == QLatin1String("OpenRead") && program.value.value(3).toInt() == tablePage)
            tableCursor = cursor;
        else if (opcode == QLatin1String("Column") && cursor == tableCursor)
            columnsRead.append(program.value.value(3).toString());
    }
    QVERIFY2(columnsRead.isEmpty(),
             qPrintable(QStringLiteral("columns %1 read from the records: %2")
                            .arg(columnsRead.join(QStringLiteral(", ")), keys->sql)));
}

QTEST_MAIN(QueryPlansTest)
#include "tst_query_plans.moc"
