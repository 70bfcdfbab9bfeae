#pragma once

#include <QByteArray>
#include <QByteArrayView>

struct libdeflate_compressor;

namespace report {

// How a stream is compressed: a page's text fast, for it is written thousands of times in a
// long report; what is written once in a document (a font) small.
enum class Compression { Fast, Small };

// zlib compression (a FlateDecode stream of PDF), one block at a time; keeps its working
// memory from block to block, so that thousands of small pages cost no allocation each.
class Deflater {
public:
    explicit Deflater(Compression compression = Compression::Fast);
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Empty only when there was no memory for the compressor.
    QByteArray deflated(QByteArrayView data);

private:
    libdeflate_compressor* compressor_;
};

} // namespace report
