#include "shell/scripted_message_boxes.h"
#include "store/connection.h"
#include "support/spreadsheet_files.h"
#include "support/test_database.h"
#include "widgets/data_grid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

const KeyedQuery kQuery{"Soggetti", "ID", "ID, denominazione, cap", {}, "ID", {}};

QString cents(const QVariant& v) {
    const qint64 c = v.toLongLong();
    return QString::number(c / 100) + ',' + QString::number(c % 100).rightJustified(2, '0');
}

} // namespace

class DataGridTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void twipsToPixels_data();
    void twipsToPixels();
    void columnWidthFollowsScreen();
    void formats_data();
    void formats();
    void pickOncePerGesture_data();
    void pickOncePerGesture();
    void hiddenColumnsStayReadable();
    void rebindDropsColumnSettings();
    void failedBindLeavesGridEmpty();
    void bindModelReadsEditValues();
    void largeResultOpensAtOnce();
    void rowsFollowTheOrderNotTheKeys_data();
    void rowsFollowTheOrderNotTheKeys();
    void rowDeletedAfterBindingShowsEmpty();
    void failedReadIsReportedOnce();
    void exportsEveryRowInGridOrder_data();
    void exportsEveryRowInGridOrder();
    void failedExportIsShown();
    void exportNeedsANamedTable();

private:
    QPoint cellCentre(int row, int column) const {
        return grid_->visualRect(grid_->model()->index(row, column)).center();
    }

    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<DataGrid> grid_;
};

void DataGridTest::init() {
    db_ = std::make_unique<TestDatabase>();
    QVERIFY2(db_->ok(), qPrintable(db_->error()));
    TestDatabase::exec("INSERT INTO Soggetti (denominazione, cap) VALUES ('ALFA', '123456'), "
                       "('BETA', '5'), ('GAMMA', NULL)");
    grid_ = std::make_unique<DataGrid>();
    grid_->resize(600, 300);
    grid_->show();
    QVERIFY(QTest::qWaitForWindowExposed(grid_.get()));
}

void DataGridTest::cleanup() {
    grid_.reset();
    db_.reset();
}

void DataGridTest::twipsToPixels_data() {
    QTest::addColumn<int>("twips");
    QTest::addColumn<qreal>("dpi");
    QTest::addColumn<int>("pixels");
    QTest::newRow("one inch at 96") << 1440 << 96.0 << 96;
    QTest::newRow("name column at 96") << 4000 << 96.0 << 267;
    QTest::newRow("postal code at 96") << 1000 << 96.0 << 67;
    QTest::newRow("postal code at 120") << 1000 << 120.0 << 83;
    QTest::newRow("name column at 144") << 4000 << 144.0 << 400;
    QTest::newRow("zero") << 0 << 96.0 << 0;
}

void DataGridTest::twipsToPixels() {
    QFETCH(int, twips);
    QFETCH(qreal, dpi);
    QFETCH(int, pixels);
    QCOMPARE(DataGrid::twipsToPixels(twips, dpi), pixels);
}

void DataGridTest::columnWidthFollowsScreen() {
    QVERIFY(grid_->bind(kQuery).ok());
    grid_->setColumnWidthTwips(1, 4000);
    grid_->setColumnWidthTwips(2, 1000);
    QCOMPARE(grid_->columnWidth(1), DataGrid::twipsToPixels(4000, grid_->logicalDpiX()));
    QCOMPARE(grid_->columnWidth(2), DataGrid::twipsToPixels(1000, grid_->logicalDpiX()));
}

void DataGridTest::formats_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("formatted") << 0 << "1234,56" << QVariant("123456");
    QTest::newRow("short") << 1 << "0,05" << QVariant("5");
    QTest::newRow("NULL through the formatter") << 2 << "0,00" << QVariant();
}

