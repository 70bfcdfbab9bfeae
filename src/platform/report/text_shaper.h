#pragma once

#include "platform/report/report_pages.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QList>

namespace report {

// A text laid out in one style: its glyphs, positioned from the start of the line (the
// baseline at the font's ascent), and its width; sizes in twips.
struct ShapedText {
    QList<QGlyphRun> glyphs;
    qreal width = 0;
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

private:
    QList<QFont> fonts_;
    QList<QFontMetricsF> metrics_;
    QList<bool> underlined_;
    QList<QHash<QString, ShapedText>> cache_;
};

} // namespace report
