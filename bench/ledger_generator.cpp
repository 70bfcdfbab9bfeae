#include "ledger_generator.h"

#include "ledger/withholding_record.h"
#include "ledger/withholding_store.h"
#include "store/connection.h"
#include "store/name_order.h"
#include "store/transaction.h"
#include "values/amount.h"

#include <QDate>
#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>
#include <array>
#include <vector>

namespace {

// splitmix64: the same ledger from the same seed on every machine and compiler.
class Random {
public:
    explicit Random(quint64 seed) : state_(seed) {}
    quint64 next() {
        quint64 z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % quint64(n)); }
    bool percent(int p) { return below(100) < p; }
    template <typename T, std::size_t N> const T& pick(const std::array<T, N>& items) {
        return items[std::size_t(below(int(N)))];
    }

private:
    quint64 state_;
};

const std::array<const char*, 24> kSurnames = {
    "ROSSI",    "RUSSO",      "FERRARI",  "ESPOSITO", "BIANCHI", "ROMANO",  "COLOMBO", "RICCI",
    "MARINO",   "GRECO",      "BRUNO",    "GALLO",    "CONTI",   "DE LUCA", "MANCINI", "COSTA",
    "D'ANGELO", "DELL'ACQUA", "LOMBARDI", "MORETTI",  "FABBRÌ",  "NICOLÒ",  "SANTORO", "CARUSO"};
const std::array<const char*, 16> kGivenNames = {
    "MARIO", "GIUSEPPE", "LUCIA",  "ANNA",     "FRANCESCO", "GIULIA", "NICCOLÒ", "CHIARA",
    "LUCA",  "ELENA",    "ANDREA", "FEDERICA", "PAOLO",     "SARA",   "MATTEO",  "ILARIA"};
const std::array<const char*, 6> kCompanyForms = {"S.R.L.", "S.P.A.",           "S.N.C.",
                                                  "S.A.S.", "STUDIO ASSOCIATO", "CONDOMINIO"};
const std::array<const char*, 8> kTowns = {"ROMA",    "MILANO",  "NAPOLI", "TORINO",
                                           "BOLOGNA", "FIRENZE", "BARI",   "CANTÙ"};

QString subjectName(Random& random, int index) {
    const QString surname = QString::fromUtf8(random.pick(kSurnames));
    if (random.percent(35))
        return QStringLiteral("%1 %2 %3")
            .arg(surname, QString::fromUtf8(random.pick(kCompanyForms)))
            .arg(index);
    return QStringLiteral("%1 %2 %3")
        .arg(surname, QString::fromUtf8(random.pick(kGivenNames)))
        .arg(index);
}

Status addSubjects(Random& random, const LedgerShape& shape, std::vector<qint64>& ids,
                   std::vector<QString>& names) {
    Transaction tx(store::connection());
    if (!tx.begun().ok())
        return tx.begun();
    for (int i = 0; i < shape.subjects; ++i) {
        const QString name = subjectName(random, i + 1);
        const bool user = i < shape.users;
        Result<QSqlQuery> q = store::run(
            QStringLiteral("INSERT INTO Soggetti (denominazione, ordine, indirizzo, citta, cap, "
                           "pr, codice, partita, utente) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {name, store::nameKey(name),
             QStringLiteral("VIA GARIBALDI %1").arg(random.below(200) + 1),
             QString::fromUtf8(random.pick(kTowns)),
             QStringLiteral("%1").arg(10000 + random.below(89999)), QStringLiteral("RM"),
             QStringLiteral("CF%1").arg(random.next() % 100000000000ULL, 14, 10, QChar(u'0')),
             QStringLiteral("%1").arg(random.next() % 100000000000ULL, 11, 10, QChar(u'0')),
             user ? QStringLiteral("S") : QStringLiteral("N")});
        if (!q.ok())
            return q.status;
        ids.push_back(q.value.lastInsertId().toLongLong());
        names.push_back(name);
    }
    return tx.commit();
}

