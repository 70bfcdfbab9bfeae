#pragma once

#include "printing/report_pages.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QList>
#include <QRawFont>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace report {

// A text laid out in one style: its glyphs, positioned from the start of the line (the
// baseline at the font's ascent), and its width; sizes in twips.
struct ShapedText {
    QList<QGlyphRun> glyphs;
    qreal width = 0;
};

// A face that substitutes no glyphs, with the glyph and advance of each character
// looked up so far: report texts use few characters, and most texts only once.
class PlainFace {
public:
    explicit PlainFace(const QRawFont& face);
    bool isValid() const { return face_.isValid(); }
    // `text` placed from the face's tables alone, one glyph a character at the
    // font's advances, as a shaper places it when kerning is off; nothing for texts
    // that need more (characters outside Latin, a character the face lacks, a
    // trailing space).
    std::optional<ShapedText> placed(const QString& text);

private:
    struct Glyph {
        quint32 id = 0; // 0: the face lacks the character
        qreal advance = 0;
    };
    const Glyph& glyphOf(char16_t c);

    QRawFont face_;
    qreal ascent_ = 0;
    std::vector<std::optional<Glyph>> latin_; // by character, below kLatinEnd
    std::unordered_map<char16_t, Glyph> other_;
};

// The fonts of a report's text styles and the texts laid out in them. Ledger pages repeat
// captions, dates, codes and names, so most runs come from the cache without laying them
// out again. One per thread.
class TextShaper {
public:
    explicit TextShaper(const QList<TextStyle>& styles);

    const ShapedText& shaped(int style, const QString& text);
    // Where a run's text starts on the line: its box's left edge moved by the alignment.
    qreal startOf(const TextRun& run, const ShapedText& text) const;

    const QFont& font(int style) const { return fonts_.at(style); }
    const QFontMetricsF& metrics(int style) const { return metrics_.at(style); }
    bool underlined(int style) const { return underlined_.at(style); }

    // `text` laid out by Qt's text layout: any script, font fallback, substitutions.
    static ShapedText laidOut(const QFont& font, const QString& text);
    // True when `face` lists no glyph substitution (ligatures, contextual forms), so that
    // its texts can be placed from its tables alone.
    static bool substitutesNothing(const QRawFont& face);

private:
    QList<QFont> fonts_;
    QList<QFontMetricsF> metrics_;
    QList<bool> underlined_;
    // Made on the thread that shapes, on first use: the face of each style, invalid when
    // it substitutes glyphs.
    std::vector<std::optional<PlainFace>> plainFaces_;
    // Keyed by the text's characters with the standard library's hash: Qt's string hash
    // (AES instructions) cost several times as much here, most texts being seen once.
    struct TextHash {
        std::size_t operator()(const QString& text) const {
            return std::hash<std::u16string_view>()(std::u16string_view(
                reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())));
        }
    };
    std::vector<std::unordered_map<QString, ShapedText, TextHash>> cache_;
    std::vector<qsizetype> cachedCharacters_; // the characters of the texts in cache_
};

} // namespace report
