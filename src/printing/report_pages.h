#pragma once

#include <QLine>
#include <QList>
#include <QRect>
#include <QString>
#include <Qt>

// Laid-out pages as plain data: positioned text and lines, so that tests read them and
// any device can draw them.
namespace report {

struct TextStyle {
    QString family;
    double pointSize = 8.0;
    bool bold = false;
    bool underline = false;

    bool operator==(const TextStyle&) const = default;
};

// Positions are twips from the top-left corner of the paper.
struct TextRun {
    QRect box;
    QString text;
    int style = 0; // index into PageFrame::styles
    Qt::Alignment alignment = Qt::AlignLeft;
};

struct LineRun {
    QLine line;
};

struct RenderedPage {
    QList<TextRun> texts;
    QList<LineRun> lines;
};

// What every page of a report shares.
struct PageFrame {
    QString caption;
    bool landscape = true;
    int pageWidth = 0; // twips
    int pageHeight = 0;
    QList<TextStyle> styles;
};

} // namespace report
