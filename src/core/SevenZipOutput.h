#pragma once

#include "core/LzmaToolError.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Reading of what 7zz prints. Progress (-bsp1) comes as updates that overwrite each other with
// backspaces, e.g. " 78% 4 - Scan/FORD/big.bin"; errors come as lines on the error stream.
class SevenZipOutput
{
public:
    struct Progress
    {
        double fraction = 0; // 0 to 0.99: 7-Zip never prints 100%
        QString path;        // the item being worked on; empty when the update names none
    };

    // One item of a technical listing (`7zz l -slt`).
    struct ListedItem
    {
        QString path;
        bool folder = false;
        bool link = false; // a symbolic or hard link, or a reparse point
    };

    // Feeds bytes of the progress stream; answers the complete updates they finish.
    QList<Progress> feed(const QByteArray &bytes);

    // One update's text, already cut at backspaces; false when the text is no progress update.
    static bool parseUpdate(const QString &text, Progress *progress);

    // The items of a whole technical listing, in the order listed.
    static QList<ListedItem> parseListing(const QByteArray &listing);

    static bool isWrongPassword(const QString &errorText);
    static bool isCorruptArchive(const QString &errorText);
    static bool isNoSpace(const QString &errorText);
    // Whether an error line only says that a file's attributes could not be set because the file
    // system cannot hold them (a FAT card: EPERM from the kernel's vfat, ENOSYS through FUSE, or
    // EOPNOTSUPP); the file itself was written.
    static bool isUnsupportedAttributeComplaint(const QString &line);

    // The error of a run that ended with a non-zero exit code.
    static LzmaToolError errorFor(int exitCode, const QString &errorText);

private:
    QByteArray m_pending;
};
