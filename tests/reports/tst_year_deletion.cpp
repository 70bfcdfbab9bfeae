#include "app/nota.h"
#include "reports/year_deletion_store.h"
#include "shell/scripted_message_boxes.h"
#include "store/connection.h"
#include "store/copies.h"
#include "support/test_database.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QSqlQuery>
#include <QTest>
#include <memory>

namespace {

const char* const kWorkMenus[] = {"Esci", "Anagrafica", "Ritenute", "Servizi", "Funzioni"};

const QString kPrompt = QStringLiteral(" Per accedere, occorre digitare la PASSWORD di sistema");
const QString kPromptTitle = QStringLiteral(" Velarco................................");
const QString kWrong = QStringLiteral("PASSWORD.................errata !!");
const QString kNoticeTitle = QStringLiteral(" Velarco..........................- AVVISO ");
const QString kConfirm = QStringLiteral(" Sei sicuro di voler di eliminare le registrazioni  ?");
const QString kCancelled = QStringLiteral("  Eliminazione  cancellata dall'Utente  !!");
const QString kDone = QStringLiteral(" Eliminazione Registrazioni  effettuata con successo ! ");
const QString kDoneTitle = QStringLiteral("Velarco............................ - ELIMINA ");

bool anyWorkMenuEnabled(const Shell& shell) {
    for (const char* name : kWorkMenus) {
        if (shell.action(name)->isEnabled())
            return true;
    }
    return false;
}

bool allWorkMenusEnabled(const Shell& shell) {
    for (const char* name : kWorkMenus) {
        if (!shell.action(name)->isEnabled())
            return false;
    }
    return true;
}

// Scripted boxes that also note whether a work menu was enabled while any box was open.
class WatchingBoxes : public ScriptedMessageBoxes {
public:
    const Shell* shell = nullptr;
    bool menuEnabledDuringBox = false;

    BoxAnswer show(const QString& text, const QString& title, BoxButtons buttons,
                   BoxIcon icon) override {
        watch();
        return ScriptedMessageBoxes::show(text, title, buttons, icon);
    }
    QString input(const QString& prompt, const QString& title, bool masked) override {
        watch();
        return ScriptedMessageBoxes::input(prompt, title, masked);
    }

private:
    void watch() {
        if (shell && anyWorkMenuEnabled(*shell))
            menuEnabledDuringBox = true;
    }
};

int countRows(const QString& user, const QString& year) {
    Result<QSqlQuery> r =
        store::run(QStringLiteral("SELECT count(*) FROM Ritenute WHERE utente = ? AND anno = ?"),
                   {user, year});
    if (!r.ok() || !r.value.next())
        return -1;
    return r.value.value(0).toInt();
}

} // namespace

class TestYearDeletion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void passwordReading_data();
    void passwordReading();
    void deleteMatchesExactly_data();
    void deleteMatchesExactly();

    void commandPaths_data();
    void commandPaths();
    void missingSelection_data();
    void missingSelection();
    void userWithoutRowsStillSucceeds();
    void failedDeleteIsReportedAndRolledBack();
    void copyComesFirst_data();
    void copyComesFirst();

private:
    void addRecords(const QString& user, const QString& year, int count);
    void select(const QString& user, const QString& year);
    // The first paragraph of every text shown: on a server the question adds one about
    // the copies (see copyComesFirst).
    QStringList texts() const {
        QStringList firsts;
        for (const QString& text : boxes_->texts())
            firsts.append(text.section(QStringLiteral("\n\n"), 0, 0));
        return firsts;
    }

    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<WatchingBoxes> boxes_;
    std::unique_ptr<Nota> window_;
    QString userA_;
    QString userB_;
};

void TestYearDeletion::init() {
    db_ = std::make_unique<TestDatabase>();
    QVERIFY2(db_->ok(), qPrintable(db_->error()));
    userA_ = QString::number(TestDatabase::addSubject(QStringLiteral("ROSSI MARIO"), true));
    userB_ = QString::number(TestDatabase::addSubject(QStringLiteral("BIANCHI ANNA"), true));
    addRecords(userA_, QStringLiteral("2024"), 3);
    addRecords(userA_, QStringLiteral("2023"), 2);
    addRecords(userB_, QStringLiteral("2024"), 2);
    boxes_ = std::make_unique<WatchingBoxes>();
    window_ = std::make_unique<Nota>(*boxes_);
    boxes_->shell = window_.get();
    window_->show();
}

