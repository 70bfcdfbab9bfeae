#include "importing/einvoice_import_command.h"
#include "importing/einvoice_import_dialog.h"
#include "ledger/ledger_window.h"
#include "support/einvoice_samples.h"
#include "support/table_keys.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

using Column = ImportPreviewDialog::Column;

// Types `text` into the preview's cell as the operator does: the first key opens the
// editor, which takes the others; Return hands the text over.
void typeInto(QTableWidget* preview, int row, int column, const QString& text) {
    preview->setFocus();
    preview->setCurrentCell(row, column);
    for (const QChar c : text)
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

samples::Invoice invoiceOf(const QString& lastName, const QString& taxCode, const QString& number) {
    samples::Invoice invoice;
    invoice.supplier.lastName = lastName;
    invoice.supplier.taxCode = taxCode;
    invoice.supplier.vatNumber.clear();
    invoice.bodies.front().number = number;
    return invoice;
}

} // namespace

class EinvoiceImportDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void importsDownloadByKeyboard();
};

void EinvoiceImportDialogTest::importsDownloadByKeyboard() {
    LedgerWindow w(QStringLiteral("2026"), LedgerWindow::Boxes::Modal);
    TestDatabase::exec(QStringLiteral("UPDATE Soggetti SET partita = '09876543217' WHERE ID = ?"),
                       {w.userId});
    samples::Invoice plain = invoiceOf(QStringLiteral("Bianchi"),
                                       QStringLiteral("BNCMRA70A01H501X"), QStringLiteral("1"));
    samples::Invoice reasonM =
        invoiceOf(QStringLiteral("Verdi"), QStringLiteral("VRDMRA70A01H501Y"), QStringLiteral("2"));
    reasonM.bodies.front().withholdings.front().reason = QStringLiteral("M");
    // A commission: 20% withheld on half the fee.
    samples::Invoice reduced =
        invoiceOf(QStringLiteral("Neri"), QStringLiteral("NREMRA70A01H501Z"), QStringLiteral("3"));
    reduced.bodies.front().withholdings.front().amount = QStringLiteral("100.00");
    samples::Invoice credit = plain;
    credit.bodies.front().type = QStringLiteral("TD04");
    credit.bodies.front().referredNumber = QStringLiteral("1");
    QTemporaryDir dir;
    const QString zip = dir.filePath(QStringLiteral("scarico.zip"));
    {
        QFile file(zip);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            samples::zipOf({{QStringLiteral("a/IT1_00001.xml.p7m"),
                             samples::signedEnvelope(samples::invoiceXml(plain))},
                            {QStringLiteral("a/IT1_00001_MT_001.xml"), samples::metadataXml({})},
                            {QStringLiteral("b/IT2_00001.xml"), samples::invoiceXml(reasonM)},
                            {QStringLiteral("b/IT3_00001.xml"), samples::invoiceXml(reduced)},
                            {QStringLiteral("b/IT1_00002.xml"), samples::invoiceXml(credit)}}));
    }
    w.window->findChild<EinvoiceImportCommand*>()->setPathChooser(
        [&zip](QWidget*) { return QStringList(zip); });

    bool checked = false;
    QTimer::singleShot(0, [&] {
        QPointer<EinvoiceImportDialog> dialog =
            qobject_cast<EinvoiceImportDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QTRY_VERIFY(dialog->isActiveWindow());
        auto* preview = dialog->findChild<QTableWidget*>(QStringLiteral("Anteprima"));
        QCOMPARE(columnTexts(preview, Column::ColumnPlace),
                 (QStringList{"scarico.zip/a/IT1_00001.xml.p7m", "scarico.zip/b/IT2_00001.xml",
                              "scarico.zip/b/IT3_00001.xml"}));
        QCOMPARE(columnTexts(preview, Column::ColumnVerdict),
                 (QStringList{"Bloccata", "Bloccata", "Bloccata"}));
        QVERIFY(columnTexts(preview, Column::ColumnMessages)
                    .at(1)
                    .startsWith(QStringLiteral("Causale M")));
        QVERIFY(columnTexts(preview, Column::ColumnMessages)
                    .at(2)
                    .startsWith(QStringLiteral("Errore: calcolo importo Ritenuta")));
        QCOMPARE(
            columnTexts(dialog->findChild<QTableWidget*>(QStringLiteral("Tralasciati")), 0),
            (QStringList{"scarico.zip/a/IT1_00001_MT_001.xml", "scarico.zip/b/IT1_00002.xml"}));
        // The operator allows new payees, chooses the code of reason M and corrects the
        // commission's base.
        tabTo(QStringLiteral("CreaSoggetti"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        typeInto(preview, 1, Column::ColumnTaxCode, QStringLiteral("1040"));
        QTRY_COMPARE(columnTexts(preview, Column::ColumnVerdict).at(1),
                     QStringLiteral("Con avvisi"));
        typeInto(preview, 2, Column::ColumnTaxable, QStringLiteral("500"));
        QTRY_COMPARE(columnTexts(preview, Column::ColumnVerdict),
                     (QStringList{"Con avvisi", "Con avvisi", "Con avvisi"}));
        QCOMPARE(columnTexts(preview, Column::ColumnTaxable).at(2), QStringLiteral("500,00"));
        QVERIFY(columnTexts(preview, Column::ColumnMessages)
                    .at(0)
                    .startsWith(QStringLiteral("Firma del file .p7m non verificata di nuovo")));
        checked = true;
        // The README's picture, when asked for: VELARCO_PICTURE=FILE under a real display.
        if (const QString picture = qEnvironmentVariable("VELARCO_PICTURE"); !picture.isEmpty())
            QVERIFY(dialog->grab().save(picture));
        tabTo(QStringLiteral("Importa"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    });
    w.trigger("ImportaFatture");
    QVERIFY(checked);
    QCOMPARE(w.modalBoxes.texts(),
             QStringList(QStringLiteral("Importate 3 registrazioni.\nSoggetti inseriti in "
                                        "anagrafica: 3.")));
    QCOMPARE(w.modalBoxes.activationsMissed(), 0);
    Result<QSqlQuery> rows = store::run(
        QStringLiteral(
            "SELECT r.denominazione, r.FT, r.imponibile, r.ritenuta, r.altro, r.totale, "
            "r.tributo, r.pag, s.codice FROM Ritenute r JOIN Soggetti s ON s.ID = r.ID_A "
            "WHERE r.utente = ? AND r.anno = '2026' ORDER BY r.FT"),
        {QString::number(w.userId)});
    QStringList written;
    while (rows.value.next()) {
        QStringList fields;
        for (int i = 0; i < 9; ++i)
            fields.append(rows.value.value(i).toString());
        written.append(fields.join(u'|'));
    }
    QCOMPARE(written, (QStringList{"BIANCHI MARIO|1|100000|20000|0|120000|1040|N|BNCMRA70A01H501X",
                                   "VERDI MARIO|2|100000|20000|0|120000|1040|N|VRDMRA70A01H501Y",
                                   "NERI MARIO|3|50000|10000|0|60000|1040|N|NREMRA70A01H501Z"}));
    // The new payees are offered in the entry panel's list at once.
    QVERIFY(w.child<QComboBox>("Cbo3")->findText(QStringLiteral("NERI MARIO")) >= 0);
}

QTEST_MAIN(EinvoiceImportDialogTest)
#include "tst_einvoice_import_dialog.moc"
