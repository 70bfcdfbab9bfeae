#include "printing/text_shaper.h"

#include "printing/report_layout.h"

#include <QTextLayout>
#include <QtEndian>

namespace report {
namespace {

// Distinct texts and their characters kept shaped per style; past either the cache
// starts afresh, so that a long report of ever new names, amounts and paragraphs does not
// grow it without end. Short texts (the ones that repeat) reach the first bound.
constexpr qsizetype kShapedTexts = 4096;
constexpr qsizetype kShapedCharacters = 65536;

// Characters below this are looked up in a table, the others (dashes, quotes, the euro
// sign) in a map.
constexpr char16_t kLatinEnd = 0x250;

// Characters a shaper gives their own glyph and places at its advance: Latin letters,
// digits and punctuation, the euro sign, typographic quotes and dashes; nothing that
// combines, joins, hyphenates or runs right to left.
bool placedAlone(char16_t c) {
    if (c >= 0x20 && c <= 0x7E)
        return true;
    if (c >= 0xA0 && c <= 0x24F)
        return c != 0xAD;
    return c == 0x2013 || c == 0x2014 || (c >= 0x2018 && c <= 0x201E) || c == 0x2026 || c == 0x20AC;
}

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
    plainFaces_.resize(std::size_t(fonts_.size()));
    cache_.resize(std::size_t(fonts_.size()));
    cachedCharacters_.resize(std::size_t(fonts_.size()));
}

const ShapedText& TextShaper::shaped(int style, const QString& text) {
    auto& cache = cache_[std::size_t(style)];
    auto found = cache.find(text);
    if (found != cache.end())
        return found->second;
    qsizetype& characters = cachedCharacters_[std::size_t(style)];
    if (qsizetype(cache.size()) >= kShapedTexts || characters >= kShapedCharacters) {
        cache.clear();
        characters = 0;
    }
    characters += text.size();
    std::optional<PlainFace>& face = plainFaces_[std::size_t(style)];
    if (!face) {
        const QRawFont raw = QRawFont::fromFont(fonts_.at(style));
        face.emplace(raw.isValid() && substitutesNothing(raw) ? raw : QRawFont());
    }
    std::optional<ShapedText> placed;
    if (face->isValid())
        placed = face->placed(text);
    return cache.emplace(text, placed ? std::move(*placed) : laidOut(fonts_.at(style), text))
        .first->second;
}

ShapedText TextShaper::laidOut(const QFont& font, const QString& text) {
    QTextLayout layout(text, font);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    ShapedText shaped;
    if (line.isValid()) {
        shaped.width = line.naturalTextWidth();
        shaped.glyphs = line.glyphRuns();
        // The underline is drawn with the text box: glyph runs place their own underline
        // wrongly on scaled raster devices.
        for (QGlyphRun& run : shaped.glyphs)
            run.setUnderline(false);
    }
    return shaped;
}

PlainFace::PlainFace(const QRawFont& face) : face_(face) {
    if (face_.isValid())
        ascent_ = face_.ascent();
}

const PlainFace::Glyph& PlainFace::glyphOf(char16_t c) {
    std::optional<Glyph>* slot = nullptr;
    if (c < kLatinEnd) {
        if (latin_.empty())
            latin_.resize(kLatinEnd);
        slot = &latin_[c];
        if (*slot)
            return **slot;
    } else if (const auto found = other_.find(c); found != other_.end()) {
        return found->second;
    }
    Glyph glyph;
    const QList<quint32> ids = face_.glyphIndexesForString(QString(QChar(c)));
    if (ids.size() == 1 && ids.first() != 0) {
        glyph.id = ids.first();
        glyph.advance = face_.advancesForGlyphIndexes(ids, QRawFont::SeparateAdvances).first().x();
    }
    if (slot)
        return slot->emplace(glyph);
    return other_.emplace(c, glyph).first->second;
}

std::optional<ShapedText> PlainFace::placed(const QString& text) {
    if (text.isEmpty() || text.endsWith(QLatin1Char(' ')) || text.endsWith(QChar(0xA0)))
        return std::nullopt;
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(text.size());
    positions.reserve(text.size());
    qreal x = 0;
    for (const QChar c : text) {
        if (!placedAlone(c.unicode()))
            return std::nullopt;
        const Glyph& glyph = glyphOf(c.unicode());
        if (glyph.id == 0)
            return std::nullopt;
        glyphs.append(glyph.id);
        positions.append(QPointF(x, ascent_));
        x += glyph.advance;
    }
    QGlyphRun run;
    run.setRawFont(face_);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    ShapedText shaped;
    shaped.glyphs.append(run);
    shaped.width = x;
    return shaped;
}

bool TextShaper::substitutesNothing(const QRawFont& face) {
    const QByteArray gsub = face.fontTable("GSUB");
    if (gsub.isEmpty())
        return true;
    if (gsub.size() < 10)
        return false;
    const quint16 features = qFromBigEndian<quint16>(gsub.constData() + 6);
    return features + 2 <= gsub.size() && qFromBigEndian<quint16>(gsub.constData() + features) == 0;
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
