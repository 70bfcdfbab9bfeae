#pragma once

#include <QByteArray>
#include <QList>
#include <string_view>

class QIODevice;

namespace report {

// A number as PDF text: whole or with up to three decimals, no exponent.
class PdfNumber {
public:
    // Valid until the next call.
    std::string_view of(double value);
    // The number of thousandths `thousandths`, as of() writes it.
    std::string_view ofThousandths(qint64 thousandths);

private:
    char digits_[32];
};

// Appends a number to PDF text.
void appendPdfNumber(QByteArray& out, double value);
// A text string as PDF writes it for the operator: UTF-16 with a byte order mark, in hex.
QByteArray pdfTextString(const QString& text);

// The objects of a PDF file written one after another to a device, and the table of
// where each one starts. Objects are numbered first (reserve) and written in any order;
// every reserved object must be written before finish().
class PdfFile {
public:
    explicit PdfFile(QIODevice& device);

    int reserve();
    // Writes object `number` with `body` (a dictionary, array, ...).
    void writeObject(int number, const QByteArray& body);
    // Writes a stream object; `dictionary` holds the entries besides /Length, without
    // the brackets; `deflated` says the data is zlib-compressed.
    void writeStream(int number, const QByteArray& dictionary, const QByteArray& data,
                     bool deflated);
    // Writes the cross-reference table and the trailer.
    void finish(int catalog, int info);

    // False once a write to the device failed.
    bool ok() const { return ok_; }

private:
    void beginObject(int number);
    void put(const QByteArray& bytes);

    QIODevice& device_;
    QList<qint64> offsets_; // by object number - 1; -1 until written
    qint64 position_ = 0;
    bool ok_ = true;
};

} // namespace report
