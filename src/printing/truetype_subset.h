#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

namespace report {

// A big-endian 16-bit word of a font table, 0 past its end.
quint16 fontWord(const QByteArray& table, int offset);

// Why a face cannot be embedded as a TrueType subset.
enum class SubsetFault {
    None,
    NoOutlines, // no 'glyf' table: the outlines are CFF (an OpenType .otf face)
    Damaged,    // a table missing, too short, or pointing outside 'glyf'
};

// The reason, in Italian, for a message that names the face.
QString describe(SubsetFault fault);

// A TrueType font program with only some glyphs of a face: glyph 0 (drawn for a missing
// glyph), the glyphs asked for and every glyph a composite among them is built from,
// numbered from 0 in the order of their ids in the face, with the components of
// composites renumbered. It keeps the tables a PDF reader draws with (outlines, metrics,
// hinting programs) and drops character maps and names: text is written by glyph id.
struct TrueTypeSubset {
    SubsetFault fault = SubsetFault::None;
    QByteArray file;
    // For each glyph id of the face up to the largest kept, its id in the subset (0 when
    // dropped), two big-endian bytes each: a PDF CIDToGIDMap when text is written in
    // the face's glyph ids.
    QByteArray newIds;
    // Six capital letters drawn from the glyphs kept: the same glyphs, the same tag.
    QByteArray tag;
};

// The subset of the face whose tables `table` gives by tag (empty when absent), keeping
// `glyphs`; ids beyond the face's glyphs are dropped.
TrueTypeSubset subsetTrueType(const std::function<QByteArray(const char*)>& table,
                              const QList<quint32>& glyphs);

} // namespace report
