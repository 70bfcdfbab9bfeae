#include "printing/pdf_page_content.h"

#include "printing/pdf_file.h"
#include "printing/report_layout.h"

#include <cmath>

namespace report {
namespace {

// The rules of the pages: about 0.75 pt, square ends, as the painter draws them.
constexpr int kRuleWidth = 15;
// How far (thousandths of the em) a glyph may sit from where the font's widths put it
// before the string moves it: the shaping rounds each advance to 1/64 of a twip, which
// adds up along a run to a few hundredths of a point at most.
constexpr double kMisplaced = 1.0;

// A glyph id in a literal string: its two bytes, those that would end the string, escape
// or become a line end escaped.
void appendGlyphId(std::string& out, quint32 glyph) {
    for (const char byte : {char((glyph >> 8) & 0xFF), char(glyph & 0xFF)}) {
        if (byte == '(' || byte == ')' || byte == '\\') {
            out += '\\';
            out += byte;
        } else if (byte == '\r') {
            out.append("\\r");
        } else {
            out += byte;
        }
    }
}

void appendThousandths(std::string& out, qint64 thousandths) {
    PdfNumber number;
    out.append(number.ofThousandths(thousandths));
}

void appendNumber(std::string& out, double value) {
    PdfNumber number;
    out.append(number.of(value));
}

void appendPoint(std::string& out, double x, double y, const char* op) {
    appendNumber(out, x);
    out += ' ';
    appendNumber(out, y);
    out.append(op);
}

} // namespace

PdfPageContent::PdfPageContent(const PageFrame& frame, double pageHeight)
    : shaper_(frame.styles), pageHeight_(pageHeight) {}

QByteArrayView PdfPageContent::of(const RenderedPage& page) {
    std::string& out = page_;
    out.clear();
    // One unit a twip, y downwards from the top of the paper.
    out.append("0.05 0 0 -0.05 0 ");
    appendNumber(out, pageHeight_);
    out.append(" cm\n");
    if (!page.lines.isEmpty()) {
        out.append(std::to_string(kRuleWidth) + " w 2 J 2 j\n");
        for (const LineRun& line : page.lines) {
            appendPoint(out, line.line.x1(), line.line.y1(), " m ");
            appendPoint(out, line.line.x2(), line.line.y2(), " l\n");
        }
        out.append("S\n");
    }
    beginText(out);
    for (const TextRun& run : page.texts)
        appendText(out, run);
    out.append("ET\n");
    return {out.data(), qsizetype(out.size())};
}

void PdfPageContent::appendText(std::string& out, const TextRun& run) {
    const ShapedText& text = shaper_.shaped(run.style, run.text);
    if (text.glyphs.isEmpty())
        return;
    const double x = shaper_.startOf(run, text);
    // Text boxes cut what does not fit, as the designs expect.
    const bool cut = text.width > run.box.width();
    const bool underlined = shaper_.underlined(run.style);
    if (cut || underlined) {
        out.append("ET q\n");
        if (cut) {
            appendPoint(out, run.box.x(), run.box.y(), " ");
            appendPoint(out, run.box.width(), run.box.height(), " re W n\n");
        }
        beginText(out);
    }
    for (const QGlyphRun& glyphs : text.glyphs)
        appendGlyphs(out, glyphs, run.text, x, run.box.top());
    if (cut || underlined) {
        out.append("ET\n");
        if (underlined)
            appendUnderline(out, run, x, text.width);
        out.append("Q ");
        beginText(out);
    }
}

void PdfPageContent::beginText(std::string& out) {
    out.append("BT\n");
    font_ = -1;
    placed_ = false;
}

void PdfPageContent::appendPlace(std::string& out, qint64 x, qint64 y) {
    // Twips run down the page, the text space's y up: the matrix turns it over once, and a
    // move down is a move up in it.
    if (placed_) {
        appendThousandths(out, x - lineX_);
        out += ' ';
        appendThousandths(out, lineY_ - y);
        out.append(" Td\n");
    } else {
        out.append("1 0 0 -1 ");
        appendThousandths(out, x);
        out += ' ';
        appendThousandths(out, y);
        out.append(" Tm\n");
        placed_ = true;
    }
    lineX_ = x;
    lineY_ = y;
}

void PdfPageContent::appendGlyphs(std::string& out, const QGlyphRun& glyphs, const QString& text,
                                  double x, double top) {
    const QRawFont face = glyphs.rawFont();
    const QList<quint32> ids = glyphs.glyphIndexes();
    const QList<QPointF> positions = glyphs.positions();
    if (ids.isEmpty() || positions.size() != ids.size())
        return;
    const int index = fonts_.indexOf(face);
    PdfFont& font = fonts_.at(index);
    font.use(face, ids, text);
    const double size = face.pixelSize();
    if (index != font_ || size != fontSize_) {
        out.append(font.resourceName().constData(), std::size_t(font.resourceName().size()));
        out += ' ';
        appendNumber(out, size);
        out.append(" Tf\n");
        font_ = index;
        fontSize_ = size;
    }
    appendPlace(out, std::llround((x + positions.first().x()) * 1000),
                std::llround((top + positions.first().y()) * 1000));
    // Where the font's widths put each glyph, against where the shaping did. Written as one
    // string; moved, it becomes an array of strings and moves, its bracket put in the place
    // kept for it.
    const std::size_t start = out.size();
    out.append(" (");
    bool moved = false;
    double pen = 0;
    for (qsizetype i = 0; i < ids.size(); ++i) {
        if (i > 0) {
            const double shaped = (positions.at(i).x() - positions.first().x()) * 1000 / size;
            if (std::abs(shaped - pen) >= kMisplaced) {
                out.append(") ");
                appendNumber(out, pen - shaped);
                out.append(" (");
                pen = shaped;
                moved = true;
            }
        }
        appendGlyphId(out, ids.at(i));
        pen += font.width(ids.at(i));
    }
    if (moved) {
        out[start] = '[';
        out.append(")] TJ\n");
    } else {
        out.erase(start, 1);
        out.append(") Tj\n");
    }
}

void PdfPageContent::appendUnderline(std::string& out, const TextRun& run, double x, double width) {
    const QFontMetricsF& m = shaper_.metrics(run.style);
    const double y = run.box.top() + m.ascent() + m.underlinePos();
    appendNumber(out, m.lineWidth());
    out.append(" w 2 J\n");
    appendPoint(out, x, y, " m ");
    appendPoint(out, x + width, y, " l S\n");
}

} // namespace report
