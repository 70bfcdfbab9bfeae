#include "app/change_register_dialog.h"
#include "app/nota.h"
#include "shell/scripted_message_boxes.h"
#include "support/change_records.h"
#include "support/test_database.h"
#include "widgets/data_grid.h"
#include "widgets/date_box.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// Archivio → "Registro delle modifiche…": a filter chosen as the operator does, the
// changes listed, and the list exported as CSV.
class ChangeRegisterDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void filterAndExport();
};

void ChangeRegisterDialogTest::filterAndExport() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const qint64 rossi = TestDatabase::addSubject(QStringLiteral("ROSSI MARIO"), true);
    const QString user = QString::number(rossi);
    change_records::add({"2026-03-01T09:00:00.000Z",
                         "2026-03-01 10:00:00",
                         "rossi",
                         "inserimento",
                         "Ritenute",
                         1,
                         user,
                         {},
                         R"({"id":1,"ft":"12","imponibile":100000})"});
    change_records::add({"2026-03-02T10:00:00.000Z", "2026-03-02 11:00:00", "bianchi", "correzione",
                         "Ritenute", 1, user, R"({"id":1,"ft":"12","imponibile":100000})",
                         R"({"id":1,"ft":"12/A","imponibile":120000})"});
    change_records::add({"2026-03-03T10:00:00.000Z", "2026-03-03 11:00:00", "bianchi", "correzione",
                         "Ritenute", 2, "99", R"({"id":2,"ft":"1"})", R"({"id":2,"ft":"2"})"});
    change_records::add({"2026-04-02T10:00:00.000Z", "2026-04-02 12:00:00", "bianchi", "correzione",
                         "Ritenute", 1, user, R"({"id":1,"ft":"12/A"})",
                         R"({"id":1,"ft":"12/B"})"});
    ScriptedMessageBoxes boxes;
    Nota window(boxes);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTemporaryDir out;
    const QString file = out.filePath(QStringLiteral("registro.csv"));

    QList<QStringList> listed;
    bool exported = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ChangeRegisterDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        // March, the corrections of ROSSI MARIO's records by anyone.
        dialog->findChild<DateBox*>(QStringLiteral("dal"))->setText(QStringLiteral("01/03/2026"));
        dialog->findChild<DateBox*>(QStringLiteral("al"))->setText(QStringLiteral("31/03/2026"));
        auto* action = dialog->findChild<QComboBox*>(QStringLiteral("azione"));
        action->setCurrentIndex(action->findText(QStringLiteral("correzione")));
        auto* users = dialog->findChild<QComboBox*>(QStringLiteral("utente"));
        users->setEditText(QStringLiteral("rossi mario"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("mostra")),
                          Qt::LeftButton);
        DataGrid& grid = dialog->grid();
        for (int row = 0; row < grid.rowCount(); ++row) {
            QStringList line;
            for (int column = 0; column < grid.columnCount(); ++column)
                line.append(grid.model()->index(row, column).data().toString());
            listed.append(line);
        }
        grid.setExportPathChooser(
            [&file](QWidget*, table_export::FileFormat, const QString&) { return file; });
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("esportaCsv")),
                          Qt::LeftButton);
        exported = QFile::exists(file);
        dialog->reject();
    });
    window.action("RegistroModifiche")->trigger();

    QCOMPARE(listed, (QList<QStringList>{{"02/03/2026 11:00:00", "bianchi", "PC-UFFICIO",
                                          "correzione", "Ritenute", "1", user,
                                          "FT 12 → 12/A; imponibile 1.000,00 → 1.200,00"}}));
    QVERIFY(exported);
    QFile csv(file);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(csv.readAll());
    for (const char* part : {"Registro delle modifiche", "Azione;correzione", "Utente;rossi mario",
                             "Quando;Operatore;Computer;Azione;Tabella;Chiave;Utente;Modifiche",
                             "02/03/2026 11:00:00;bianchi;PC-UFFICIO;correzione;Ritenute;1;"})
        QVERIFY2(text.contains(QString::fromUtf8(part)), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("FT 12 → 12/A; imponibile 1.000,00 → 1.200,00")),
             qPrintable(text));
    QCOMPARE(text.count(QStringLiteral("correzione;Ritenute")), 1);
    QVERIFY(boxes.shown().isEmpty());
}

QTEST_MAIN(ChangeRegisterDialogTest)
#include "tst_change_register_dialog.moc"
