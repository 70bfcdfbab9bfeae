#include "printing/truetype_subset.h"

#include <QCryptographicHash>
#include <QMap>
#include <QtEndian>
#include <array>
#include <map>
#include <optional>

namespace report {
namespace {

// Where the fields written here sit in their tables, in bytes.
constexpr int kHeadChecksumAdjustment = 8;
constexpr int kHeadIndexToLocFormat = 50;
constexpr int kHeadSize = 54;
constexpr int kHheaNumberOfHMetrics = 34;
constexpr int kHheaSize = 36;
constexpr int kMaxpNumGlyphs = 4;
constexpr int kMaxpSize = 6;
// 'post' version 3: the header alone, no glyph names.
constexpr int kPostHeaderSize = 32;
constexpr quint32 kPostWithoutNames = 0x00030000;
constexpr quint32 kFileChecksum = 0xB1B0AFBA;
// The largest 'glyf' the short 'loca' (offsets halved, in 16 bits) addresses.
constexpr qsizetype kShortLocaLimit = 0x1FFFE;
// A composite glyph's header, then per component: flags, glyph id, arguments and
// transformation, the sizes of the last two told by the flags.
constexpr int kGlyphHeaderSize = 10;
constexpr quint16 kArgumentsAreWords = 0x0001;
constexpr quint16 kScale = 0x0008;
constexpr quint16 kMoreComponents = 0x0020;
constexpr quint16 kXAndYScale = 0x0040;
constexpr quint16 kTwoByTwo = 0x0080;
constexpr int kTagLength = 6;
// Hinting: the glyphs' instructions call into these, copied whole.
constexpr std::array<const char*, 3> kHinting = {"cvt ", "fpgm", "prep"};

quint32 fontLong(const QByteArray& table, int offset) {
    return quint32(fontWord(table, offset)) << 16 | fontWord(table, offset + 2);
}

void put16(QByteArray& table, int offset, quint16 value) {
    qToBigEndian(value, table.data() + offset);
}

void put32(QByteArray& table, int offset, quint32 value) {
    qToBigEndian(value, table.data() + offset);
}

void append16(QByteArray& out, quint16 value) {
    out.append(char(value >> 8));
    out.append(char(value & 0xFF));
}

void append32(QByteArray& out, quint32 value) {
    append16(out, quint16(value >> 16));
    append16(out, quint16(value & 0xFFFF));
}

void padTo4(QByteArray& out) {
    out.append(QByteArray((4 - out.size() % 4) % 4, '\0'));
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

// Where the component ids of a composite glyph sit in its data, none for a simple glyph;
// nothing when the components run past the data.
std::optional<QList<int>> componentIds(const QByteArray& glyph) {
    QList<int> ids;
    if (glyph.size() < kGlyphHeaderSize || qint16(fontWord(glyph, 0)) >= 0)
        return ids;
    int at = kGlyphHeaderSize;
    quint16 flags = kMoreComponents;
    while (flags & kMoreComponents) {
        if (at + 4 > glyph.size())
            return std::nullopt;
        flags = fontWord(glyph, at);
        ids.append(at + 2);
        at += 4 + ((flags & kArgumentsAreWords) ? 4 : 2);
        if (flags & kScale)
            at += 2;
        else if (flags & kXAndYScale)
            at += 4;
        else if (flags & kTwoByTwo)
            at += 8;
    }
    if (at > glyph.size())
        return std::nullopt;
    return ids;
}

// The tables, in the order of their tags, after a table directory with their checksums;
// each on a four-byte boundary, and 'head' holding the whole file's checksum.
QByteArray fontFile(QMap<QByteArray, QByteArray> tables) {
    put32(tables["head"], kHeadChecksumAdjustment, 0);
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
    auto offset = quint32(12 + 16 * count);
    quint32 head = 0;
    for (auto it = tables.cbegin(); it != tables.cend(); ++it) {
        if (it.key() == "head")
            head = offset;
        file.append(it.key());
        append32(file, checksum(it.value()));
        append32(file, offset);
        append32(file, quint32(it.value().size()));
        offset += quint32((it.value().size() + 3) / 4 * 4);
    }
    for (const QByteArray& table : std::as_const(tables)) {
        file.append(table);
        padTo4(file);
    }
    put32(file, int(head) + kHeadChecksumAdjustment, kFileChecksum - checksum(file));
    return file;
}

QByteArray tagOf(const QByteArray& glyphIds) {
    const QByteArray digest = QCryptographicHash::hash(glyphIds, QCryptographicHash::Sha1);
    QByteArray tag;
    for (int i = 0; i < kTagLength; ++i)
        tag.append(char('A' + quint8(digest.at(i)) % 26));
    return tag;
}

} // namespace

quint16 fontWord(const QByteArray& table, int offset) {
    return offset >= 0 && offset + 2 <= table.size()
               ? qFromBigEndian<quint16>(table.constData() + offset)
               : 0;
}

QString describe(SubsetFault fault) {
    switch (fault) {
    case SubsetFault::None:
        break;
    case SubsetFault::NoOutlines:
        return QStringLiteral("non ha i contorni TrueType (tabella glyf), come i caratteri "
                              "OpenType CFF, e non può essere incluso nel PDF");
    case SubsetFault::Damaged:
        return QStringLiteral("ha le tabelle danneggiate");
    }
    return {};
}

TrueTypeSubset subsetTrueType(const std::function<QByteArray(const char*)>& table,
                              const QList<quint32>& glyphs) {
    TrueTypeSubset subset;
    const QByteArray glyf = table("glyf");
    if (glyf.isEmpty()) {
        subset.fault = SubsetFault::NoOutlines;
        return subset;
    }
    QByteArray head = table("head");
    QByteArray hhea = table("hhea");
    QByteArray maxp = table("maxp");
    const QByteArray hmtx = table("hmtx");
    const QByteArray loca = table("loca");
    const int count = fontWord(maxp, kMaxpNumGlyphs);
    const int metrics = fontWord(hhea, kHheaNumberOfHMetrics);
    const bool longLoca = fontWord(head, kHeadIndexToLocFormat) != 0;
    subset.fault = SubsetFault::Damaged;
    if (head.size() < kHeadSize || hhea.size() < kHheaSize || maxp.size() < kMaxpSize ||
        count == 0 || metrics == 0 || metrics > count ||
        hmtx.size() < 4 * metrics + 2 * (count - metrics) ||
        loca.size() < (count + 1) * (longLoca ? 4 : 2))
        return subset;
    const auto offset = [&](int id) -> qsizetype {
        return longLoca ? fontLong(loca, 4 * id) : 2 * qsizetype(fontWord(loca, 2 * id));
    };

    // Glyph 0, the glyphs asked for and the components of composites, to any depth.
    std::map<int, QByteArray> kept;
    QList<int> pending{0};
    for (const quint32 glyph : glyphs)
        if (glyph < quint32(count))
            pending.append(int(glyph));
    while (!pending.isEmpty()) {
        const int id = pending.takeLast();
        if (kept.count(id) > 0)
            continue;
        const qsizetype begin = offset(id);
        const qsizetype end = offset(id + 1);
        if (begin > end || end > glyf.size())
            return subset;
        const QByteArray& outline = kept[id] = glyf.mid(begin, end - begin);
        const std::optional<QList<int>> components = componentIds(outline);
        if (!components)
            return subset;
        for (const int at : *components) {
            const int component = fontWord(outline, at);
            if (component >= count)
                return subset;
            pending.append(component);
        }
    }

    subset.newIds = QByteArray(2 * (kept.rbegin()->first + 1), '\0');
    quint16 next = 0;
    for (const auto& glyph : kept)
        put16(subset.newIds, 2 * glyph.first, next++);
    QByteArray outlines;
    QList<quint32> starts;
    QByteArray advances;
    QByteArray ids;
    for (auto& [id, outline] : kept) {
        starts.append(quint32(outlines.size()));
        const QList<int> components = componentIds(outline).value(); // checked above
        for (const int at : components)
            put16(outline, at, fontWord(subset.newIds, 2 * fontWord(outline, at)));
        outlines.append(outline);
        padTo4(outlines);
        append16(advances, fontWord(hmtx, 4 * std::min(id, metrics - 1)));
        append16(advances, id < metrics ? fontWord(hmtx, 4 * id + 2)
                                        : fontWord(hmtx, 4 * metrics + 2 * (id - metrics)));
        append16(ids, quint16(id));
    }
    starts.append(quint32(outlines.size()));
    const bool shortLoca = outlines.size() <= kShortLocaLimit;
    QByteArray places;
    for (const quint32 start : starts) {
        if (shortLoca)
            append16(places, quint16(start / 2));
        else
            append32(places, start);
    }
    put16(head, kHeadIndexToLocFormat, shortLoca ? 0 : 1);
    put16(hhea, kHheaNumberOfHMetrics, next);
    put16(maxp, kMaxpNumGlyphs, next);

    QMap<QByteArray, QByteArray> tables{{"glyf", outlines}, {"head", head},   {"hhea", hhea},
                                        {"hmtx", advances}, {"loca", places}, {"maxp", maxp}};
    for (const char* tag : kHinting) {
        const QByteArray hinting = table(tag);
        if (!hinting.isEmpty())
            tables.insert(tag, hinting);
    }
    QByteArray post = table("post").left(kPostHeaderSize);
    if (post.size() == kPostHeaderSize) {
        put32(post, 0, kPostWithoutNames);
        tables.insert("post", post);
    }
    subset.fault = SubsetFault::None;
    subset.file = fontFile(std::move(tables));
    subset.tag = tagOf(ids);
    return subset;
}

} // namespace report
