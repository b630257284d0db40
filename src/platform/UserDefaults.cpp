#include "UserDefaults.h"

#include <QMutex>
#include <QSettings>

namespace {

QMutex &settingsMutex()
{
    static QMutex mutex;
    return mutex;
}

QSettings openSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ostrelle"),
                     QStringLiteral("Velquor"));
}

} // namespace

UserDefaults &UserDefaults::standard()
{
    static UserDefaults defaults;
    return defaults;
}

QVariant UserDefaults::value(const QString &key) const
{
    QMutexLocker lock(&settingsMutex());
    return openSettings().value(key);
}

QString UserDefaults::string(const QString &key) const
{
    return value(key).toString();
}

qint64 UserDefaults::integer(const QString &key) const
{
    bool ok = false;
    const qint64 number = value(key).toLongLong(&ok);
    return ok ? number : 0;
}

bool UserDefaults::boolValue(const QString &key) const
{
    const QString text = value(key).toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("yes"))
        return true;
    return integer(key) != 0;
}

bool UserDefaults::contains(const QString &key) const
{
    QMutexLocker lock(&settingsMutex());
    return openSettings().contains(key);
}

void UserDefaults::setValue(const QString &key, const QVariant &value)
{
    QMutexLocker lock(&settingsMutex());
    QSettings settings = openSettings();
    settings.setValue(key, value);
    settings.sync();
}

void UserDefaults::setInteger(const QString &key, qint64 value)
{
    setValue(key, value);
}

void UserDefaults::setBool(const QString &key, bool value)
{
    setValue(key, value ? 1 : 0);
}

void UserDefaults::remove(const QString &key)
{
    QMutexLocker lock(&settingsMutex());
    QSettings settings = openSettings();
    settings.remove(key);
    settings.sync();
}

void UserDefaults::synchronize()
{
    QMutexLocker lock(&settingsMutex());
    openSettings().sync();
}
