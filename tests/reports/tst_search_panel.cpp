#include "reports/report_window.h"
#include "widgets/date_box.h"

#include <QLabel>
#include <QLineEdit>

namespace {

const QString kNoData = QStringLiteral(" Attenzione non ci sono dati  ! ");
const QString kNoDataTitle = QStringLiteral(" Velarco- ERRORE ");
const QString kNoDate = QStringLiteral(" Attenzione , deve essere inserita una Data  ! ");
const QString kNoDateTitle = QStringLiteral(" Velarco- ERRORE BLOCCANTE");
const char* const kWorkMenus[] = {"Funzioni", "Esci", "Anagrafica", "Ritenute", "Servizi"};

} // namespace

class TestSearchPanel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void modes_data();
    void modes();
    void searches_data();
    void searches();
    void invalidDate();
    void closeMark();
    void failedSearchIsReported();

private:
    void typeInto(QWidget* field, const QString& text);

    std::unique_ptr<ReportWindow> w_;
};

void TestSearchPanel::init() {
    w_ = std::make_unique<ReportWindow>();
}

void TestSearchPanel::cleanup() {
    w_.reset();
}

void TestSearchPanel::typeInto(QWidget* field, const QString& text) {
    QLineEdit* edit = nullptr;
    if (auto* box = qobject_cast<DateBox*>(field))
        edit = box->editor();
    else if (auto* combo = qobject_cast<QComboBox*>(field))
        edit = combo->lineEdit();
    QVERIFY(edit);
    edit->clear();
    QTest::keyClicks(edit, text);
}

void TestSearchPanel::modes_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QStringList>("items");
    const QStringList periods = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"};
    QTest::newRow("RitenuteS") << "RitenuteS"
                               << "Ritenute in Scadenza"
                               << "DataBox5"
                               << "Per data " << QStringList();
    QTest::newRow("RicercaP") << "RicercaP"
                              << "Ritenute per Periodo"
                              << "Cbo6"
                              << "Periodo" << periods;
    QTest::newRow("RicercaS") << "RicercaS"
                              << "Situazione per Soggetto"
                              << "Cbo7"
                              << "Per Soggetto"
                              << QStringList{"BIANCHI ANNA", "DELL'ORTO LUCA", "ROSSI MARIO"};
}

void TestSearchPanel::modes() {
    QFETCH(QString, command);
    QFETCH(QString, caption);
    QFETCH(QString, input);
    QFETCH(QString, label);
    QFETCH(QStringList, items);
    // Another mode first, with text left in every input: the new mode starts clean.
    w_->trigger("RicercaS");
    w_->child<DateBox>("DataBox5")->setText(QStringLiteral("01/05/2024"));
    w_->child<QComboBox>("Cbo6")->setEditText(QStringLiteral("9"));
    w_->child<QComboBox>("Cbo7")->setEditText(QStringLiteral("ZETA SRL"));
    const QStringList menusBefore = w_->state().mid(0, 7);
    w_->trigger(command.toLatin1().constData());

    SearchPanel* panel = w_->searchPanel();
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->title(), caption);
    for (const char* name : {"DataBox5", "Cbo6", "Cbo7"})
        QCOMPARE(w_->child(name)->isVisible(), input == QLatin1String(name));
    QStringList captions;
    for (QLabel* l : panel->findChildren<QLabel*>()) {
        if (l->isVisible() && l->objectName() != QLatin1String("Label45"))
            captions << l->text();
    }
    QCOMPARE(captions, QStringList{label});
    QCOMPARE(w_->child<QPushButton>("Cmd4")->text(), QStringLiteral("Ricerca"));
    QCOMPARE(w_->child<QPushButton>("Cmd4")->isVisible(), true);
    if (input == QLatin1String("DataBox5")) {
        QCOMPARE(w_->child<DateBox>("DataBox5")->text(), QString());
    } else {
        auto* combo = w_->child<QComboBox>(input.toLatin1().constData());
        QStringList listed;
        for (int i = 0; i < combo->count(); ++i)
            listed << combo->itemText(i);
        QCOMPARE(listed, items);
        QCOMPARE(combo->currentText(), QString());
    }
    QCOMPARE(w_->state().mid(0, 7), menusBefore);
    QCOMPARE(w_->boxes.texts(), QStringList());
}