void DataGridTest::formats() {
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    QVERIFY(grid_->bind(kQuery).ok());
    grid_->setColumnFormat(2, &cents, Qt::AlignRight);
    grid_->setCurrentIndex(grid_->model()->index(row, 1));
    QCOMPARE(grid_->cellText(2), text);
    QCOMPARE(grid_->cellValue(2).isNull(), value.isNull());
    if (!value.isNull())
        QCOMPARE(grid_->cellValue(2).toString(), value.toString());
    const auto alignment = [&](int column) {
        return Qt::Alignment(
            grid_->model()->index(row, column).data(Qt::TextAlignmentRole).toInt());
    };
    QVERIFY(alignment(2) & Qt::AlignRight);
    // Columns without a format show the value as it is, to the left.
    QVERIFY(alignment(1) & Qt::AlignLeft);
    QCOMPARE(grid_->cellText(1), QString(QStringList{"ALFA", "BETA", "GAMMA"}.at(row)));
}

void DataGridTest::pickOncePerGesture_data() {
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("picks");
    QTest::newRow("click") << "click" << 1;
    QTest::newRow("double click") << "double" << 1;
    QTest::newRow("two separate clicks") << "twice" << 2;
    QTest::newRow("Enter") << "enter" << 1;
    QTest::newRow("Return held down") << "held" << 1;
    QTest::newRow("click below the rows") << "empty" << 0;
    QTest::newRow("right click") << "right" << 0;
    QTest::newRow("Enter without a current row") << "nocurrent" << 0;
}

void DataGridTest::pickOncePerGesture() {
    QFETCH(QString, gesture);
    QFETCH(int, picks);
    QVERIFY(grid_->bind(kQuery).ok());
    QSignalSpy spy(grid_.get(), &DataGrid::rowPicked);
    QWidget* viewport = grid_->viewport();
    const QPoint at = cellCentre(1, 1);
    if (gesture == "click") {
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    } else if (gesture == "twice") {
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    } else if (gesture == "double") {
        // What the window system delivers: press, release, press, double click, release.
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        QTest::mousePress(viewport, Qt::LeftButton, {}, at);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, viewport->mapToGlobal(at), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &dbl);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    } else if (gesture == "enter" || gesture == "held") {
        grid_->setFocus();
        grid_->setCurrentIndex(grid_->model()->index(1, 1));
        QTest::keyClick(grid_.get(), Qt::Key_Enter);
        if (gesture == "held") {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r", true);
            QApplication::sendEvent(grid_.get(), &repeat);
        }
    } else if (gesture == "empty") {
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(5, viewport->height() - 5));
    } else if (gesture == "right") {
        QTest::mouseClick(viewport, Qt::RightButton, {}, at);
    } else if (gesture == "nocurrent") {
        grid_->setCurrentIndex({});
        QTest::keyClick(grid_.get(), Qt::Key_Return);
    }
    QCOMPARE(spy.count(), picks);
    if (picks > 0) {
        QCOMPARE(spy.first().first().toInt(), 1);
        QCOMPARE(grid_->cellText(1), QString("BETA"));
    }
}

void DataGridTest::hiddenColumnsStayReadable() {
    QVERIFY(grid_->bind(kQuery).ok());
    grid_->setColumnHidden(0, true);
    grid_->setColumnHidden(2, true);
    QTest::mouseClick(grid_->viewport(), Qt::LeftButton, {}, cellCentre(2, 1));
    QCOMPARE(grid_->cellText(0), QString("3"));
    QCOMPARE(grid_->cellText(1), QString("GAMMA"));
    QCOMPARE(grid_->cellValue(0).toInt(), 3);
    QCOMPARE(grid_->cellText(2), QString());
}

void DataGridTest::rebindDropsColumnSettings() {
    QVERIFY(grid_->bind(kQuery).ok());
    grid_->setColumnHidden(0, true);
    grid_->setColumnFormat(2, &cents);
    QVERIFY(grid_->bind(kQuery).ok());
    QVERIFY(!grid_->isColumnHidden(0));
    grid_->setCurrentIndex(grid_->model()->index(0, 1));
    QCOMPARE(grid_->cellText(2), QString("123456"));
    grid_->unbind();
    QVERIFY(!grid_->isBound());
    QCOMPARE(grid_->rowCount(), 0);
    QCOMPARE(grid_->cellText(1), QString());
}

