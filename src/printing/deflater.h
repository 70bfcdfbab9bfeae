#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <memory>

struct z_stream_s;

namespace report {

// zlib compression (a FlateDecode stream of PDF), one block at a time; keeps its working
// memory from block to block, so that thousands of small pages cost no allocation each.
class Deflater {
public:
    Deflater();
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Empty only when zlib ran out of memory.
    QByteArray deflated(QByteArrayView data);

private:
    std::unique_ptr<z_stream_s> stream_;
    bool ready_ = false;
};

} // namespace report
