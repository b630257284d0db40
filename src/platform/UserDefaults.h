#pragma once

#include <QString>
#include <QVariant>

// The application's saved settings (QSettings, organisation "Ostrelle", application "Velquor").
// Every write is flushed at once so that another process, or a fresh instance, reads it.
// Flags are stored as the integers 0 and 1.
class UserDefaults
{
public:
    static UserDefaults &standard();

    QVariant value(const QString &key) const;
    QString string(const QString &key) const;
    qint64 integer(const QString &key) const; // 0 when absent or not a number
    bool boolValue(const QString &key) const; // a non-zero integer, or "true"/"yes"
    bool contains(const QString &key) const;

    void setValue(const QString &key, const QVariant &value);
    void setInteger(const QString &key, qint64 value);
    void setBool(const QString &key, bool value);
    void remove(const QString &key);
    void synchronize();
};
