#include "ledger/ledger_window.h"
#include "widgets/data_grid.h"
#include "widgets/row_history_dialog.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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
    QTest::addColumn<bool>("record");     // the row is the record, else its subject
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QStringList>("actions");           // of the changes listed, in order
    QTest::addColumn<QList<QStringList>>("fieldLines"); // among them: field, before, after

    QTest::newRow("a record inserted, then corrected in the panel")
        << "Rmodifica" << true << "Registrazione %1 - BIANCHI SRL"
        << QStringList{"inserimento", "correzione"}
        << QList<QStringList>{{"data", "", "10/02/2011"},
                              {"imponibile", "", "1.000,00"},
                              {"aliquota", "", "20"},
                              {"FT", "12/A", "12/B"}};
    QTest::newRow("a subject inserted")
        << "Modifica" << false << "Soggetto %1 - BIANCHI SRL" << QStringList{"inserimento"}
        << QList<QStringList>{{"denominazione", "", "BIANCHI SRL"}, {"utente", "", "N"}};
}

void RowHistoryTest::history() {
    QFETCH(QString, command);
    QFETCH(bool, record);
    QFETCH(QString, heading);
    QFETCH(QStringList, actions);
    QFETCH(QList<QStringList>, fieldLines);
    LedgerWindow w;
    QVERIFY(w.db.ok());
    const qint64 bianchi = TestDatabase::addSubject(QStringLiteral("BIANCHI SRL"));
    const qint64 id = w.addRecord({{"ID_A", bianchi},
                                   {"denominazione", "BIANCHI SRL"},
                                   {"FT", "12/A"},
                                   {"data", "2011-02-10"},
                                   {"imponibile", 100000},
                                   {"aliquota", 2000},
                                   {"ritenuta", 20000},
                                   {"totale", 80000},
                                   {"versato", 20000},
                                   {"tributo", "1040"}});
    DataGrid& grid = w.window->selectionGrid();
    const qint64 key = record ? id : bianchi;
    // The operator picks the row of `key` in the grid `command` shows.
    const auto pickRow = [&] {
        w.trigger(command.toLatin1().constData());
        for (int row = 0; row < grid.rowCount(); ++row) {
            if (grid.model()->index(row, 0).data().toLongLong() == key)
                grid.setCurrentIndex(grid.model()->index(row, 2));
        }
        return grid.currentIndex().isValid();
    };
    if (record) {
        QVERIFY(pickRow());
        Q_EMIT grid.rowPicked(grid.currentIndex().row());
        w.child<QLineEdit>("Text19")->setText(QStringLiteral("12/B"));
        w.boxes.answerYes();
        w.child<QPushButton>("Cmd3")->click();
        QVERIFY2(LedgerWindow::record(id).value("FT").toString() == QLatin1String("12/B"),
                 qPrintable(w.boxes.texts().join(QLatin1Char('\n'))));
        w.boxes.clear();
    }
    QVERIFY(pickRow());
    const Shown shown = showHistory(grid);
    QCOMPARE(shown.heading, heading.arg(key));
    QStringList listed;
    QList<QStringList> fields;
    for (const QStringList& line : shown.lines) {
        // A change's first line says when, who, from where and what.
        if (!line.at(3).isEmpty()) {
            listed.append(line.at(3));
            QVERIFY2(!line.at(0).isEmpty() && !line.at(1).isEmpty(), qPrintable(line.join('|')));
        }
        fields.append(line.mid(4));
    }
    QCOMPARE(listed, actions);
    for (const QStringList& line : fieldLines)
        QVERIFY2(fields.contains(line), qPrintable(line.join(QLatin1Char('|'))));
    // The row's key and version are no field of the list.
    for (const QStringList& line : fields)
        QVERIFY2(line.at(0) != QLatin1String("ID") && line.at(0) != QLatin1String("versione"),
                 qPrintable(line.join(QLatin1Char('|'))));
    QVERIFY(w.boxes.shown().isEmpty());

    // Another grid in the same place drops the history with the rows.
    grid.unbind();
    QVERIFY(!grid.findChild<QAction*>(QStringLiteral("Storia"))->isVisible());
}

QTEST_MAIN(RowHistoryTest)
#include "tst_row_history.moc"
