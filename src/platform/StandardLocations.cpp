#include "StandardLocations.h"

#include <QDir>
#include <QStandardPaths>

QString StandardLocations::documentsDirectory()
{
    QString path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (path.isEmpty())
        path = QDir::homePath() + QStringLiteral("/Documents");
    if (!QDir().mkpath(path))
        return {};
    return path;
}
