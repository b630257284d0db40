#pragma once

#include <QString>

// The file-system figures of one candidate card volume.
struct VelquorDeviceAttributes
{
    QString path;
    QString name;
    qint64 freeSize = 0;  // bytes available to the user
    qint64 totalSize = 0; // bytes of the file system
};
