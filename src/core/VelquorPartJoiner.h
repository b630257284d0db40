#pragma once

#include <QString>
#include <QStringList>

// Joins the parts of a split package into one archive.
class VelquorPartJoiner
{
public:
    // Streams the files, in the given order, into one file written atomically at outputPath. All or
    // nothing: a missing or unreadable part (or a failed write) leaves outputPath as it was.
    static bool join(const QStringList &partPaths, const QString &outputPath, QString *error = nullptr);

    // Natural order: digit runs compare as numbers, the rest without regard to letter case, so
    // "x_9_part.zip" comes before "x_10_part.zip".
    static bool naturalLess(const QString &a, const QString &b);
};
