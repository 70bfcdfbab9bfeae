#include "ledger/ledger_window.h"
#include "platform/data_grid.h"
#include "platform/row_history_dialog.h"
#include "support/change_records.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

// "Storia…" on a row of the ledger grid and of the subject grid: the row's changes, one
// line per changed field, in the grid's formats.
class RowHistoryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void history_data();
    void history();
};

namespace {

// The lines of the history dialog once it shows, and its heading; then it is closed.
struct Shown {
    QString heading;
    QList<QStringList> lines;
};

Shown showHistory(DataGrid& grid) {
    Shown shown;
    QTimer::singleShot(0, [&shown] {
        auto* dialog = qobject_cast<RowHistoryDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shown.heading = dialog->findChild<QLabel*>(QStringLiteral("StoriaRiga"))->text();
        const QAbstractItemModel* model = dialog->grid().model();
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList line;
            for (int column = 0; column < model->columnCount(); ++column)
                line.append(model->index(row, column).data().toString());
            shown.lines.append(line);
        }
        dialog->reject();
    });
    QAction* storia = grid.findChild<QAction*>(QStringLiteral("Storia"));
    if (!storia || !storia->isVisible() || !grid.actions().contains(storia))
        return shown;
    storia->trigger();
    return shown;
}

} // namespace

void RowHistoryTest::history_data() {
    QTest::addColumn<QString>("command"); // the menu item that shows the grid
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QList<QStringList>>("lines");

    QTest::newRow("a record of the ledger grid")
        << "Rmodifica"
        << "Ritenute"
        << "Registrazione %1 - BIANCHI SRL"
        << QList<QStringList>{
               {"10/02/2011 09:00:00", "rossi", "PC-UFFICIO", "inserimento", "FT", "", "12/A"},
               {"", "", "", "", "data", "", "10/02/2011"},
               {"", "", "", "", "imponibile", "", "1.000,00"},
               {"11/02/2011 10:30:00", "bianchi", "PC-UFFICIO", "correzione", "imponibile",
                "1.000,00", "2.000,00"},
               {"", "", "", "", "scadenza", "", "16/03/2011"}};
    QTest::newRow("a subject of the subject grid")
        << "Modifica"
        << "Soggetti"
        << "Soggetto %1 - BIANCHI SRL"
        << QList<QStringList>{{"10/02/2011 09:00:00", "rossi", "PC-UFFICIO", "inserimento",
                               "denominazione", "", "BIANCHI SRL"},
                              {"11/02/2011 10:30:00", "bianchi", "PC-UFFICIO", "correzione",
                               "datanascita", "", "02/05/1970"}};
}

void RowHistoryTest::history() {
    QFETCH(QString, command);
    QFETCH(QString, table);
    QFETCH(QString, heading);
    QFETCH(QList<QStringList>, lines);
    LedgerWindow w;
    QVERIFY(w.db.ok());
    const qint64 bianchi = TestDatabase::addSubject(QStringLiteral("BIANCHI SRL"));
    const qint64 record = w.addRecord({{"ID_A", bianchi},
                                       {"denominazione", "BIANCHI SRL"},
                                       {"FT", "12/A"},
                                       {"data", "2011-02-10"},
                                       {"imponibile", 200000}});
    const qint64 key = table == QLatin1String("Ritenute") ? record : bianchi;
    const QString inserted =
        table == QLatin1String("Ritenute")
            ? R"({"id":%1,"ft":"12/A","data":"2011-02-10","imponibile":100000,"versione":1})"
            : R"({"id":%1,"denominazione":"BIANCHI SRL","ordine":"b","versione":1})";
    const QString corrected =
        table == QLatin1String("Ritenute")
            ? R"({"id":%1,"ft":"12/A","data":"2011-02-10","imponibile":200000,"scadenza":"2011-03-16","versione":2})"
            : R"({"id":%1,"denominazione":"BIANCHI SRL","datanascita":"1970-05-02","ordine":"b","versione":2})";
    change_records::add({"2011-02-10T08:00:00.000Z",
                         "2011-02-10 09:00:00",
                         "rossi",
                         "inserimento",
                         table,
                         key,
                         {},
                         {},
                         inserted.arg(key)});
    change_records::add({"2011-02-11T09:30:00.000Z",
                         "2011-02-11 10:30:00",
                         "bianchi",
                         "correzione",
                         table,
                         key,
                         {},
                         inserted.arg(key),
                         corrected.arg(key)});

    w.trigger(command.toLatin1().constData());
    DataGrid& grid = w.window->selectionGrid();
    QVERIFY(grid.rowCount() > 0);
    // The operator clicks the row, then opens the context menu's "Storia…".
    for (int row = 0; row < grid.rowCount(); ++row) {
        if (grid.model()->index(row, 0).data().toLongLong() == key)
            grid.setCurrentIndex(grid.model()->index(row, 2));
    }
    const Shown shown = showHistory(grid);
    QCOMPARE(shown.heading, heading.arg(key));
    QCOMPARE(shown.lines, lines);
    QVERIFY(w.boxes.shown().isEmpty());

    // Another grid in the same place drops the history with the rows.
    grid.unbind();
    QVERIFY(!grid.findChild<QAction*>(QStringLiteral("Storia"))->isVisible());
}

QTEST_MAIN(RowHistoryTest)
#include "tst_row_history.moc"
