#include "platform/report/pdf_font.h"

#include "platform/report/deflater.h"
#include "platform/report/pdf_file.h"

#include <QtEndian>
#include <array>
#include <cmath>

namespace report {
namespace {

// The TrueType tables a PDF reader needs to draw glyphs by id; the others (layout
// features, kerning, signatures) only serve text shaping, already done.
constexpr std::array<const char*, 13> kTables = {"OS/2", "cmap", "cvt ", "fpgm", "glyf",
                                                 "head", "hhea", "hmtx", "loca", "maxp",
                                                 "name", "post", "prep"}; // sorted by tag
constexpr int kHeadChecksumAdjustment = 8;
// Glyph-to-character pairs per block of a ToUnicode map, the most the format allows.
constexpr int kPairsPerBlock = 100;

quint16 read16(const QByteArray& table, int offset) {
    return offset + 2 <= table.size() ? qFromBigEndian<quint16>(table.constData() + offset) : 0;
}

qint16 readSigned16(const QByteArray& table, int offset) {
    return qint16(read16(table, offset));
}

void append16(QByteArray& out, quint16 value) {
    out.append(char(value >> 8));
    out.append(char(value & 0xFF));
}

void append32(QByteArray& out, quint32 value) {
    append16(out, quint16(value >> 16));
    append16(out, quint16(value & 0xFFFF));
}

quint32 checksum(const QByteArray& data) {
    quint32 sum = 0;
    for (qsizetype i = 0; i < data.size(); i += 4) {
        quint32 word = 0;
        for (qsizetype j = i; j < i + 4; ++j)
            word = (word << 8) | quint8(j < data.size() ? data.at(j) : 0);
        sum += word;
    }
    return sum;
}

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
    unitsPerEm_ = std::max<int>(16, read16(head, 18));
    const QByteArray hhea = face.fontTable("hhea");
    const QByteArray hmtx = face.fontTable("hmtx");
    const int metrics = std::min<int>(read16(hhea, 34), int(hmtx.size() / 4));
    advances_.reserve(metrics);
    for (int i = 0; i < metrics; ++i)
        advances_.append(read16(hmtx, 4 * i));
}

double PdfFont::width(quint32 glyph) const {
    if (advances_.isEmpty())
        return 0;
    const quint16 advance = advances_.at(std::min<qsizetype>(glyph, advances_.size() - 1));
    // To a thousandth, as written in the file, so that the pen moves as a reader's does.
    return std::round(advance * 1e6 / unitsPerEm_) / 1000;
}

void PdfFont::use(const QRawFont& face, const QList<quint32>& glyphs, const QString& text) {
    bool known = true;
    for (const quint32 glyph : glyphs)
        known = known && used_.contains(glyph);
    if (known)
        return;
    // Each character's glyph by the font's own map; what it does not explain (a glyph
    // standing for several characters) by position, when there is one glyph a character.
    const QList<uint> characters = text.toUcs4();
    for (const uint c : characters) {
        const char32_t code = c;
        const QString character = QString::fromUcs4(&code, 1);
        const QList<quint32> mapped = face.glyphIndexesForString(character);
        if (mapped.size() == 1 && glyphs.contains(mapped.first()) &&
            !used_.contains(mapped.first()))
            used_.insert(mapped.first(), character);
    }
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        if (used_.contains(glyphs.at(i)))
            continue;
        QString character;
        if (glyphs.size() == characters.size()) {
            const char32_t code = characters.at(i);
            character = QString::fromUcs4(&code, 1);
        }
        used_.insert(glyphs.at(i), character);
    }
}

void PdfFont::merge(const PdfFont& other) {
    for (auto it = other.used_.cbegin(); it != other.used_.cend(); ++it) {
        QString& text = used_[it.key()];
        // Both read from the font's own map as a rule; when not, the smaller of the two.
        if (text.isEmpty() || (!it.value().isEmpty() && it.value() < text))
            text = it.value();
    }
}

QByteArray PdfFont::embeddedFile() const {
    QList<QByteArray> tables;
    QList<const char*> tags;
    for (const char* tag : kTables) {
        QByteArray table = face_.fontTable(tag);
        if (table.isEmpty())
            continue;
        tags.append(tag);
        tables.append(std::move(table));
    }
    const auto count = quint16(tables.size());
    quint16 power = 1;
    quint16 log = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log;
    }
    QByteArray file;
    append32(file, 0x00010000);
    append16(file, count);
    append16(file, quint16(power * 16));
    append16(file, log);
    append16(file, quint16(count * 16 - power * 16));
    quint32 offset = quint32(12 + 16 * count);
    int headOffset = -1;
    for (int i = 0; i < count; ++i) {
        QByteArray& table = tables[i];
        if (qstrcmp(tags.at(i), "head") == 0 && table.size() >= kHeadChecksumAdjustment + 4) {
            headOffset = int(offset);
            table.replace(kHeadChecksumAdjustment, 4, QByteArray(4, '\0'));
        }
        file.append(tags.at(i), 4);
        append32(file, checksum(table));
        append32(file, offset);
        append32(file, quint32(table.size()));
        offset += quint32((table.size() + 3) / 4 * 4);
    }
    for (const QByteArray& table : tables) {
        file.append(table);
        file.append(QByteArray((4 - table.size() % 4) % 4, '\0'));
    }
    if (headOffset >= 0) {
        QByteArray adjustment;
        append32(adjustment, 0xB1B0AFBA - checksum(file));
        file.replace(headOffset + kHeadChecksumAdjustment, 4, adjustment);
    }
    return file;
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

void PdfFont::write(PdfFile& file, int font) const {
    const int cidFont = file.reserve();
    const int descriptor = file.reserve();
    const int fontFile = file.reserve();
    const int unicode = file.reserve();
    const QByteArray& name = resource_;
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
                                  ref(descriptor) + " /CIDToGIDMap /Identity /W " + widths() +
                                  ">>");
    const QByteArray head = face_.fontTable("head");
    const QByteArray post = face_.fontTable("post");
    const bool italic = face_.style() != QFont::StyleNormal;
    file.writeObject(descriptor, "<</Type /FontDescriptor /FontName " + name + " /Flags " +
                                     QByteArray::number(italic ? 32 + 64 : 32) + " /FontBBox [" +
                                     unitsToThousandths(readSigned16(head, 36)) + ' ' +
                                     unitsToThousandths(readSigned16(head, 38)) + ' ' +
                                     unitsToThousandths(readSigned16(head, 40)) + ' ' +
                                     unitsToThousandths(readSigned16(head, 42)) +
                                     "] /ItalicAngle " + QByteArray::number(readSigned16(post, 4)) +
                                     " /Ascent " + thousandths(face_.ascent()) + " /Descent -" +
                                     thousandths(face_.descent()) + " /CapHeight " +
                                     thousandths(face_.capHeight()) + " /StemV 80 /FontFile2 " +
                                     ref(fontFile) + ">>");
    const QByteArray embedded = embeddedFile();
    file.writeStream(fontFile, " /Length1 " + QByteArray::number(embedded.size()),
                     Deflater().deflated(embedded), true);
    file.writeStream(unicode, {}, toUnicode(), false);
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