void TestYearDeletion::cleanup() {
    window_.reset();
    boxes_.reset();
    db_.reset();
}

void TestYearDeletion::addRecords(const QString& user, const QString& year, int count) {
    for (int i = 0; i < count; ++i)
        TestDatabase::exec(
            QStringLiteral("INSERT INTO Ritenute (denominazione, FT, imponibile, aliquota, anno, "
                           "utente) VALUES (?, ?, 100000, 2000, ?, ?)"),
            {QStringLiteral("FORNITORE"), QString::number(i + 1), year, user});
}

// The state the selection leaves: user and year in their labels, the work menus enabled.
void TestYearDeletion::select(const QString& user, const QString& year) {
    window_->setSession({user, QString(), year});
    window_->setWorkMenusEnabled(true);
    window_->panel("Frame2")->setVisible(true);
}

void TestYearDeletion::passwordReading_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("exact") << "5829" << true;
    QTest::newRow("blanks around") << "  5829 " << true;
    QTest::newRow("leading zero") << "05829" << true;
    QTest::newRow("zero decimals") << "5829,00" << true;
    QTest::newRow("other number") << "5828" << false;
    QTest::newRow("fraction") << "5829,5" << false;
    QTest::newRow("fraction below the cents") << "5829,001" << false;
    QTest::newRow("fraction rounding up to it") << "5828,999" << false;
    QTest::newRow("zeros past the cents") << "5829,000" << true;
    QTest::newRow("thousands separator") << "5.829" << true;
    QTest::newRow("negative") << "-5829" << false;
    QTest::newRow("blank inside") << "58 29" << false;
    QTest::newRow("letters") << "abcd" << false;
    QTest::newRow("digits and letters") << "5829x" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks only") << "   " << false;
}

void TestYearDeletion::passwordReading() {
    QFETCH(QString, entry);
    QFETCH(bool, accepted);
    QCOMPARE(year_deletion::isSystemPassword(entry), accepted);
}

void TestYearDeletion::deleteMatchesExactly_data() {
    QTest::addColumn<QString>("user"); // "A" or "B" for the fixture users, else as given
    QTest::addColumn<QString>("year");
    QTest::addColumn<int>("deleted");
    QTest::addColumn<QList<int>>("left"); // A 2024, A 2023, B 2024 afterwards
    QTest::newRow("user A 2024") << "A"
                                 << "2024" << 3 << QList<int>{0, 2, 2};
    QTest::newRow("user B 2024") << "B"
                                 << "2024" << 2 << QList<int>{3, 2, 0};
    QTest::newRow("user A 2023") << "A"
                                 << "2023" << 2 << QList<int>{3, 0, 2};
    QTest::newRow("year without rows") << "A"
                                       << "2025" << 0 << QList<int>{3, 2, 2};
    QTest::newRow("wildcard year") << "A"
                                   << "20%" << 0 << QList<int>{3, 2, 2};
    QTest::newRow("wildcard user") << "%"
                                   << "2024" << 0 << QList<int>{3, 2, 2};
    QTest::newRow("underscore year") << "A"
                                     << "202_" << 0 << QList<int>{3, 2, 2};
}

void TestYearDeletion::deleteMatchesExactly() {
    QFETCH(QString, user);
    QFETCH(QString, year);
    QFETCH(int, deleted);
    QFETCH(QList<int>, left);
    if (user == QLatin1String("A"))
        user = userA_;
    else if (user == QLatin1String("B"))
        user = userB_;
    int count = -1;
    const Status s = year_deletion::deleteYear(user, year, &count);
    QVERIFY2(s.ok(), qPrintable(s.error()));
    QCOMPARE(count, deleted);
    // One entry in the record of changes for each record deleted, and no other deletion.
    QCOMPARE(TestDatabase::changesRecorded("cancellazione anno", "Ritenute"), qint64(deleted));
    QCOMPARE(TestDatabase::changesRecorded("cancellazione", "Ritenute"), qint64(0));
    QCOMPARE((QList<int>{countRows(userA_, QStringLiteral("2024")),
                         countRows(userA_, QStringLiteral("2023")),
                         countRows(userB_, QStringLiteral("2024"))}),
             left);
}

