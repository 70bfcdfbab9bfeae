#include "importing/sheet_import_command.h"
#include "importing/sheet_import_dialog.h"
#include "ledger/ledger_window.h"
#include "support/table_keys.h"

#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// A sheet kept by hand: captions of its own, two of which the program cannot match.
const QByteArray kSheet = "Registro 2021\n"
                          "\n"
                          "Fornitore;Num;Data;Importo;%;Ritenuta;Tributo\n"
                          "ALFA SRL;1;15/03/2021;1.000,00;20;200,00;1040\n"
                          "GAMMA SNC;7;20/12/2020;500,00;20;100,00;1040\n"
                          "BETA SAS;8;21/03/2021;500,00;20;99,00;1040\n"
                          "ALFA SRL;5;10/02/2021;300,00;20;60,00;1040\n";

const QString kOtherYear = QStringLiteral(
    "Attenzione Anno fattura diverso da quello dell' anno  inserimento della registrazione !");

QString writeSheet(const QTemporaryDir& dir, const QByteArray& text = kSheet) {
    const QString path = dir.filePath(QStringLiteral("registro.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("sheet not written");
    return path;
}

// Runs `operate` on the import dialog once it is the active modal window.
void whenDialogActive(std::function<void(SheetImportDialog*)> operate) {
    QTimer::singleShot(0, [operate = std::move(operate)] {
        QPointer<SheetImportDialog> dialog =
            qobject_cast<SheetImportDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            qWarning("no import dialog");
            return;
        }
        // The platform reports the window active a little before the application does.
        QTRY_VERIFY(dialog->isActiveWindow());
        operate(dialog);
        // A failed check must not leave the test waiting on the dialog.
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
}

} // namespace

class SheetImportDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void importByKeyboard();
    void closingWritesNothing();
};

void SheetImportDialogTest::importByKeyboard() {
    QTemporaryDir dir;
    const QString path = writeSheet(dir);
    LedgerWindow w(QStringLiteral("2021"), LedgerWindow::Boxes::Modal);
    TestDatabase::addSubject(QStringLiteral("ALFA SRL"));
    TestDatabase::addSubject(QStringLiteral("BETA SAS"));
    w.addRecord({{"denominazione", "ALFA SRL"}, {"FT", "5"}, {"data", "2021-02-10"}});
    auto* command = w.window->findChild<SheetImportCommand*>();
    QVERIFY(command);
    command->setPathChooser([&path](QWidget*) { return path; });

    QStringList verdicts;
    QStringList messages;
    bool checked = false;
    whenDialogActive([&](SheetImportDialog* dialog) {
        auto* preview = dialog->findChild<QTableWidget*>(QStringLiteral("Anteprima"));
        // "Fornitore", "Data", "%", "Ritenuta", "Tributo" are matched; without a taxable
        // amount every row stops.
        QCOMPARE(columnTexts(preview, 1), QStringList(4, QStringLiteral("Bloccata")));
        // The focus starts on the first column's field: Tab to "Num", choose "N. fattura"
        // by typing, Tab twice to "Importo", choose "Imponibile".
        QWidget* first = QApplication::focusWidget();
        QCOMPARE(first->objectName(), QStringLiteral("Campo0"));
        QTest::keyClick(first, Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("N."));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Campo3"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Imp"));
        // GAMMA SNC is not registered: it stops until new subjects are allowed (Alt+N).
        QCOMPARE(columnTexts(preview, 1),
                 (QStringList{"Da importare", "Bloccata", "Bloccata", "Duplicata"}));
        // What stops the row comes first, its warning after.
        QCOMPARE(columnTexts(preview, ImportPreviewDialog::ColumnMessages).at(1),
                 QStringLiteral("«GAMMA SNC» non è in anagrafica: scegliere di inserire i "
                                "soggetti nuovi per importarla; ") +
                     kOtherYear);
        const QColor stoppedColour = preview->item(1, 0)->background().color();
        // Tab on to the choice of new subjects and tick it with the space bar.
        tabTo(QStringLiteral("CreaSoggetti"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(dialog->findChild<QCheckBox*>(QStringLiteral("CreaSoggetti"))->isChecked());
        // The sheet has no codice fiscale: the preview asks for GAMMA SNC's, typed on.
        QCOMPARE(columnTexts(preview, 1).at(1), QStringLiteral("Bloccata"));
        tabTo(QStringLiteral("SoggettiNuovi"));
        QCOMPARE(columnTexts(dialog->findChild<QTableWidget*>(QStringLiteral("SoggettiNuovi")), 0),
                 QStringList{"GAMMA SNC"});
        // The first key opens the cell's editor, which takes the next ones.
        for (const QChar c : QStringLiteral("gmmsnc80a01h501z")) {
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        // The cell's editor hands its text over once back in the event loop.
        QTRY_COMPARE(columnTexts(preview, 1).at(1), QStringLiteral("Con avvisi"));
        verdicts = columnTexts(preview, 1);
        messages = columnTexts(preview, ImportPreviewDialog::ColumnMessages);
        QVERIFY(preview->item(1, 0)->background().color() != stoppedColour);
        QCOMPARE(columnTexts(preview, 3), (QStringList{"1", "7", "8", "5"}));
        QCOMPARE(columnTexts(preview, 5), (QStringList{"1.000,00", "500,00", "500,00", "300,00"}));
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("Riepilogo"))->text(),
                 QStringLiteral("Righe lette: 4 — da importare 2 (con avvisi 1), bloccate 1, "
                                "duplicate 1. Soggetti nuovi da inserire: 1."));
        checked = true;
        // "Importa" by the keyboard; the summary box answers and the dialog closes.
        tabTo(QStringLiteral("Importa"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    });
    w.trigger("ImportaRegistrazioni");
    QVERIFY(checked);
    QCOMPARE(verdicts, (QStringList{"Da importare", "Con avvisi", "Bloccata", "Duplicata"}));
    QCOMPARE(messages.at(1),
             kOtherYear + QStringLiteral("; Soggetto nuovo: sarà inserito in anagrafica"));
    QCOMPARE(messages.at(2), QStringLiteral("Errore: calcolo importo Ritenuta sbagliato  !"));
    QCOMPARE(messages.at(3), QStringLiteral("Già presente nel registro: stesso soggetto, numero e "
                                            "data della fattura"));
    QCOMPARE(
        w.modalBoxes.texts(),
        (QStringList{QStringLiteral("Importate 2 registrazioni.\nSoggetti inseriti in "
                                    "anagrafica: 1.\nNon importate: 1 bloccate, 1 duplicate.")}));
    QCOMPARE(w.modalBoxes.activationsMissed(), 0);
    Result<QSqlQuery> rows = store::run(
        QStringLiteral("SELECT r.denominazione, r.FT, r.imponibile, r.ritenuta, r.totale, "
                       "s.denominazione FROM Ritenute r LEFT JOIN Soggetti s ON s.ID = r.ID_A "
                       "WHERE r.utente = ? AND r.anno = '2021' ORDER BY r.ID"),
        {QString::number(w.userId)});
    QStringList written;
    while (rows.value.next()) {
        QStringList fields;
        for (int i = 0; i < 6; ++i)
            fields.append(rows.value.value(i).toString());
        written.append(fields.join(u'|'));
    }
    QCOMPARE(written, (QStringList{"ALFA SRL|5|0|0|0|", "ALFA SRL|1|100000|20000|120000|ALFA SRL",
                                   "GAMMA SNC|7|50000|10000|60000|GAMMA SNC"}));
    Result<QSqlQuery> codes =
        store::run(QStringLiteral("SELECT codice FROM Soggetti WHERE denominazione = 'GAMMA SNC'"));
    QVERIFY(codes.ok() && codes.value.next());
    QCOMPARE(codes.value.value(0).toString(), QStringLiteral("GMMSNC80A01H501Z"));
    // The new payee is offered in the entry panel's list at once.
    QVERIFY(w.child<QComboBox>("Cbo3")->findText(QStringLiteral("GAMMA SNC")) >= 0);
}

void SheetImportDialogTest::closingWritesNothing() {
    QTemporaryDir dir;
    QByteArray matched = kSheet;
    matched.replace("Num;Data;Importo", "N. fattura;Data;Imponibile");
    const QString path = writeSheet(dir, matched);
    LedgerWindow w(QStringLiteral("2021"), LedgerWindow::Boxes::Modal);
    TestDatabase::addSubject(QStringLiteral("ALFA SRL"));
    w.window->findChild<SheetImportCommand*>()->setPathChooser([&path](QWidget*) { return path; });
    bool shown = false;
    whenDialogActive([&](SheetImportDialog* dialog) {
        shown = true;
        dialog->findChild<QCheckBox*>(QStringLiteral("CreaSoggetti"))->setChecked(true);
        // GAMMA SNC waits for its codice fiscale.
        QCOMPARE(dialog->plan().importable(), 2);
        QTRY_VERIFY(dialog->isActiveWindow());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    w.trigger("ImportaRegistrazioni");
    QVERIFY(shown);
    QCOMPARE(LedgerWindow::recordCount(), 0);
    QVERIFY(w.modalBoxes.texts().isEmpty());
}

QTEST_MAIN(SheetImportDialogTest)
#include "tst_sheet_import_dialog.moc"
