#include "reports/report_window.h"

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>

namespace {

const QString kNoData = QStringLiteral(" Attenzione non ci sono dati  ! ");
const QString kNoDataTitle = QStringLiteral(" Velarco- ERRORE ");
const QString kFailureTitle = QStringLiteral("ERRORE -- BLOCCANTE  ");
const QString kDefaultTitle = QStringLiteral("Elenco Ritenute ");
const QString kGeneralTitle = QStringLiteral("Elenco Generale Utenti ----- Ritenute Sospese");

} // namespace

class TestReportCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void previews_data();
    void previews();
    void emptyResult_data();
    void emptyResult();
    void titleOfOneRunDoesNotReachTheNext();
    void everyReportHasItsMenuItem();
    void certificateAndF24Plans_data();
    void certificateAndF24Plans();
    void certificateFolder();
    void failedQueryIsReported_data();
    void failedQueryIsReported();
    void failedPreviewIsReported();

private:
    std::unique_ptr<ReportWindow> w_;
};

void TestReportCommands::init() {
    w_ = std::make_unique<ReportWindow>();
}

void TestReportCommands::cleanup() {
    w_.reset();
}

void TestReportCommands::previews_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("user");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("first");
    QTest::addColumn<bool>("balanceShown"); // false also where the layout has no balance
    // The user's year: 5 records, in name order.
    QTest::newRow("ElencoR") << "ElencoR"
                             << "ElencoRitenute" << kDefaultTitle << "ROSSI MARIO" << 5
                             << "ALFA SNC" << true;
    QTest::newRow("FattureNP") << "FattureNP"
                               << "ElencoRitenute"
                               << "Elenco Fatture Non Pagate"
                               << "ROSSI MARIO" << 2 << "ALFA SNC" << true;
    QTest::newRow("FattureP") << "FattureP"
                              << "ElencoRitenute"
                              << "Elenco Fatture Pagate"
                              << "ROSSI MARIO" << 3 << "BETA_1 SPA" << true;
    // Selected on the missing remittance date, not on the amount; the balance is hidden.
    QTest::newRow("RitenuteNV") << "RitenuteNV"
                                << "ElencoRitenute"
                                << "Elenco Ritenute Non Versate"
                                << "ROSSI MARIO" << 3 << "ALFA SNC" << false;
    QTest::newRow("RitenuteV") << "RitenuteV"
                               << "ElencoRitenute"
                               << "Elenco Ritenute Versate"
                               << "ROSSI MARIO" << 2 << "BETA_1 SPA" << true;
    // Every user and year whose remitted amount is 0, without the record of no subject.
    QTest::newRow("StampaG") << "StampaG"
                             << "ElencoRitenuteG" << kGeneralTitle << "<none>" << 4 << "ALFA SNC"
                             << false;
    // Due and not remitted, latest due date first.
    QTest::newRow("StampaS") << "StampaS"
                             << "ElencoRitenuteG" << kGeneralTitle << "<none>" << 3
                             << "DELL'ORTO LUCA" << false;
    QTest::newRow("Elenco") << "Elenco"
                            << "Anagrafe"
                            << "<none>"
                            << "<none>" << 3 << "BIANCHI ANNA" << false;
}

void TestReportCommands::previews() {
    QFETCH(QString, command);
    QFETCH(QString, layout);
    QFETCH(QString, title);
    QFETCH(QString, user);
    QFETCH(int, rows);
    QFETCH(QString, first);
    QFETCH(bool, balanceShown);
    // A search panel left open stays open: a report changes no menu and no panel.
    w_->trigger("RicercaP");
    const QStringList before = w_->state();
    w_->trigger(command.toLatin1().constData());

    QCOMPARE(w_->boxes.texts(), QStringList());
    QCOMPARE(w_->previewed.size(), 1);
    const Previewed& p = w_->previewed.first();
    QCOMPARE(p.layout, layout);
    QCOMPARE(p.title, title);
    QCOMPARE(p.user, user);
    if (layout == QLatin1String("ElencoRitenute"))
        QCOMPARE(p.year, QStringLiteral("2024"));
    QCOMPARE(p.rows, rows);
    QCOMPARE(p.firstName, first);
    QCOMPARE(p.balanceShown, balanceShown);
    QVERIFY2(p.noOpenRead, "a query was still open during the preview");
    QVERIFY(noOpenRead());
    QCOMPARE(w_->state(), before);
}