void TestYearDeletion::commandPaths_data() {
    QTest::addColumn<QStringList>("inputs"); // none: the operator pressed "Annulla"
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("deleted");

    const QStringList wrong = {kPrompt, kWrong};
    QTest::newRow("wrong number") << QStringList{"1234"} << true << wrong << false;
    QTest::newRow("letters") << QStringList{"password"} << true << wrong << false;
    QTest::newRow("empty entry") << QStringList{""} << true << wrong << false;
    QTest::newRow("cancel") << QStringList{} << true << wrong << false;
    QTest::newRow("answer no") << QStringList{"5829"} << false
                               << QStringList{kPrompt, kConfirm, kCancelled} << false;
    QTest::newRow("answer yes") << QStringList{"5829"} << true
                                << QStringList{kPrompt, kConfirm, kDone} << true;
    QTest::newRow("blanks around password")
        << QStringList{" 5829  "} << true << QStringList{kPrompt, kConfirm, kDone} << true;
}

void TestYearDeletion::commandPaths() {
    QFETCH(QStringList, inputs);
    QFETCH(bool, answerYes);
    QFETCH(QStringList, expected);
    QFETCH(bool, deleted);

    select(userA_, QStringLiteral("2024"));
    window_->panel("Frame6")->setVisible(true);
    for (const QString& input : inputs)
        boxes_->type(input);
    boxes_->answer(answerYes ? BoxAnswer::Yes : BoxAnswer::No);

    window_->action("EliminaR")->trigger();

    QCOMPARE(texts(), expected);
    // The password box is masked and titled; the notices carry their own titles.
    const auto& shown = boxes_->shown();
    QVERIFY(shown.at(0).input);
    QVERIFY(shown.at(0).masked);
    QCOMPARE(shown.at(0).title, kPromptTitle);
    if (shown.size() == 3) {
        QCOMPARE(shown.at(1).buttons, BoxButtons::YesNo);
        QCOMPARE(shown.at(1).icon, BoxIcon::None);
        QCOMPARE(shown.at(1).title, kPromptTitle);
    }
    QCOMPARE(shown.last().buttons, BoxButtons::Ok);
    QCOMPARE(shown.last().icon, BoxIcon::Information);
    QCOMPARE(shown.last().title, deleted ? kDoneTitle : kNoticeTitle);

    QCOMPARE(countRows(userA_, QStringLiteral("2024")), deleted ? 0 : 3);
    QCOMPARE(countRows(userA_, QStringLiteral("2023")), 2);
    QCOMPARE(countRows(userB_, QStringLiteral("2024")), 2);

    QVERIFY(!boxes_->menuEnabledDuringBox);
    QVERIFY(allWorkMenusEnabled(*window_));
    QVERIFY(!window_->panel("Frame2")->isVisible());
    QVERIFY(!window_->panel("Frame6")->isVisible());
}

void TestYearDeletion::missingSelection_data() {
    QTest::addColumn<bool>("withUser");
    QTest::addColumn<QString>("year");
    QTest::newRow("no user") << false << "2024";
    QTest::newRow("no year") << true << "";
    QTest::newRow("neither") << false << "";
    QTest::newRow("blank year") << true << "  ";
}

void TestYearDeletion::missingSelection() {
    QFETCH(bool, withUser);
    QFETCH(QString, year);
    select(withUser ? userA_ : QString(), year);
    boxes_->type(QStringLiteral("5829"));
    boxes_->answerYes();

    window_->action("EliminaR")->trigger();

    QCOMPARE(texts(), QStringList{QStringLiteral(" Selezionare un Utente e un Anno ")});
    QCOMPARE(boxes_->last().title, QStringLiteral("ERRORE - CAMPO   VUOTO"));
    QCOMPARE(boxes_->unanswered(), 2); // no password asked, no confirmation
    QCOMPARE(countRows(userA_, QStringLiteral("2024")), 3);
    QVERIFY(!boxes_->menuEnabledDuringBox);
    // Back at the selection, the ledger menus disabled as at start-up.
    QVERIFY(window_->panel("Frame2")->isVisible());
    for (const char* menu : {"Ritenute", "Servizi", "Funzioni"})
        QVERIFY2(!window_->action(menu)->isEnabled(), menu);
    QVERIFY(window_->action("Anagrafica")->isEnabled());
    auto* users = window_->findChild<QWidget*>(QStringLiteral("cbo1"));
    QVERIFY(users->hasFocus() || !window_->isActiveWindow());
}

