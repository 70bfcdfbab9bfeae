#include "printing/report_data.h"
#include "reports/report_window.h"
#include "reports/ritenute_scadute.h"

#include <QStatusBar>

// "Ritenute scadute" run from the menus, and the count of late withholdings after
// "Accedi".
class TestLateReport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void lists_data();
    void lists();
    void invalidDateShowsNothing();
    void statusBarCountsAfterAccedi();

private:
    // A withholding of 200,00 with a payment date and, when given, a remittance date.
    void addPaid(const QString& user, const char* year, const char* name, const char* code,
                 const char* paid, const QVariant& remitted = {});

    std::unique_ptr<ReportWindow> w_;
    std::optional<PreparedReport> shown_;
};

void TestLateReport::init() {
    w_ = std::make_unique<ReportWindow>();
    const auto keep = [this](const PreparedReport& report) {
        shown_ = report;
        return Status::success();
    };
    w_->window->findChild<ReportCommands*>(QStringLiteral("ReportCommands"))
        ->runner()
        .setPreview(keep);
    shown_.reset();
    addPaid(w_->userA, "2024", "LATE MARCH", "1040", "2024-03-15");
    addPaid(w_->userA, "2024", "ON TIME MAY", "1040", "2024-05-20");
    addPaid(w_->userA, "2024", "REMITTED", "1040", "2024-02-10", QStringLiteral("2024-05-01"));
    addPaid(w_->userA, "2024", "CONDOMINIO", "1019", "2024-01-10");
    addPaid(w_->userA, "2023", "OLD YEAR", "1040", "2023-11-10");
    addPaid(w_->userB, "2024", "OTHER USER", "1001", "2024-02-10");
}

void TestLateReport::cleanup() {
    w_.reset();
}

void TestLateReport::addPaid(const QString& user, const char* year, const char* name,
                             const char* code, const char* paid, const QVariant& remitted) {
    TestDatabase::exec(
        QStringLiteral("INSERT INTO Ritenute (denominazione, FT, pag, datap, ritenuta, tributo, "
                       "versamento, anno, utente) VALUES (?, '9', 'S', ?, 20000, ?, ?, ?, ?)"),
        {QString::fromLatin1(name), QString::fromLatin1(paid), QString::fromLatin1(code), remitted,
         QString::fromLatin1(year), user});
}

void TestLateReport::lists_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("title");
    QTest::addColumn<qint64>("penalties");
    QTest::addColumn<qint64>("totals");
    // At 01/06/2024: LATE MARCH is 46 days late (due 16/04): 3,33 + 0,63.
    QTest::newRow("user's year") << ritenute_scadute::kUserCommand << "01/06/2024"
                                 << QStringList{"LATE MARCH"} << "Ritenute scadute al 01/06/2024"
                                 << qint64(333) << qint64(20000 + 333 + 63);
    // Everyone, every year: OLD YEAR due 18/12/2023 (166 days: 1/8 of 30%, 7,50;
    // 13 days at 5% and 153 at 2,5% = 0,36 + 2,10), OTHER USER due 18/03/2024 (75
    // days: 3,33; 75 days at 2,5% = 1,03).
    QTest::newRow("general") << ritenute_scadute::kGeneralCommand << "01/06/2024"
                             << QStringList{"OLD YEAR", "LATE MARCH", "OTHER USER"}
                             << "Ritenute scadute al 01/06/2024" << qint64(333 + 750 + 333)
                             << qint64(60000 + 333 + 63 + 750 + 36 + 210 + 333 + 103);
    QTest::newRow("nothing late yet") << ritenute_scadute::kUserCommand << "16/04/2024"
                                      << QStringList{} << "" << qint64(0) << qint64(0);
}

void TestLateReport::lists() {
    QFETCH(QString, command);
    QFETCH(QString, typed);
    QFETCH(QStringList, names);
    QFETCH(QString, title);
    QFETCH(qint64, penalties);
    QFETCH(qint64, totals);
    w_->boxes.clear();
    w_->boxes.type(typed);
    w_->trigger(command.toLatin1().constData());
    if (names.isEmpty()) {
        QVERIFY(!shown_);
        QCOMPARE(w_->boxes.texts().mid(1), QStringList{catalogue::kNoDataText});
        return;
    }
    QVERIFY2(shown_, qPrintable(w_->boxes.texts().join(u'|')));
    const auto* rows = dynamic_cast<const report::ReportData*>(shown_->rows.get());
    QVERIFY(rows);
    const report::ReportData& data = *rows;
    QStringList listed;
    qint64 penaltySum = 0;
    qint64 totalSum = 0;
    for (int r = 0; r < data.rowCount(); ++r) {
        listed.append(data.value(r, QStringLiteral("denominazione")).toString());
        penaltySum += data.value(r, QStringLiteral("sanzione")).toLongLong();
        totalSum += data.value(r, QStringLiteral("totale")).toLongLong();
    }
    QCOMPARE(listed, names);
    QCOMPARE(penaltySum, penalties);
    QCOMPARE(totalSum, totals);
    QCOMPARE(captionOf(shown_->layout, ritenute_scadute::kTitle), title);
    const int march = int(listed.indexOf(QStringLiteral("LATE MARCH")));
    QCOMPARE(data.value(march, QStringLiteral("scadenza")).toString(),
             QStringLiteral("2024-04-16"));
    QCOMPARE(data.value(march, QStringLiteral("giorni")).toInt(), 46);
}

void TestLateReport::invalidDateShowsNothing() {
    w_->boxes.clear();
    w_->boxes.type(QStringLiteral("31/02/2024"));
    w_->trigger("RitenuteScadute");
    QVERIFY(!shown_);
    QCOMPARE(w_->boxes.texts().mid(1), QStringList{"Data non valida"});
}

void TestLateReport::statusBarCountsAfterAccedi() {
    // Back to the selection and in again, as the operator changes user.
    w_->trigger("CambioUtente");
    QCOMPARE(w_->window->statusBar()->currentMessage(), QString());
    auto* users = w_->child<QComboBox>("cbo1");
    const int index = users->findText(QStringLiteral("ROSSI MARIO"));
    users->setCurrentIndex(index);
    Q_EMIT users->activated(index);
    w_->child<QComboBox>("cbo2")->setEditText(QStringLiteral("2024"));
    w_->child<QPushButton>("Cmd1")->click();
    // Today every unremitted 2023 and 2024 withholding of the user is late.
    QCOMPARE(w_->window->statusBar()->currentMessage(),
             QStringLiteral("4 ritenute scadute non versate"));
}

QTEST_MAIN(TestLateReport)
#include "tst_late_report.moc"
