#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace standin {

// The one byte range of a "Range" header, resolved against the size of what is served.
struct ByteRange
{
    enum class Outcome {
        Whole,         // no usable range: send everything with 200
        Partial,       // send [first, last] with 206
        Unsatisfiable, // the range starts at or past the end: 416
    };
    Outcome outcome = Outcome::Whole;
    qint64 first = 0;
    qint64 last = -1;

    qint64 length() const { return last - first + 1; }

    // "bytes=N-", "bytes=N-M" and "bytes=-S". A header that does not parse, or asks for several
    // ranges, is ignored (the whole entity is a valid answer to it).
    static ByteRange resolve(const QByteArray &header, qint64 size);
};

} // namespace standin