void DataGridTest::failedBindLeavesGridEmpty() {
    QVERIFY(grid_->bind(kQuery).ok());
    const Status s = grid_->bind({"nowhere", "ID", "nothing", {}, {}, {}});
    QVERIFY(!s.ok());
    QVERIFY(!s.error().isEmpty());
    QCOMPARE(grid_->rowCount(), 0);
}

void DataGridTest::bindModelReadsEditValues() {
    QStandardItemModel model(2, 2);
    model.setData(model.index(1, 0), 42, Qt::EditRole);
    model.setData(model.index(1, 1), "TESTO");
    grid_->bindModel(&model);
    grid_->setCurrentIndex(model.index(1, 1));
    QCOMPARE(grid_->cellValue(0).toInt(), 42);
    QCOMPARE(grid_->cellText(1), QString("TESTO"));
    grid_->unbind();
    QCOMPARE(model.rowCount(), 2); // a model the caller owns stays alive
}

void DataGridTest::largeResultOpensAtOnce() {
    TestDatabase::exec("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n "
                       "WHERE x < 100000) INSERT INTO Soggetti (denominazione, cap) "
                       "SELECT printf('S%06d', x), x FROM n");
    QElapsedTimer timer;
    timer.start();
    QVERIFY(grid_->bind(kQuery).ok());
    grid_->setColumnFormat(2, &cents);
    grid_->viewport()->grab();
    // Only the keys and the rows in view are read: the grid shows at once, and every
    // row is there to scroll to.
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(grid_->rowCount(), 100003);
    grid_->scrollToBottom();
    grid_->setCurrentIndex(grid_->model()->index(100002, 1));
    QCOMPARE(grid_->cellText(1), QString("S100000"));
    QCOMPARE(grid_->cellText(2), QString("1000,00"));
    grid_->setCurrentIndex(grid_->model()->index(3, 1));
    QCOMPARE(grid_->cellText(1), QString("S000001"));
}

void DataGridTest::rowsFollowTheOrderNotTheKeys_data() {
    QTest::addColumn<int>("subjects");
    QTest::addColumn<QString>("order");
    // Row counts around the reading window, which the model reads 128 rows at a time.
    for (const int n : {1, 127, 128, 129, 300, 1000}) {
        QTest::addRow("%d, reversed", n) << n << "denominazione DESC";
        QTest::addRow("%d, shuffled", n) << n << "cap, ID";
    }
}

void DataGridTest::rowsFollowTheOrderNotTheKeys() {
    QFETCH(int, subjects);
    QFETCH(QString, order);
    TestDatabase::exec("DELETE FROM Soggetti");
    // Postal codes that scatter the keys: the shown order is nothing like the ID order.
    TestDatabase::exec(QStringLiteral("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 "
                                      "FROM n WHERE x < %1) INSERT INTO Soggetti "
                                      "(denominazione, cap) SELECT printf('S%06d', x), "
                                      "(x * 7919) % 1009 FROM n")
                           .arg(subjects));
    QStringList expected;
    Result<QSqlQuery> q =
        store::run("SELECT denominazione || '/' || cap FROM Soggetti ORDER BY " + order);
    QVERIFY(q.ok());
    while (q.value.next())
        expected << q.value.value(0).toString();

    QVERIFY(grid_->bind({"Soggetti", "ID", "denominazione, cap", {}, order, {}}).ok());
    QCOMPARE(grid_->rowCount(), subjects);
    QStringList shown;
    // Backwards, so that windows are read out of order and dropped on the way.
    for (int row = subjects - 1; row >= 0; --row)
        shown.prepend(grid_->model()->index(row, 0).data().toString() + '/' +
                      grid_->model()->index(row, 1).data().toString());
    QCOMPARE(shown, expected);
}

