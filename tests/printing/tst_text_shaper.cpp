#include "printing/text_shaper.h"

#include <QTest>
#include <algorithm>

using namespace report;

namespace {

QList<quint32> glyphsOf(const ShapedText& shaped) {
    QList<quint32> glyphs;
    for (const QGlyphRun& run : shaped.glyphs)
        glyphs.append(run.glyphIndexes());
    return glyphs;
}

QList<QPointF> positionsOf(const ShapedText& shaped) {
    QList<QPointF> positions;
    for (const QGlyphRun& run : shaped.glyphs)
        positions.append(run.positions());
    return positions;
}

} // namespace

class TextShaperTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reportFacesSubstituteNothing();
    void placedAsLaidOut_data();
    void placedAsLaidOut();
    void laidOutWhenPlacingWouldDiffer_data();
    void laidOutWhenPlacingWouldDiffer();
};

// The faces of the reports list no substitutions, so that their texts are placed from the
// tables (a face that lists some would have every text laid out, at several times the cost).
void TextShaperTest::reportFacesSubstituteNothing() {
    for (const QString& family :
         {QStringLiteral("Liberation Sans"), QStringLiteral("Liberation Sans Narrow")}) {
        for (const bool bold : {false, true}) {
            TextShaper shaper({TextStyle{family, 8.0, bold, false}});
            QVERIFY2(TextShaper::substitutesNothing(QRawFont::fromFont(shaper.font(0))),
                     qPrintable(family));
        }
    }
}

void TextShaperTest::placedAsLaidOut_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("size");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QString>("text");
    const QStringList texts = {
        QStringLiteral("Rossi Mario"),         QStringLiteral("DELL'ACQUA S.R.L. 1"),
        QStringLiteral("1.234.567,89"),        QStringLiteral("16/07/2022"),
        QStringLiteral("àèéìòù ÀÈÉÌÒÙ ç ñ ß"), QStringLiteral("€ 12,00 – “sì” «no» L’Aquila…"),
        QStringLiteral("  due  spazi"),        QStringLiteral("fi fl ffi Wa AV To")};
    for (const QString& text : texts) {
        QTest::addRow("sans 8: %s", qPrintable(text))
            << QStringLiteral("Liberation Sans") << 8.0 << false << text;
        QTest::addRow("sans bold 9.75: %s", qPrintable(text))
            << QStringLiteral("Liberation Sans") << 9.75 << true << text;
        QTest::addRow("narrow 7: %s", qPrintable(text))
            << QStringLiteral("Liberation Sans Narrow") << 7.0 << false << text;
    }
}

// Placed from the face's tables, a text has the glyphs, positions and width the text
// layout gives it: the preview, the printer and the PDF show the same page either way.
void TextShaperTest::placedAsLaidOut() {
    QFETCH(QString, family);
    QFETCH(double, size);
    QFETCH(bool, bold);
    QFETCH(QString, text);
    TextShaper shaper({TextStyle{family, size, bold, false}});
    const QFont& font = shaper.font(0);
    // The characters looked up in another order first, as an earlier text would.
    PlainFace face(QRawFont::fromFont(font));
    QString reversed = text;
    std::reverse(reversed.begin(), reversed.end());
    face.placed(reversed.trimmed());
    const std::optional<ShapedText> placed = face.placed(text);
    QVERIFY(placed);
    const ShapedText laid = TextShaper::laidOut(font, text);
    QCOMPARE(glyphsOf(*placed), glyphsOf(laid));
    const QList<QPointF> expected = positionsOf(laid);
    const QList<QPointF> positions = positionsOf(*placed);
    QCOMPARE(positions.size(), expected.size());
    for (qsizetype i = 0; i < positions.size(); ++i) {
        QVERIFY2(std::abs(positions.at(i).x() - expected.at(i).x()) < 1.0 / 64,
                 qPrintable(QString::number(i)));
        QCOMPARE(positions.at(i).y(), expected.at(i).y());
    }
    QVERIFY(std::abs(placed->width - laid.width) < 1.0 / 64);
    QCOMPARE(shaper.shaped(0, text).width, placed->width);
}

void TextShaperTest::laidOutWhenPlacingWouldDiffer_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("trailing space, not counted in the width") << QStringLiteral("Rossi ");
    QTest::newRow("tab") << QStringLiteral("a\tb");
    QTest::newRow("soft hyphen") << QStringLiteral("Bianchi\u00ADRossi");
    QTest::newRow("combining accent") << QStringLiteral("Perche\u0301");
    QTest::newRow("right to left") << QStringLiteral("\u05E9\u05DC\u05D5\u05DD");
    QTest::newRow("outside the face") << QStringLiteral("漢字");
}

// Texts the tables alone would place wrongly go through the text layout.
void TextShaperTest::laidOutWhenPlacingWouldDiffer() {
    QFETCH(QString, text);
    TextShaper shaper({TextStyle{QStringLiteral("Liberation Sans"), 8.0, false, false}});
    QVERIFY(!PlainFace(QRawFont::fromFont(shaper.font(0))).placed(text));
    const ShapedText laid = TextShaper::laidOut(shaper.font(0), text);
    const ShapedText& shaped = shaper.shaped(0, text);
    QCOMPARE(glyphsOf(shaped), glyphsOf(laid));
    QCOMPARE(shaped.width, laid.width);
}

QTEST_MAIN(TextShaperTest)
#include "tst_text_shaper.moc"
