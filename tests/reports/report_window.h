#pragma once

// The main window on a small fixed ledger, logged in as ROSSI MARIO for 2024, with the
// report previews recorded instead of shown: the common ground of the report command
// and search panel tests.

#include "app/nota.h"
#include "reports/elenco_ritenute.h"
#include "reports/report_commands.h"
#include "reports/search_panel.h"
#include "shell/scripted_message_boxes.h"
#include "store/connection.h"
#include "support/logged_in_window.h"
#include "support/test_database.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <memory>

// What a run would have previewed.
struct Previewed {
    QString layout;
    QString title; // Label3; "<none>" when the layout has no such item
    QString user;  // Label37
    QString year;  // Label14
    int rows = 0;
    bool balanceShown = true; // TextBox15
    QString firstName;        // denominazione of the first row
    bool noOpenRead = false;  // no query of the run was still open while previewing
};

inline QString captionOf(const report::ReportLayout& layout, const QString& item) {
    const report::ReportItem* found = layout.findItem(item);
    return found ? found->text : QStringLiteral("<none>");
}

// True when no statement is left reading: SQLite refuses to drop a table while any
// read is still open on the connection.
inline bool noOpenRead() {
    return store::run(QStringLiteral("DROP TABLE Scratch")).ok() &&
           store::run(QStringLiteral("CREATE TABLE Scratch (x INTEGER)")).ok();
}

class ReportWindow {
public:
    struct Record {
        const char* user; // "A", "B" or a raw ID
        const char* year;
        const char* name;
        const char* paid;
        QVariant remittance; // versamento
        qint64 remitted;     // versato, cents
        QVariant period;
        QVariant dueDate; // scadenza
    };

    explicit ReportWindow(const QString& year = QStringLiteral("2024")) {
        db = std::make_unique<TestDatabase>();
        if (!db->ok())
            qFatal("%s", qPrintable(db->error()));
        userA = QString::number(TestDatabase::addSubject(QStringLiteral("ROSSI MARIO"), true));
        userB = QString::number(TestDatabase::addSubject(QStringLiteral("BIANCHI ANNA"), true));
        TestDatabase::addSubject(QStringLiteral("DELL'ORTO LUCA"));
        const QVariant none;
        const Record records[] = {
            {"A", "2024", "ZETA SRL", "S", "2024-03-16", 20000, "2", "2024-03-16"},
            {"A", "2024", "ALFA SNC", "N", none, 0, "5", "2024-06-16"},
            {"A", "2024", "DELL'ORTO LUCA", "S", none, 0, "11", "2024-12-16"},
            // Due in January of the next year: month 1 for the due-month search.
            {"A", "2024", "BETA_1 SPA", "S", "2025-01-16", 1000, "12", "2025-01-16"},
            {"A", "2024", "GAMMA", "N", none, 0, none, none},
            {"A", "2023", "ALFA SNC", "S", "2023-05-16", 500, "4", "2023-05-16"},
            {"B", "2024", "ALFA SNC", "N", none, 0, none, "2024-07-16"},
            // A user that is no subject: left out of the general lists by their join.
            {"999", "2024", "ORFANO", "N", none, 0, none, "2024-08-16"},
        };
        for (const Record& r : records)
            addRecord(r);
        TestDatabase::exec(QStringLiteral("CREATE TABLE Scratch (x INTEGER)"));

        window = std::make_unique<Nota>(boxes);
        showAndLogIn(*window, QStringLiteral("ROSSI MARIO"), year);

        const auto record = [this](const PreparedReport& report) {
            Previewed p;
            p.layout = report.layout.name;
            p.title = captionOf(report.layout, elenco_ritenute::kTitle);
            p.user = captionOf(report.layout, elenco_ritenute::kUserName);
            p.year = captionOf(report.layout, elenco_ritenute::kYear);
            p.rows = int(report.rows->rowCount());
            const report::ReportItem* balance = report.layout.findItem(elenco_ritenute::kBalance);
            p.balanceShown = balance && balance->visible;
            report::RowWindow first;
            if (report.rows->read(0, 1, first, {report.rows->columnIndex("denominazione")}).ok() &&
                first.rows == 1)
                p.firstName = first.value(0, 0).toString();
            p.noOpenRead = noOpenRead();
            previewed.append(p);
            return previewResult;
        };
        window->findChild<ReportCommands*>(QStringLiteral("ReportCommands"))
            ->runner()
            .setPreview(record);
        searchPanel()->runner().setPreview(record);
        boxes.clear();
    }

    void addRecord(const Record& r) {
        const QString user = QLatin1String(r.user) == QLatin1String("A")   ? userA
                             : QLatin1String(r.user) == QLatin1String("B") ? userB
                                                                           : QString(r.user);
        TestDatabase::exec(
            QStringLiteral("INSERT INTO Ritenute (denominazione, FT, data, imponibile, aliquota, "
                           "ritenuta, pag, versamento, versato, periodo, scadenza, anno, utente) "
                           "VALUES (?, '1', ?, 100000, 2000, 20000, ?, ?, ?, ?, ?, ?, ?)"),
            {QString::fromUtf8(r.name), QStringLiteral("%1-02-01").arg(r.year),
             QString::fromLatin1(r.paid), r.remittance, r.remitted, r.period, r.dueDate,
             QString::fromLatin1(r.year), user});
    }

    template <typename T = QWidget> T* child(const char* name) const {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("missing widget %s", name);
        return widget;
    }
    SearchPanel* searchPanel() const { return child<SearchPanel>("Frame5"); }
    void trigger(const char* name) const { window->action(name)->trigger(); }

    // The enabled menus and the visible panels, to compare before and after a command.
    QStringList state() const {
        QStringList s;
        for (const char* menu :
             {"Esci", "CambioUtente", "Anagrafica", "Ritenute", "Servizi", "Funzioni", "Generale"})
            s << QStringLiteral("%1=%2").arg(menu).arg(window->action(menu)->isEnabled());
        for (const char* frame : {"Frame1", "Frame2", "Frame3", "Frame4", "Frame5", "Frame6"})
            s << QStringLiteral("%1=%2").arg(frame).arg(window->panel(frame)->isVisible());
        return s;
    }

    std::unique_ptr<TestDatabase> db;
    ScriptedMessageBoxes boxes;
    std::unique_ptr<Nota> window;
    QString userA;
    QString userB;
    QList<Previewed> previewed;
    Status previewResult = Status::success();
};