void DataGridTest::rowDeletedAfterBindingShowsEmpty() {
    QVERIFY(grid_->bind(kQuery).ok());
    TestDatabase::exec("DELETE FROM Soggetti WHERE denominazione = 'BETA'");
    grid_->setColumnFormat(2, &cents);
    grid_->setCurrentIndex(grid_->model()->index(1, 1));
    QCOMPARE(grid_->cellText(1), QString());
    QCOMPARE(grid_->cellText(2), QString());
    QVERIFY(grid_->cellValue(0).isNull());
    grid_->setCurrentIndex(grid_->model()->index(2, 1));
    QCOMPARE(grid_->cellText(1), QString("GAMMA"));
}

void DataGridTest::failedReadIsReportedOnce() {
    TestDatabase::exec("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n "
                       "WHERE x < 400) INSERT INTO Soggetti (denominazione) "
                       "SELECT printf('S%03d', x) FROM n");
    QVERIFY(grid_->bind(kQuery).ok());
    QSignalSpy spy(grid_.get(), &DataGrid::readFailed);
    QCOMPARE(grid_->model()->index(0, 1).data().toString(), QString("ALFA"));
    TestDatabase::exec("DROP TABLE Soggetti");
    // Rows already read stay; rows read now come empty and the failure is told once.
    QCOMPARE(grid_->model()->index(1, 1).data().toString(), QString("BETA"));
    QCOMPARE(grid_->model()->index(200, 1).data().toString(), QString());
    QCOMPARE(grid_->model()->index(300, 1).data().toString(), QString());
    QTRY_COMPARE(spy.count(), 1);
    QVERIFY(spy.first().first().toString().contains("Soggetti"));
}

void DataGridTest::exportsEveryRowInGridOrder_data() {
    QTest::addColumn<bool>("excel");
    QTest::newRow("excel, Ctrl+E") << true;
    QTest::newRow("csv, Ctrl+Shift+E") << false;
}

