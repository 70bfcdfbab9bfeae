#pragma once

#include "printing/pdf_font.h"
#include "printing/report_pages.h"
#include "printing/text_shaper.h"

#include <QByteArrayView>
#include <string>

namespace report {

// The drawing operators of laid-out pages in PDF: each text run one string of glyph ids
// in its embedded font (two bytes each), placed where the shaping put it, the first of a
// text object by its matrix and the next ones by their move from the one before; rules as
// strokes. Notes in the fonts every glyph used.
class PdfPageContent {
public:
    // `pageHeight` in points: PDF measures up from the foot of the page, the pages of a
    // report in twips down from the top.
    PdfPageContent(const PageFrame& frame, double pageHeight);

    // The page's operators, valid until the next call.
    QByteArrayView of(const RenderedPage& page);
    // The fonts of the pages made so far.
    const QList<PdfFont>& fonts() const { return fonts_.all(); }

private:
    void appendText(std::string& out, const TextRun& run);
    void appendGlyphs(std::string& out, const QGlyphRun& glyphs, const QString& text, double x,
                      double top);
    void appendUnderline(std::string& out, const TextRun& run, double x, double width);
    // Starts a text object: no font, no line placed yet.
    void beginText(std::string& out);
    // Places the next string at (x, y), in thousandths of a twip.
    void appendPlace(std::string& out, qint64 x, qint64 y);

    TextShaper shaper_;
    PdfFonts fonts_;
    double pageHeight_;
    int font_ = -1; // the font and size set in the text object, none at first
    double fontSize_ = 0;
    bool placed_ = false; // whether the text object has placed a line, at (lineX_, lineY_)
    qint64 lineX_ = 0;
    qint64 lineY_ = 0;
    std::string page_; // the operators of the page being made, kept for its memory
};

} // namespace report
