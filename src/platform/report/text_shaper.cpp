#include "platform/report/text_shaper.h"

#include "platform/report/report_layout.h"

#include <QTextLayout>

namespace report {
namespace {

// Distinct texts kept shaped per style; past this the cache starts afresh, so that a
// long report of ever new names and amounts does not grow it without end.
constexpr qsizetype kShapedTexts = 4096;

} // namespace

TextShaper::TextShaper(const QList<TextStyle>& styles) {
    fonts_.reserve(styles.size());
    for (const TextStyle& style : styles) {
        QFont font(style.family);
        // Sizes in twips: with the painter mapped to twips, text keeps its point size on
        // every device and its layout does not depend on the device's resolution.
        font.setPixelSize(qRound(style.pointSize * kTwipsPerPoint));
        font.setBold(style.bold);
        font.setUnderline(style.underline);
        font.setKerning(false);
        font.setHintingPreference(QFont::PreferNoHinting);
        fonts_.append(font);
        metrics_.append(QFontMetricsF(font));
        underlined_.append(style.underline);
    }
    cache_.resize(fonts_.size());
}

const ShapedText& TextShaper::shaped(int style, const QString& text) {
    QHash<QString, ShapedText>& cache = cache_[style];
    auto found = cache.constFind(text);
    if (found != cache.constEnd())
        return *found;
    if (cache.size() >= kShapedTexts)
        cache.clear();
    QTextLayout layout(text, fonts_.at(style));
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    ShapedText entry;
    if (line.isValid()) {
        entry.width = line.naturalTextWidth();
        entry.glyphs = line.glyphRuns();
        // The underline is drawn with the text box: glyph runs place their own underline
        // wrongly on scaled raster devices.
        for (QGlyphRun& run : entry.glyphs)
            run.setUnderline(false);
    }
    return *cache.insert(text, std::move(entry));
}

qreal TextShaper::startOf(const TextRun& run, const ShapedText& text) const {
    qreal x = run.box.left();
    if (run.alignment & Qt::AlignHCenter)
        x += (run.box.width() - text.width) / 2;
    else if (run.alignment & Qt::AlignRight)
        x += run.box.width() - text.width;
    return x;
}

} // namespace report
