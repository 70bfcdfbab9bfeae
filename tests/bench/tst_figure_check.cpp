#include "figure_check.h"

#include <QTest>

class FigureCheckTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readmeTable();
    void verdicts_data();
    void verdicts();
};

// Only the rows of the table with the four named columns, the figure's name unquoted.
void FigureCheckTest::readmeTable() {
    const QString readme = QStringLiteral("| figure | before | after |\n|---|---|---|\n"
                                          "| other table | `x` | 1 s |\n\n"
                                          "| figure | name | Velarco | target |\n"
                                          "|---|---|---|---|\n"
                                          "| `StampaS` to PDF | `report_a` | 9.1 s | < 12 s |\n"
                                          "| no target | `report_b` | | |\n"
                                          "\nText after | the table |\n");
    const QList<figure_check::Row> rows = figure_check::readmeRows(readme);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).figure, QStringLiteral("`StampaS` to PDF"));
    QCOMPARE(rows.at(0).name, QStringLiteral("report_a"));
    QCOMPARE(rows.at(0).stated, QStringLiteral("9.1 s"));
    QCOMPARE(rows.at(0).target, QStringLiteral("< 12 s"));
    QCOMPARE(rows.at(1).target, QString());
}

void FigureCheckTest::verdicts_data() {
    QTest::addColumn<QString>("stated");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("run");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("shown"); // the value in the table to paste
    QTest::newRow("met, seconds against milliseconds") << "9.1 s"
                                                       << "< 12 s"
                                                       << "figure: 9500.000 ms" << 0 << "9.50 s";
    QTest::newRow("missed") << "9.1 s"
                            << "< 12 s"
                            << "figure: 86000.000 ms" << 1 << "86.0 s";
    QTest::newRow("on the limit of <") << ""
                                       << "< 12 s"
                                       << "figure: 12000.000 ms" << 1 << "12.0 s";
    QTest::newRow("on the limit of ≤") << ""
                                       << "≤ 8×"
                                       << "figure: 8.000 x" << 0 << "8.00×";
    QTest::newRow("at least ten times") << ""
                                        << "≥ 10×"
                                        << "figure: 9.800 x" << 1 << "9.80×";
    QTest::newRow("KB target, KB figure") << "38 KB"
                                          << "< 40 KB"
                                          << "figure: 35.200 KB" << 0 << "35.2 KB";
    QTest::newRow("MiB against MB") << ""
                                    << "< 200 MB"
                                    << "figure: 195.000 MiB" << 1 << "195 MiB";
    QTest::newRow("met, README off by more than half") << "9.1 s"
                                                       << "< 12 s"
                                                       << "figure: 4000.000 ms" << 3 << "4.00 s";
    QTest::newRow("met, README off by less than half") << "9.1 s"
                                                       << "< 12 s"
                                                       << "figure: 5000.000 ms" << 0 << "5.00 s";
    QTest::newRow("no target, README contradicted") << "20 ms"
                                                    << ""
                                                    << "figure: 45.000 ms" << 3 << "45.0 ms";
    QTest::newRow("a time against a ratio") << ""
                                            << "< 3×"
                                            << "figure: 2.000 ms" << 1 << "2.00 ms";
    QTest::newRow("target not measured") << "9.1 s"
                                         << "< 12 s"
                                         << "other: 1.000 ms" << 1 << "9.1 s";
    QTest::newRow("no target, not measured") << "9.1 s"
                                             << ""
                                             << "" << 0 << "9.1 s";
    QTest::newRow("skipped with its reason")
        << "9.8×"
        << "≥ 10×"
        << "figure: skipped (soffice not installed)" << 0 << "9.8×";
    QTest::newRow("unreadable target") << ""
                                       << "about 12 s"
                                       << "figure: 1.000 ms" << 1 << "1.00 ms";
}

void FigureCheckTest::verdicts() {
    QFETCH(QString, stated);
    QFETCH(QString, target);
    QFETCH(QString, run);
    QFETCH(int, status);
    QFETCH(QString, shown);
    const figure_check::Outcome outcome = figure_check::check(
        {{QStringLiteral("what"), QStringLiteral("figure"), stated, target}},
        figure_check::readRun(QStringLiteral("# comment\n") + run + QStringLiteral("\n")));
    QCOMPARE(outcome.status(), status);
    const QString missed = outcome.missed.join(u'\n');
    QVERIFY2(status != 1 || missed.startsWith(QStringLiteral("figure: ")), qPrintable(missed));
    QVERIFY2(status != 3 || outcome.contradicted.join(u'\n').contains(stated),
             qPrintable(outcome.contradicted.join(u'\n')));
    QVERIFY2(outcome.table.endsWith(
                 QStringLiteral("| what | `figure` | %1 | %2 |\n").arg(shown, target)),
             qPrintable(outcome.table));
}

QTEST_MAIN(FigureCheckTest)
#include "tst_figure_check.moc"
