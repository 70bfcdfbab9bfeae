#pragma once

#include <QApplication>
#include <QStringList>
#include <QTableWidget>
#include <QTest>

// The texts of column `c` of a table widget, row by row.
inline QStringList columnTexts(const QTableWidget* table, int c) {
    QStringList texts;
    for (int r = 0; r < table->rowCount(); ++r)
        texts.append(table->item(r, c)->text());
    return texts;
}

// Presses Tab until the widget `name` has the focus, at most twenty times.
inline void tabTo(const QString& name) {
    for (int i = 0; i < 20 && QApplication::focusWidget()->objectName() != name; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), name);
}