void TestSearchPanel::searches_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("rows"); // -1: no preview
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("messageTitle");
    QTest::addColumn<QString>("inputAfter");

    const QString due = QStringLiteral("Elenco Ritenute in Scadenza ");
    // Due months of the user's 2024 records: 3, 6, 12 and 1 (January of 2025).
    QTest::newRow("due from January") << "RitenuteS"
                                      << "15/01/2024" << 4 << due << ""
                                      << ""
                                      << "15/01/2024";
    QTest::newRow("due from March, any day") << "RitenuteS"
                                             << "31/03/2024" << 3 << due << ""
                                             << ""
                                             << "31/03/2024";
    QTest::newRow("year of the date ignored") << "RitenuteS"
                                              << "02/03/2030" << 3 << due << ""
                                              << ""
                                              << "02/03/2030";
    QTest::newRow("due from May") << "RitenuteS"
                                  << "01/05/2024" << 2 << due << ""
                                  << ""
                                  << "01/05/2024";
    QTest::newRow("due in December") << "RitenuteS"
                                     << "01/12/2024" << 1 << due << ""
                                     << ""
                                     << "01/12/2024";
    QTest::newRow("no date") << "RitenuteS"
                             << "" << -1 << "" << kNoDate << kNoDateTitle << "";

    const QString plain = QStringLiteral("Elenco Ritenute ");
    QTest::newRow("period 5") << "RicercaP"
                              << "5" << 1 << plain << ""
                              << ""
                              << "5";
    QTest::newRow("period 11") << "RicercaP"
                               << "11" << 1 << plain << ""
                               << ""
                               << "11";
    QTest::newRow("period without records") << "RicercaP"
                                            << "7" << -1 << "" << kNoData << kNoDataTitle << "7";
    QTest::newRow("no period") << "RicercaP"
                               << "" << -1 << "" << kNoData << kNoDataTitle << "";

    const QString bySubject = QStringLiteral("Elenco Ritenute per Soggetti ");
    QTest::newRow("apostrophe") << "RicercaS"
                                << "DELL'ORTO LUCA" << 1 << bySubject << ""
                                << ""
                                << "";
    QTest::newRow("letter case") << "RicercaS"
                                 << "dell'orto luca" << 1 << bySubject << ""
                                 << ""
                                 << "";
    QTest::newRow("only this user and year") << "RicercaS"
                                             << "ALFA SNC" << 1 << bySubject << ""
                                             << ""
                                             << "";
    QTest::newRow("percent wildcard") << "RicercaS"
                                      << "%SRL" << 1 << bySubject << ""
                                      << ""
                                      << "";
    QTest::newRow("underscore wildcard") << "RicercaS"
                                         << "_ETA%" << 2 << bySubject << ""
                                         << ""
                                         << "";
    QTest::newRow("quote that ends the text")
        << "RicercaS"
        << "' OR '1'='1" << -1 << "" << kNoData << kNoDataTitle << "' OR '1'='1";
    QTest::newRow("no match") << "RicercaS"
                              << "ZZZ" << -1 << "" << kNoData << kNoDataTitle << "ZZZ";
    QTest::newRow("no subject") << "RicercaS"
                                << "" << -1 << "" << kNoData << kNoDataTitle << "";
}

