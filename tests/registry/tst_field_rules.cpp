#include "registry/field_rules.h"
#include "values/number_keys.h"

#include <QTest>

class FieldRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void numberKey_data();
    void numberKey();
    void upperCased_data();
    void upperCased();
    void birthDateText_data();
    void birthDateText();
};

void FieldRulesTest::numberKey_data() {
    QTest::addColumn<QChar>("typed");
    QTest::addColumn<QString>("inserted"); // empty: refused
    for (QChar c : QStringLiteral("0123456789,-"))
        QTest::newRow(qPrintable(QString(c))) << c << QString(c);
    QTest::newRow("full stop") << QChar('.') << ",";
    QTest::newRow("backspace") << QChar('\b') << "\b";
    for (QChar c : QStringLiteral("aZ +/è€\t"))
        QTest::newRow(qPrintable("refused " + QString(c))) << c << "";
}

void FieldRulesTest::numberKey() {
    QFETCH(QChar, typed);
    QFETCH(QString, inserted);
    const std::optional<QChar> result = filterNumberKey(typed);
    QCOMPARE(result ? QString(*result) : QString(), inserted);
}

void FieldRulesTest::upperCased_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<int>("caretAfter");
    QTest::newRow("plain") << "rossi" << 2 << "ROSSI" << 2;
    QTest::newRow("accents") << "città di cantù" << 5 << "CITTÀ DI CANTÙ" << 5;
    QTest::newRow("already upper") << "ABC" << 3 << "ABC" << 3;
    QTest::newRow("apostrophe") << "dell'orto" << 9 << "DELL'ORTO" << 9;
    QTest::newRow("longer in capitals") << "straße" << 6 << "STRASSE" << 6;
    QTest::newRow("caret past the end") << "ab" << 9 << "AB" << 2;
    QTest::newRow("empty") << "" << 0 << "" << 0;
}

void FieldRulesTest::upperCased() {
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, upper);
    QFETCH(int, caretAfter);
    const registry::UpperCased result = registry::upperCased(text, caret);
    QCOMPARE(result.text, upper);
    QCOMPARE(result.caret, caretAfter);
}

void FieldRulesTest::birthDateText_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ISO date") << QVariant("1970-03-05") << "05/03/1970";
    QTest::newRow("NULL") << QVariant(QMetaType::fromType<QString>()) << "";
    QTest::newRow("no value") << QVariant() << "";
    QTest::newRow("not a date") << QVariant("ieri") << "ieri";
    QTest::newRow("impossible date") << QVariant("2020-02-31") << "2020-02-31";
}

void FieldRulesTest::birthDateText() {
    QFETCH(QVariant, stored);
    QFETCH(QString, shown);
    QCOMPARE(registry::birthDateText(stored), shown);
}

QTEST_APPLESS_MAIN(FieldRulesTest)
#include "tst_field_rules.moc"
