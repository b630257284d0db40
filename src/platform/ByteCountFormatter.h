#pragma once

#include <QString>

// Sizes as shown to the user, in file style: 1000-based units "bytes", "KB", "MB", "GB", "TB", "PB";
// no fraction for KB, one for MB, two from GB on, trailing zeros dropped; zero is "Zero KB".
class ByteCountFormatter
{
public:
    static QString fileStyle(qint64 bytes);
};