void TestYearDeletion::userWithoutRowsStillSucceeds() {
    const QString userC =
        QString::number(TestDatabase::addSubject(QStringLiteral("VERDI LUCA"), true));
    select(userC, QStringLiteral("2024"));
    boxes_->type(QStringLiteral("5829"));
    boxes_->answerYes();

    window_->action("EliminaR")->trigger();

    QCOMPARE(texts(), (QStringList{kPrompt, kConfirm, kDone}));
    QCOMPARE(countRows(userA_, QStringLiteral("2024")), 3);
    QCOMPARE(countRows(userB_, QStringLiteral("2024")), 2);
}

void TestYearDeletion::failedDeleteIsReportedAndRolledBack() {
    TestDatabase::setReadOnly(true);
    select(userA_, QStringLiteral("2024"));
    boxes_->type(QStringLiteral("5829"));
    boxes_->answerYes();

    window_->action("EliminaR")->trigger();

    const QStringList shown = texts();
    QCOMPARE(shown.size(), 3);
    QCOMPARE(shown.mid(0, 2), (QStringList{kPrompt, kConfirm}));
    QVERIFY(!shown.contains(kDone));
    // The database's own reason reaches the operator.
    QVERIFY2(shown.at(2).contains(TestDatabase::readOnlyReason()), qPrintable(shown.at(2)));
    QCOMPARE(boxes_->last().title, QStringLiteral("ERRORE -- BLOCCANTE  "));

    TestDatabase::setReadOnly(false);
    QCOMPARE(countRows(userA_, QStringLiteral("2024")), 3);
    // No transaction was left open: a new one can begin.
    QVERIFY(store::run(QStringLiteral("BEGIN")).ok());
    TestDatabase::exec(QStringLiteral("ROLLBACK"));
    QVERIFY(allWorkMenusEnabled(*window_));
    QVERIFY(!window_->panel("Frame2")->isVisible());
}

void TestYearDeletion::copyComesFirst_data() {
    QTest::addColumn<bool>("folderBlocked");
    QTest::newRow("copy made, then the deletion") << false;
    QTest::newRow("no copy, no deletion") << true;
}

void TestYearDeletion::copyComesFirst() {
    QFETCH(bool, folderBlocked);
    if (TestDatabase::onServer()) {
        if (folderBlocked)
            QSKIP("a server ledger has no copies folder");
        select(userA_, QStringLiteral("2024"));
        boxes_->type(QStringLiteral("5829"));
        boxes_->answerYes();
        window_->action("EliminaR")->trigger();
        // The question says that the server keeps the copies and how to take one to a file.
        const QString question = boxes_->texts().value(1);
        QVERIFY2(question.contains(QLatin1String("pg_dump")), qPrintable(question));
        QVERIFY2(question.contains(QLatin1String("velarco --copy-database ") + db_->path()),
                 qPrintable(question));
        QCOMPARE(texts().last(), kDone);
        QCOMPARE(countRows(userA_, QStringLiteral("2024")), 0);
        return;
    }
    const QString folder = store::automaticCopiesFolder(db_->path());
    if (folderBlocked) {
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    select(userA_, QStringLiteral("2024"));
    boxes_->type(QStringLiteral("5829"));
    boxes_->answerYes();

    window_->action("EliminaR")->trigger();

    QCOMPARE(countRows(userA_, QStringLiteral("2024")), folderBlocked ? 3 : 0);
    if (folderBlocked) {
        QVERIFY(!texts().contains(kDone));
        QVERIFY2(boxes_->last().text.contains(QLatin1String("copia automatica")),
                 qPrintable(boxes_->last().text));
        return;
    }
    QCOMPARE(texts().last(), kDone);
    const QStringList copies = QDir(folder).entryList(QDir::Files);
    QCOMPARE(copies.size(), 1);
    QVERIFY2(copies.first().endsWith(QLatin1String("_prima-eliminazione-anno.db")),
             qPrintable(copies.first()));
    // The copy holds the records the deletion removed.
    const Result<store::LedgerCheck> check =
        store::checkFile(QDir(folder).filePath(copies.first()));
    QVERIFY(check.ok() && check.value.whole());
    QCOMPARE(check.value.counts.at(1).table, QStringLiteral("Ritenute"));
    QCOMPARE(check.value.counts.at(1).rows, qint64(7));
}

QTEST_MAIN(TestYearDeletion)
#include "tst_year_deletion.moc"