void TestSearchPanel::searches() {
    QFETCH(QString, command);
    QFETCH(QString, input);
    QFETCH(int, rows);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFETCH(QString, messageTitle);
    QFETCH(QString, inputAfter);
    w_->trigger(command.toLatin1().constData());
    const char* field = command == QLatin1String("RitenuteS")  ? "DataBox5"
                        : command == QLatin1String("RicercaP") ? "Cbo6"
                                                               : "Cbo7";
    QWidget* inputWidget = w_->child(field);
    if (command == QLatin1String("RicercaP")) {
        auto* combo = w_->child<QComboBox>("Cbo6");
        combo->setCurrentIndex(combo->findText(input));
        QCOMPARE(combo->currentText(), input);
    } else {
        typeInto(inputWidget, input);
    }
    const QStringList before = w_->state();
    QTest::mouseClick(w_->child<QPushButton>("Cmd4"), Qt::LeftButton);

    if (rows < 0) {
        QCOMPARE(w_->previewed.size(), 0);
        QCOMPARE(w_->boxes.texts(), QStringList{message});
        QCOMPARE(w_->boxes.last().title, messageTitle);
        QCOMPARE(w_->boxes.last().icon, BoxIcon::Information);
        QCOMPARE(w_->boxes.last().buttons, BoxButtons::Ok);
    } else {
        QCOMPARE(w_->boxes.texts(), QStringList());
        QCOMPARE(w_->previewed.size(), 1);
        const Previewed& p = w_->previewed.first();
        QCOMPARE(p.layout, QStringLiteral("ElencoRitenute"));
        QCOMPARE(p.title, title);
        QCOMPARE(p.user, QStringLiteral("ROSSI MARIO"));
        QCOMPARE(p.year, QStringLiteral("2024"));
        QCOMPARE(p.rows, rows);
        QVERIFY(p.balanceShown);
        QVERIFY2(p.noOpenRead, "a query was still open during the preview");
    }
    // The panel stays open in its mode; only a subject that was found is emptied.
    QCOMPARE(w_->state(), before);
    QVERIFY(inputWidget->isVisible());
    const QString after = command == QLatin1String("RitenuteS")
                              ? w_->child<DateBox>("DataBox5")->text()
                              : w_->child<QComboBox>(field)->currentText();
    QCOMPARE(after, inputAfter);
    QVERIFY(noOpenRead());
}

void TestSearchPanel::invalidDate() {
    w_->trigger("RitenuteS");
    auto* box = w_->child<DateBox>("DataBox5");
    typeInto(box, QStringLiteral("31/02/2024"));
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box->editor(), &out);
    QCOMPARE(w_->boxes.texts(), QStringList{QStringLiteral("Data non valida")});
    QCOMPARE(w_->boxes.last().title, QStringLiteral("Velarco"));
    QCOMPARE(w_->boxes.last().icon, BoxIcon::None);
    QCOMPARE(w_->boxes.last().buttons, BoxButtons::Ok);
    QCOMPARE(box->text(), QString());
    // Text that is no date never reaches a search as one.
    w_->boxes.clear();
    box->setText(QStringLiteral("99/99/2024"));
    w_->searchPanel()->search();
    QCOMPARE(w_->boxes.texts(), QStringList{kNoDate});
    QCOMPARE(w_->previewed.size(), 0);
}

void TestSearchPanel::closeMark() {
    w_->trigger("RicercaS");
    for (const char* menu : kWorkMenus)
        w_->window->action(menu)->setEnabled(false);
    QTest::mouseClick(w_->child<QLabel>("Label45"), Qt::LeftButton);
    QVERIFY(!w_->searchPanel()->isVisible());
    for (const char* menu : kWorkMenus)
        QVERIFY2(w_->window->action(menu)->isEnabled(), menu);
}

void TestSearchPanel::failedSearchIsReported() {
    w_->trigger("RicercaP");
    auto* combo = w_->child<QComboBox>("Cbo6");
    combo->setCurrentIndex(combo->findText(QStringLiteral("5")));
    TestDatabase::exec(QStringLiteral("ALTER TABLE Ritenute RENAME TO Altrove"));
    QTest::mouseClick(w_->child<QPushButton>("Cmd4"), Qt::LeftButton);
    QCOMPARE(w_->previewed.size(), 0);
    QCOMPARE(w_->boxes.shown().size(), 1);
    QVERIFY2(w_->boxes.last().text.contains(QStringLiteral("Ritenute")),
             qPrintable(w_->boxes.last().text));
    QCOMPARE(w_->boxes.last().title, QStringLiteral("ERRORE -- BLOCCANTE  "));
    QCOMPARE(combo->currentText(), QStringLiteral("5"));
    QVERIFY(w_->searchPanel()->isVisible());
}

QTEST_MAIN(TestSearchPanel)
#include "tst_search_panel.moc"
