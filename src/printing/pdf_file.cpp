#include "printing/pdf_file.h"

#include <QIODevice>
#include <QString>
#include <cmath>

namespace report {

std::string_view PdfNumber::of(double value) {
    return ofThousandths(std::llround(value * 1000));
}

std::string_view PdfNumber::ofThousandths(qint64 thousandths) {
    // Digits from the right: the fraction without its trailing zeros, then the whole part.
    char* end = digits_ + sizeof digits_;
    char* p = end;
    const bool negative = thousandths < 0;
    quint64 rest = negative ? quint64(-thousandths) : quint64(thousandths);
    int fraction = int(rest % 1000);
    rest /= 1000;
    if (fraction != 0) {
        int places = 3;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --places;
        }
        for (; places > 0; --places, fraction /= 10)
            *--p = char('0' + fraction % 10);
        *--p = '.';
    }
    do {
        *--p = char('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (negative)
        *--p = '-';
    return {p, std::size_t(end - p)};
}

void appendPdfNumber(QByteArray& out, double value) {
    PdfNumber number;
    const std::string_view digits = number.of(value);
    out.append(digits.data(), qsizetype(digits.size()));
}

QByteArray pdfTextString(const QString& text) {
    QByteArray out("<FEFF");
    for (const QChar c : text)
        out.append(QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper());
    out.append('>');
    return out;
}

PdfFile::PdfFile(QIODevice& device) : device_(device) {
    // The binary comment tells transfer programs that the file is not text.
    put("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
}

int PdfFile::reserve() {
    offsets_.append(-1);
    return int(offsets_.size());
}

void PdfFile::beginObject(int number) {
    offsets_[number - 1] = position_;
    put(QByteArray::number(number) + " 0 obj\n");
}

void PdfFile::writeObject(int number, const QByteArray& body) {
    beginObject(number);
    put(body + "\nendobj\n");
}

void PdfFile::writeStream(int number, const QByteArray& dictionary, const QByteArray& data,
                          bool deflated) {
    beginObject(number);
    QByteArray head = "<<" + dictionary + " /Length " + QByteArray::number(data.size());
    if (deflated)
        head.append(" /Filter /FlateDecode");
    put(head + ">>\nstream\n");
    put(data);
    put("\nendstream\nendobj\n");
}

void PdfFile::finish(int catalog, int info) {
    const qint64 xref = position_;
    QByteArray table = "xref\n0 " + QByteArray::number(offsets_.size() + 1) + "\n";
    table.append("0000000000 65535 f \n");
    for (const qint64 offset : offsets_) {
        if (offset < 0)
            ok_ = false; // an object reserved and never written
        table.append(QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n");
    }
    table.append("trailer\n<</Size " + QByteArray::number(offsets_.size() + 1) + " /Root " +
                 QByteArray::number(catalog) + " 0 R /Info " + QByteArray::number(info) +
                 " 0 R>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n");
    put(table);
}

void PdfFile::put(const QByteArray& bytes) {
    if (!ok_)
        return;
    if (device_.write(bytes) != bytes.size()) {
        ok_ = false;
        return;
    }
    position_ += bytes.size();
}

} // namespace report