void DataGridTest::exportsEveryRowInGridOrder() {
    QFETCH(bool, excel);
    // Many more rows than the grid keeps in memory, entered against name order.
    const int count = 1500;
    TestDatabase::exec(
        "INSERT INTO Soggetti (denominazione, cap, datanascita, utente) "
        "WITH RECURSIVE n(i) AS (SELECT ? UNION ALL SELECT i - 1 FROM n WHERE i > 1) "
        "SELECT printf('N%04d', i), i, CASE i WHEN 1 THEN '1970-01-31' END, "
        "CASE i % 2 WHEN 1 THEN 'S' ELSE 'N' END FROM n",
        {count});
    const KeyedQuery query{"Soggetti",
                           "ID",
                           "ID, denominazione, cap, datanascita, utente",
                           "denominazione LIKE 'N%'",
                           "denominazione, ID",
                           {}};
    QVERIFY(grid_->bind(query).ok());
    grid_->setColumnHidden(0, true);
    grid_->horizontalHeader()->moveSection(2, 1); // cap shown before the name
    grid_->setColumnKind(3, table_export::CellKind::Date);
    grid_->setColumnKind(4, table_export::CellKind::Flag);
    grid_->setExportTitle("Soggetti", {{"Anno", "2024"}});
    grid_->scrollTo(grid_->model()->index(700, 1));
    TestDatabase::exec("DELETE FROM Soggetti WHERE denominazione = 'N0002'");

    QTemporaryDir dir;
    const QString path = dir.filePath(excel ? "grid.xlsx" : "grid.csv");
    ScriptedMessageBoxes boxes;
    grid_->setMessageBoxes(&boxes);
    QString askedTitle;
    grid_->setExportPathChooser([&](QWidget*, table_export::FileFormat, const QString& title) {
        askedTitle = title;
        return path;
    });
    grid_->setFocus();
    QTest::keyClick(grid_.get(), Qt::Key_E,
                    excel ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(askedTitle, QStringLiteral("Soggetti"));
    QVERIFY2(boxes.shown().isEmpty(), qPrintable(boxes.texts().join('|')));

    QList<QStringList> rows; // the table below its header, as text
    if (excel) {
        const XlsxContents x = readXlsx(path);
        QVERIFY2(x.error.isEmpty(), qPrintable(x.error));
        QCOMPARE(x.sheetName, QStringLiteral("Soggetti"));
        QCOMPARE(x.cells.value("A4").value, QStringLiteral("cap"));
        QCOMPARE(x.cells.value("D4").value, QStringLiteral("utente"));
        QVERIFY(!x.cells.contains("E4"));
        QCOMPARE(x.cells.value("C5").numberFormat, QStringLiteral("dd/mm/yyyy"));
        QCOMPARE(x.cells.value("C5").value, QStringLiteral("25599"));
        for (int r = 5;; ++r) {
            const QString n = QString::number(r);
            if (!x.cells.contains("B" + n))
                break;
            rows.append({x.cells.value("A" + n).value, x.cells.value("B" + n).value,
                         x.cells.value("D" + n).value});
        }
    } else {
        const CsvContents csv = readCsv(path);
        QVERIFY2(csv.error.isEmpty(), qPrintable(csv.error));
        QCOMPARE(csv.records.at(3), (QStringList{"cap", "denominazione", "datanascita", "utente"}));
        QCOMPARE(csv.records.at(4).at(2), QStringLiteral("31/01/1970"));
        for (const QStringList& record : csv.records.mid(4))
            rows.append({record.at(0), record.at(1), record.at(3)});
    }
    QCOMPARE(rows.size(), count - 1);
    QCOMPARE(rows.at(0), (QStringList{"1", "N0001", "S"}));
    QCOMPARE(rows.at(1), (QStringList{"3", "N0003", "S"}));
    QCOMPARE(rows.at(2), (QStringList{"4", "N0004", "N"}));
    QCOMPARE(rows.last(), (QStringList{"1500", "N1500", "N"}));
    for (int i = 1; i < rows.size(); ++i)
        QVERIFY(rows.at(i - 1).at(1) < rows.at(i).at(1));
}

void DataGridTest::failedExportIsShown() {
    QVERIFY(grid_->bind(kQuery).ok());
    grid_->setExportTitle("Soggetti");
    QTemporaryDir dir;
    ScriptedMessageBoxes boxes;
    grid_->setMessageBoxes(&boxes);
    grid_->setExportPathChooser([&](QWidget*, table_export::FileFormat, const QString&) {
        return dir.filePath("manca/soggetti.xlsx");
    });
    auto* excel = grid_->findChild<QAction*>("EsportaExcel");
    QVERIFY(excel && grid_->actions().contains(excel));
    excel->trigger();
    QCOMPARE(boxes.shown().size(), 1);
    QVERIFY2(boxes.last().text.contains("Esportazione Excel non riuscita") &&
                 boxes.last().text.contains("la cartella non esiste"),
             qPrintable(boxes.last().text));
    QVERIFY(!QFileInfo::exists(dir.filePath("manca")));
}

void DataGridTest::exportNeedsANamedTable() {
    auto* excel = grid_->findChild<QAction*>("EsportaExcel");
    auto* csv = grid_->findChild<QAction*>("EsportaCsv");
    QCOMPARE(excel->text(), QStringLiteral("Esporta Excel..."));
    QCOMPARE(csv->text(), QStringLiteral("Esporta CSV..."));
    QVERIFY(!excel->isEnabled());
    QVERIFY(grid_->bind(kQuery).ok());
    QVERIFY(!excel->isEnabled());
    grid_->setExportTitle("Soggetti");
    QVERIFY(excel->isEnabled() && csv->isEnabled());
    // A new result, from whichever loader, starts without the last one's name.
    QVERIFY(grid_->bind(kQuery).ok());
    QVERIFY(!excel->isEnabled() && !csv->isEnabled());
}

QTEST_MAIN(DataGridTest)
#include "tst_data_grid.moc"
