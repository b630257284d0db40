#include "PathIdentity.h"

#include "platform/FileStamp.h"

PathIdentity PathIdentity::of(const QString &path)
{
    const FileStamp stamp = FileStamp::of(path);
    return {stamp.exists, stamp.device, stamp.inode};
}
