#pragma once

// The main window on a fresh database with a user logged in for a year: the common
// ground of the withholding panel and ledger grid tests.

#include "app/nota.h"
#include "shell/scripted_message_boxes.h"
#include "store/connection.h"
#include "store/dialect.h"
#include "store/name_order.h"
#include "support/logged_in_window.h"
#include "support/modal_message_boxes.h"
#include "support/test_database.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QVariantMap>
#include <memory>

class LedgerWindow {
public:
    // Scripted boxes answer in place; modal ones are real boxes that take the window's
    // activation while they are open, as on a desktop.
    enum class Boxes { Scripted, Modal };

    explicit LedgerWindow(const QString& year = QStringLiteral("2011"),
                          Boxes kind = Boxes::Scripted)
        : boxes(kind == Boxes::Modal ? modalBoxes : scriptedBoxes) {
        userId = TestDatabase::addSubject(QStringLiteral("ROSSI MARIO"), true);
        window = std::make_unique<Nota>(boxes);
        showAndLogIn(*window, QStringLiteral("ROSSI MARIO"), year);
    }

    template <typename T = QWidget> T* child(const char* name) const {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("missing widget %s", name);
        return widget;
    }
    QString text(const char* name) const {
        if (auto* combo = window->findChild<QComboBox*>(QString::fromLatin1(name)))
            return combo->currentText();
        if (auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(name)))
            return edit->text();
        qFatal("no text field %s", name);
    }
    void trigger(const char* action) const { window->action(action)->trigger(); }

    // The operator picks `entry` from a list (or types it and confirms it).
    static void choose(QComboBox* combo, const QString& entry) {
        const int index = combo->findText(entry);
        combo->setCurrentIndex(index);
        if (index < 0)
            combo->setEditText(entry);
        Q_EMIT combo->activated(index);
    }
    void choose(const char* combo, const QString& entry) const {
        choose(child<QComboBox>(combo), entry);
    }

    // Gives `widget` the focus and then takes it away again, as a Tab would.
    static void enterAndLeave(QWidget* widget) {
        QWidget* target = widget->focusProxy() ? widget->focusProxy() : widget;
        target->setFocus(Qt::TabFocusReason);
        if (QApplication::focusWidget() == target) {
            target->clearFocus();
            return;
        }
        // Without an active window the focus does not move: deliver the event itself.
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(target, &out);
    }

    // A withholding row of the logged-in user and year, with `columns` over defaults.
    qint64 addRecord(const QVariantMap& columns) const {
        QVariantMap all = {{"anno", window->currentYear()}, {"utente", window->currentUserId()}};
        for (auto it = columns.begin(); it != columns.end(); ++it)
            all.insert(it.key(), it.value());
        // The name's sort key, as the program writes it beside every name.
        if (all.contains(QStringLiteral("denominazione")))
            all.insert(QStringLiteral("ordine"),
                       store::nameKey(all.value(QStringLiteral("denominazione")).toString()));
        QStringList names;
        QStringList marks;
        QVariantList values;
        for (auto it = all.begin(); it != all.end(); ++it) {
            names << it.key();
            marks << QStringLiteral("?");
            values << it.value();
        }
        Result<QSqlQuery> r = store::run(store::dialect::insertReturningKey(
                                             QStringLiteral("INSERT INTO Ritenute (%1) VALUES (%2)")
                                                 .arg(names.join(','), marks.join(','))),
                                         values);
        if (!r.ok())
            qFatal("insert failed: %s", qPrintable(r.error()));
        return store::dialect::insertedId(r.value);
    }

    // Every column of row `id`; empty when there is no such row.
    static QVariantMap record(qint64 id) {
        QVariantMap row;
        Result<QSqlQuery> r =
            store::run(QStringLiteral("SELECT * FROM Ritenute WHERE ID = ?"), {id});
        if (r.ok() && r.value.next()) {
            const QSqlRecord fields = r.value.record();
            for (int i = 0; i < fields.count(); ++i)
                row.insert(store::dialect::fieldName(store::currentEngine(),
                                                     QStringLiteral("Ritenute"),
                                                     fields.fieldName(i)),
                           fields.value(i));
        }
        return row;
    }
    static int recordCount() {
        Result<QSqlQuery> r = store::run(QStringLiteral("SELECT count(*) FROM Ritenute"));
        return r.ok() && r.value.next() ? r.value.value(0).toInt() : -1;
    }

    TestDatabase db;
    ScriptedMessageBoxes scriptedBoxes;
    ModalMessageBoxes modalBoxes;
    ScriptedMessageBoxes& boxes;
    std::unique_ptr<Nota> window;
    qint64 userId = 0;
};
