#include "AppInfo.h"

#include <QCoreApplication>

QString AppInfo::name()
{
    return QStringLiteral(VELQUOR_APP_NAME);
}

QString AppInfo::version()
{
    return QStringLiteral(VELQUOR_APP_VERSION);
}

QString AppInfo::organization()
{
    return QStringLiteral("Ostrelle");
}

void AppInfo::applyToApplication()
{
    QCoreApplication::setApplicationName(name());
    QCoreApplication::setApplicationVersion(version());
    QCoreApplication::setOrganizationName(organization());
}