void TestReportCommands::emptyResult_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("previewsEmpty");
    QTest::newRow("ElencoR") << "ElencoR" << true;
    QTest::newRow("FattureNP") << "FattureNP" << false;
    QTest::newRow("FattureP") << "FattureP" << false;
    QTest::newRow("RitenuteNV") << "RitenuteNV" << false;
    QTest::newRow("RitenuteV") << "RitenuteV" << false;
    QTest::newRow("StampaG") << "StampaG" << false;
    QTest::newRow("StampaS") << "StampaS" << false;
}

void TestReportCommands::emptyResult() {
    QFETCH(QString, command);
    QFETCH(bool, previewsEmpty);
    TestDatabase::exec(QStringLiteral("DELETE FROM Ritenute"));
    const QStringList before = w_->state();
    w_->trigger(command.toLatin1().constData());
    QCOMPARE(w_->state(), before);
    if (previewsEmpty) {
        QCOMPARE(w_->boxes.texts(), QStringList());
        QCOMPARE(w_->previewed.size(), 1);
        QCOMPARE(w_->previewed.first().rows, 0);
        return;
    }
    QCOMPARE(w_->previewed.size(), 0);
    QCOMPARE(w_->boxes.texts(), QStringList{kNoData});
    QCOMPARE(w_->boxes.last().title, kNoDataTitle);
    QCOMPARE(w_->boxes.last().icon, BoxIcon::Information);
    QCOMPARE(w_->boxes.last().buttons, BoxButtons::Ok);
    QVERIFY(noOpenRead());
}

void TestReportCommands::titleOfOneRunDoesNotReachTheNext() {
    w_->trigger("FattureP");
    w_->trigger("ElencoR");
    QCOMPARE(w_->previewed.size(), 2);
    QCOMPARE(w_->previewed.at(0).title, QStringLiteral("Elenco Fatture Pagate"));
    QCOMPARE(w_->previewed.at(1).title, kDefaultTitle);
}

void TestReportCommands::everyReportHasItsMenuItem() {
    // The window runs a report of the catalogue only through the menu item it names.
    for (const ReportDescription& report : reportDescriptions())
        QVERIFY2(w_->window->action(menuItemOf(report).constData()), qPrintable(report.name));
}

void TestReportCommands::certificateAndF24Plans_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("typed");  // the due month; "-" asks nothing
    QTest::addColumn<QString>("layout"); // empty: nothing previewed
    QTest::addColumn<QString>("message");
    // Paid in March 2024: certified for 2024, due in April.
    QTest::newRow("certification") << "StanpaAt"
                                   << "-"
                                   << "Attestazione"
                                   << "";
    QTest::newRow("F24 plan") << "PianoF24"
                              << "04/2024"
                              << "F24"
                              << "";
    QTest::newRow("general F24 plan") << "PianoF24G"
                                      << "4/2024"
                                      << "F24G"
                                      << "";
    // Paid in 2024, the window's year: the year of reference.
    QTest::newRow("770 prospectus") << "Prospetto770"
                                    << "-"
                                    << "Prospetto770"
                                    << "";
    QTest::newRow("general 770 prospectus") << "Prospetto770G"
                                            << "-"
                                            << "Prospetto770G"
                                            << "";
    QTest::newRow("F24 plan, nothing due") << "PianoF24"
                                           << "05/2024"
                                           << "" << kNoData;
    QTest::newRow("F24 plan, no month") << "PianoF24"
                                        << "aprile"
                                        << ""
                                        << "Mese non valido: aprile\nScrivere mese e anno, per "
                                           "esempio 02/2026.";
    QTest::newRow("F24 plan, Annulla") << "PianoF24G"
                                       << ""
                                       << ""
                                       << "";
}

void TestReportCommands::certificateAndF24Plans() {
    QFETCH(QString, command);
    QFETCH(QString, typed);
    QFETCH(QString, layout);
    QFETCH(QString, message);
    TestDatabase::exec(QStringLiteral("UPDATE Ritenute SET datap = '2024-03-10', tributo = "
                                      "'1040' WHERE denominazione = 'ZETA SRL'"));
    if (typed != QLatin1String("-"))
        w_->boxes.type(typed);
    const QStringList before = w_->state();
    w_->trigger(command.toLatin1().constData());
    QCOMPARE(w_->state(), before);
    QCOMPARE(w_->boxes.unanswered(), 0);
    QCOMPARE(w_->boxes.texts().filter(QStringLiteral("Mese e anno")).size(),
             typed == QLatin1String("-") ? 0 : 1);
    QCOMPARE(w_->boxes.texts().filter(message.isEmpty() ? QStringLiteral("\x01") : message).size(),
             message.isEmpty() ? 0 : 1);
    QCOMPARE(w_->previewed.size(), layout.isEmpty() ? 0 : 1);
    if (!layout.isEmpty()) {
        QCOMPARE(w_->previewed.first().layout, layout);
        QVERIFY(w_->previewed.first().rows > 0);
        QVERIFY(w_->previewed.first().noOpenRead);
    }
}