// One invoice as the operator would type it into the entry panel.
WithholdingEntry invoice(Random& random, int year, qint64 user, qint64 subject, const QString& name,
                         int number) {
    WithholdingEntry e;
    e.subjectId = QString::number(subject);
    e.subjectName = name;
    e.invoiceNumber = QString::number(number);
    const QDate date = QDate(year, 1, 1).addDays(random.below(365));
    e.invoiceDate = date.toString(QStringLiteral("dd/MM/yyyy"));
    const bool fourPercent = random.percent(20);
    e.taxCode = fourPercent ? QStringLiteral("1019") : QStringLiteral("1040");
    e.rate = fourPercent ? QStringLiteral("4") : QStringLiteral("20");
    const Amount taxable = Amount::fromCents(5000 + qint64(random.next() % 2000000));
    const Amount withheld = Amount::fromCents(taxable.cents() * (fourPercent ? 4 : 20) / 100);
    const Amount other = Amount::fromCents(random.percent(30) ? qint64(random.next() % 50000) : 0);
    e.taxable = taxable.format();
    e.withheld = withheld.format();
    e.other = other.format();
    e.year = QString::number(year);
    e.user = QString::number(user);
    e.paid = random.percent(70);
    if (!e.paid) {
        e.remitted = QStringLiteral("0,00");
        return e;
    }
    const QDate paid = date.addDays(random.below(90));
    e.paymentDate = paid.toString(QStringLiteral("dd/MM/yyyy"));
    e.period = QString::number(paid.month());
    const QDate due = QDate(paid.year(), paid.month(), 16).addMonths(1);
    e.dueDate = due.toString(QStringLiteral("dd/MM/yyyy"));
    if (!random.percent(60)) {
        e.remitted = QStringLiteral("0,00");
        return e;
    }
    e.lateRegularisation = random.percent(10);
    QDate remittance = due.addDays(-random.below(10));
    Amount remitted = withheld;
    if (e.lateRegularisation) {
        remittance = due.addDays(30 + random.below(200));
        const Amount interest = Amount::fromCents(withheld.cents() / 100 + 1);
        const Amount penalty = Amount::fromCents(withheld.cents() / 10 + 1);
        e.interest = interest.format();
        e.penalty = penalty.format();
        remitted = Amount::fromCents(withheld.cents() + interest.cents() + penalty.cents());
    }
    e.remittanceDate = remittance.toString(QStringLiteral("dd/MM/yyyy"));
    e.remitted = remitted.format();
    return e;
}

} // namespace

Status generateLedger(const QString& path, const LedgerShape& shape,
                      const std::function<void(qint64, qint64)>& progress) {
    if (QFileInfo::exists(path))
        return Status::failure(QStringLiteral("%1 esiste già").arg(path));
    if (Status s = store::openDatabase(path); !s.ok())
        return s;
    // The file is built in batches of records, each batch one transaction, without
    // waiting for the disk; the records are converted and written as the panel's are.
    QSqlQuery(store::connection()).exec(QStringLiteral("PRAGMA synchronous = OFF"));

    Random random(shape.seed);
    std::vector<qint64> ids;
    std::vector<QString> names;
    if (Status s = addSubjects(random, shape, ids, names); !s.ok())
        return s;

    const qint64 total =
        qint64(shape.users) * shape.years * shape.recordsPerYear + shape.bigYearRecords;
    qint64 written = 0;
    const auto write = [&](int year, int userIndex, int count) -> Status {
        for (int n = 1; n <= count; ++n) {
            const int subject = shape.users + random.below(shape.subjects - shape.users);
            const WithholdingEntry e =
                invoice(random, year, ids[std::size_t(userIndex)], ids[std::size_t(subject)],
                        names[std::size_t(subject)], n);
            const Result<qint64> r = ledger::insertWithholding(ledger::recordFromEntry(e));
            if (!r.ok())
                return r.status;
            if (++written % 10000 == 0)
                progress(written, total);
        }
        return Status::success();
    };
    for (int y = shape.lastYear - shape.years + 1; y <= shape.lastYear; ++y) {
        for (int u = 0; u < shape.users; ++u) {
            if (Status s = write(y, u, shape.recordsPerYear); !s.ok())
                return s;
        }
    }
    // The large user-year: a year of its own for the first user.
    if (shape.bigYearRecords > 0) {
        if (Status s = write(shape.lastYear + 1, 0, shape.bigYearRecords); !s.ok())
            return s;
    }
    QSqlQuery(store::connection()).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    QSqlQuery(store::connection()).exec(QStringLiteral("ANALYZE"));
    store::closeDatabase();
    return Status::success();
}
