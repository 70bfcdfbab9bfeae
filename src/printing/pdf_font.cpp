#include "printing/pdf_font.h"

#include "printing/deflater.h"
#include "printing/pdf_file.h"
#include "printing/truetype_subset.h"

#include <cmath>

namespace report {
namespace {

// Glyph-to-character pairs per block of a ToUnicode map, the most the format allows.
constexpr int kPairsPerBlock = 100;

QByteArray hex16(quint32 value) {
    return QByteArray::number(value, 16).rightJustified(4, '0').toUpper();
}

QByteArray utf16Hex(const QString& text) {
    QByteArray out;
    for (const QChar c : text)
        out.append(hex16(c.unicode()));
    return out;
}

// A PDF name of letters and digits only: the family and style run together.
QString pdfName(const QRawFont& face) {
    QString name;
    const QString full = face.familyName() + QLatin1Char('-') + face.styleName();
    for (const QChar c : full)
        if ((c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('-'))
            name.append(c);
    return name;
}

} // namespace

PdfFont::PdfFont(const QRawFont& face)
    : face_(face), name_(pdfName(face)), resource_('/' + name_.toLatin1()) {
    const QByteArray head = face.fontTable("head");
    unitsPerEm_ = std::max<int>(16, fontWord(head, 18));
    const QByteArray hhea = face.fontTable("hhea");
    const QByteArray hmtx = face.fontTable("hmtx");
    const int metrics = std::min<int>(fontWord(hhea, 34), int(hmtx.size() / 4));
    widths_.reserve(metrics);
    // To a thousandth, as written in the file, so that the pen moves as a reader's does.
    for (int i = 0; i < metrics; ++i)
        widths_.append(std::round(fontWord(hmtx, 4 * i) * 1e6 / unitsPerEm_) / 1000);
    seen_.assign(std::size_t(std::max(metrics, 1)), false);
}

double PdfFont::width(quint32 glyph) const {
    if (widths_.isEmpty())
        return 0;
    return widths_.at(std::min<qsizetype>(glyph, widths_.size() - 1));
}

bool PdfFont::seen(quint32 glyph) const {
    return glyph < seen_.size() ? bool(seen_[glyph]) : used_.contains(glyph);
}

void PdfFont::note(quint32 glyph, const QString& characters) {
    if (glyph < seen_.size())
        seen_[glyph] = true;
    used_.insert(glyph, characters);
}

void PdfFont::use(const QRawFont& face, const QList<quint32>& glyphs, const QString& text) {
    bool known = true;
    for (const quint32 glyph : glyphs)
        known = known && seen(glyph);
    if (known)
        return;
    // Each character's glyph by the font's own map; what it does not explain (a glyph
    // standing for several characters) by position, when there is one glyph a character.
    const QList<uint> characters = text.toUcs4();
    for (const uint c : characters) {
        const char32_t code = c;
        const QString character = QString::fromUcs4(&code, 1);
        const QList<quint32> mapped = face.glyphIndexesForString(character);
        if (mapped.size() == 1 && glyphs.contains(mapped.first()) && !seen(mapped.first()))
            note(mapped.first(), character);
    }
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        if (seen(glyphs.at(i)))
            continue;
        QString character;
        if (glyphs.size() == characters.size()) {
            const char32_t code = characters.at(i);
            character = QString::fromUcs4(&code, 1);
        }
        note(glyphs.at(i), character);
    }
}

void PdfFont::merge(const PdfFont& other) {
    for (auto it = other.used_.cbegin(); it != other.used_.cend(); ++it) {
        if (it.key() < seen_.size())
            seen_[it.key()] = true;
        QString& text = used_[it.key()];
        // Both read from the font's own map as a rule; when not, the smaller of the two.
        if (text.isEmpty() || (!it.value().isEmpty() && it.value() < text))
            text = it.value();
    }
}

QByteArray PdfFont::widths() const {
    QByteArray out("[");
    quint32 next = 0;
    bool open = false;
    for (auto it = used_.keyBegin(); it != used_.keyEnd(); ++it) {
        const quint32 glyph = *it;
        if (!open || glyph != next) {
            if (open)
                out.append("] ");
            out.append(QByteArray::number(glyph) + " [");
            open = true;
        } else {
            out.append(' ');
        }
        appendPdfNumber(out, width(glyph));
        next = glyph + 1;
    }
    if (open)
        out.append(']');
    out.append(']');
    return out;
}

QByteArray PdfFont::toUnicode() const {
    QList<QByteArray> pairs;
    for (auto it = used_.cbegin(); it != used_.cend(); ++it)
        if (!it.value().isEmpty())
            pairs.append('<' + hex16(it.key()) + "> <" + utf16Hex(it.value()) + ">\n");
    QByteArray out("/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                   "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                   "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                   "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n");
    for (qsizetype i = 0; i < pairs.size(); i += kPairsPerBlock) {
        const qsizetype n = std::min<qsizetype>(kPairsPerBlock, pairs.size() - i);
        out.append(QByteArray::number(n) + " beginbfchar\n");
        for (qsizetype j = i; j < i + n; ++j)
            out.append(pairs.at(j));
        out.append("endbfchar\n");
    }
    out.append("endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n");
    return out;
}

SubsetFault PdfFont::write(PdfFile& file, int font) const {
    const TrueTypeSubset subset =
        subsetTrueType([this](const char* tag) { return face_.fontTable(tag); }, used_.keys());
    if (subset.fault != SubsetFault::None)
        return subset.fault;
    const int cidFont = file.reserve();
    const int descriptor = file.reserve();
    const int fontFile = file.reserve();
    const int glyphMap = file.reserve();
    const int unicode = file.reserve();
    // The tag marks a subset; the name among a page's resources stays as it is.
    const QByteArray name = '/' + subset.tag + '+' + name_.toLatin1();
    const auto ref = [](int number) -> QByteArray { return QByteArray::number(number) + " 0 R"; };
    const auto thousandths = [this](qreal value) {
        return QByteArray::number(qRound(value * 1000 / face_.pixelSize()));
    };
    const auto unitsToThousandths = [this](qint16 value) {
        return QByteArray::number(qRound(value * 1000.0 / unitsPerEm_));
    };
    file.writeObject(font, "<</Type /Font /Subtype /Type0 /BaseFont " + name +
                               " /Encoding /Identity-H /DescendantFonts [" + ref(cidFont) +
                               "] /ToUnicode " + ref(unicode) + ">>");
    file.writeObject(cidFont, "<</Type /Font /Subtype /CIDFontType2 /BaseFont " + name +
                                  " /CIDSystemInfo <</Registry (Adobe) /Ordering (Identity) "
                                  "/Supplement 0>> /FontDescriptor " +
                                  ref(descriptor) + " /CIDToGIDMap " + ref(glyphMap) + " /W " +
                                  widths() + ">>");
    const QByteArray head = face_.fontTable("head");
    const QByteArray post = face_.fontTable("post");
    const bool italic = face_.style() != QFont::StyleNormal;
    file.writeObject(
        descriptor, "<</Type /FontDescriptor /FontName " + name + " /Flags " +
                        QByteArray::number(italic ? 32 + 64 : 32) + " /FontBBox [" +
                        unitsToThousandths(qint16(fontWord(head, 36))) + ' ' +
                        unitsToThousandths(qint16(fontWord(head, 38))) + ' ' +
                        unitsToThousandths(qint16(fontWord(head, 40))) + ' ' +
                        unitsToThousandths(qint16(fontWord(head, 42))) + "] /ItalicAngle " +
                        QByteArray::number(qint16(fontWord(post, 4))) + " /Ascent " +
                        thousandths(face_.ascent()) + " /Descent -" + thousandths(face_.descent()) +
                        " /CapHeight " + thousandths(face_.capHeight()) + " /StemV 80 /FontFile2 " +
                        ref(fontFile) + ">>");
    file.writeStream(fontFile, " /Length1 " + QByteArray::number(subset.file.size()),
                     Deflater(Compression::Small).deflated(subset.file), true);
    file.writeStream(glyphMap, {}, Deflater(Compression::Small).deflated(subset.newIds), true);
    file.writeStream(unicode, {}, toUnicode(), false);
    return SubsetFault::None;
}

int PdfFonts::indexOf(const QRawFont& font) {
    const auto found = bySize_.constFind(font);
    if (found != bySize_.constEnd())
        return *found;
    const QString face = font.familyName() + QLatin1Char('\n') + font.styleName() +
                         QLatin1Char('\n') + QString::number(font.weight()) + QLatin1Char('\n') +
                         QString::number(int(font.style()));
    int index = byFace_.value(face, -1);
    if (index < 0) {
        index = int(fonts_.size());
        fonts_.append(PdfFont(font));
        byFace_.insert(face, index);
    }
    bySize_.insert(font, index);
    return index;
}

} // namespace report