// The certification as files to send: the payees asked, a PDF each and the summary in the
// chosen folder, said in a box and on the status bar.
void TestReportCommands::certificateFolder() {
    TestDatabase::exec(QStringLiteral("UPDATE Ritenute SET datap = '2024-03-10', tributo = "
                                      "'1040' WHERE denominazione IN ('ZETA SRL', 'ALFA SNC')"));
    TestDatabase::exec(QStringLiteral("UPDATE Ritenute SET ID_A = (SELECT ID FROM Soggetti WHERE "
                                      "denominazione = 'DELL''ORTO LUCA') WHERE denominazione = "
                                      "'ZETA SRL'"));
    TestDatabase::exec(QStringLiteral("UPDATE Soggetti SET codice = 'DLLLCU80A01H501Z' WHERE "
                                      "denominazione = 'DELL''ORTO LUCA'"));
    QTemporaryDir folder;
    w_->window->findChild<ReportCommands*>(QStringLiteral("ReportCommands"))
        ->setFolderChooser([&folder](QWidget*) { return folder.path(); });
    w_->boxes.type(QStringLiteral("DELL%"));
    w_->boxes.answerYes();
    w_->trigger("StanpaAt");
    QCOMPARE(w_->previewed.size(), 0);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase),
             (QStringList{"DLLLCU80A01H501Z_2024.pdf", "riepilogo_2024.pdf"}));
    QCOMPARE(w_->boxes.last().text,
             "Scritte 1 attestazioni e il riepilogo nella cartella\n" + folder.path());
    QCOMPARE(w_->child<QLabel>("FileScritto")->text(),
             "File salvato: " + folder.filePath("riepilogo_2024.pdf"));
}

void TestReportCommands::failedQueryIsReported_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("table");
    for (const char* command :
         {"ElencoR", "FattureNP", "FattureP", "RitenuteNV", "RitenuteV", "StampaG", "StampaS"})
        QTest::newRow(command) << command << "Ritenute";
    QTest::newRow("Elenco") << "Elenco"
                            << "Soggetti";
}

void TestReportCommands::failedQueryIsReported() {
    QFETCH(QString, command);
    QFETCH(QString, table);
    TestDatabase::exec(QStringLiteral("ALTER TABLE %1 RENAME TO Altrove").arg(table));
    const QStringList before = w_->state();
    w_->trigger(command.toLatin1().constData());
    // Never passed off as an empty list, never silent.
    QCOMPARE(w_->previewed.size(), 0);
    QCOMPARE(w_->boxes.shown().size(), 1);
    const auto& box = w_->boxes.last();
    QVERIFY2(box.text.startsWith(QStringLiteral("La stampa non può essere preparata.")),
             qPrintable(box.text));
    QVERIFY2(box.text.contains(table, Qt::CaseInsensitive), qPrintable(box.text));
    QCOMPARE(box.title, kFailureTitle);
    QCOMPARE(box.icon, BoxIcon::Information);
    QCOMPARE(w_->state(), before);
    QVERIFY(noOpenRead());
}

void TestReportCommands::failedPreviewIsReported() {
    w_->previewResult = Status::failure(QStringLiteral("stampante non raggiungibile"));
    w_->trigger("FattureP");
    QCOMPARE(w_->previewed.size(), 1);
    QCOMPARE(w_->boxes.shown().size(), 1);
    QCOMPARE(w_->boxes.last().text,
             QStringLiteral("L'anteprima della stampa non può essere mostrata.\n"
                            "Motivo: stampante non raggiungibile"));
    QCOMPARE(w_->boxes.last().title, kFailureTitle);
    QVERIFY(noOpenRead());
    // The next run starts afresh.
    w_->previewResult = Status::success();
    w_->boxes.clear();
    w_->trigger("FattureP");
    QCOMPARE(w_->previewed.size(), 2);
    QCOMPARE(w_->boxes.texts(), QStringList());
}

QTEST_MAIN(TestReportCommands)
#include "tst_report_commands.moc"
