#pragma once

#include "printing/truetype_subset.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QRawFont>
#include <QString>
#include <vector>

namespace report {

class PdfFile;

// One font face embedded in a PDF as a composite font: text is written as 2-byte glyph
// ids of the face (Identity-H), the widths of the glyphs used are listed, and a map from
// glyph to characters lets a reader copy and search the text. Only the glyphs used are
// embedded, renumbered, with the map from the face's ids to theirs.
class PdfFont {
public:
    explicit PdfFont(const QRawFont& face);

    // The face's name, letters, digits and '-': also its name among a page's resources.
    const QString& name() const { return name_; }
    const QByteArray& resourceName() const { return resource_; }

    // The advance of `glyph` in thousandths of the em, as the PDF lists it.
    double width(quint32 glyph) const;
    // Notes that the glyphs of `glyphs` appear, standing for the characters of `text`.
    void use(const QRawFont& face, const QList<quint32>& glyphs, const QString& text);
    // Adds the glyphs `other` (the same face) used; the same result in any order.
    void merge(const PdfFont& other);

    // Writes the font and the objects it needs; `font` is its reserved number. Writes
    // nothing when the face cannot be embedded, and says why.
    SubsetFault write(PdfFile& file, int font) const;

private:
    QByteArray widths() const;
    QByteArray toUnicode() const;

    QRawFont face_;
    QString name_;
    QByteArray resource_;
    int unitsPerEm_ = 1000;
    // Whether `glyph` is in used_, and putting it there: most runs use only glyphs
    // already noted, which a flag per glyph of the face tells at once.
    bool seen(quint32 glyph) const;
    void note(quint32 glyph, const QString& characters);

    QList<double> widths_;        // thousandths of the em, by glyph id (the last repeats beyond)
    QMap<quint32, QString> used_; // glyph -> the characters it stands for
    std::vector<bool> seen_;      // by glyph id, of the glyphs the face gives widths
};

// The faces text was shaped in, each one PdfFont, in the order first used.
class PdfFonts {
public:
    // The index of the face of `font` (any size), added on first use.
    int indexOf(const QRawFont& font);
    PdfFont& at(int index) { return fonts_[index]; }
    const QList<PdfFont>& all() const { return fonts_; }

private:
    QHash<QRawFont, int> bySize_; // each size of a face is its own QRawFont
    QHash<QString, int> byFace_;
    QList<PdfFont> fonts_;
};

} // namespace report
