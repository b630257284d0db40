#include "VelquorJsonMapping.h"

#include <QLocale>

#include <cmath>
#include <limits>
#include <optional>

namespace {

// "yes"/"true"/"no"/"false" in any letter case, as the service writes its flags.
std::optional<bool> flagWord(const QString &text)
{
    const QString word = text.trimmed().toLower();
    if (word == QLatin1String("yes") || word == QLatin1String("true"))
        return true;
    if (word == QLatin1String("no") || word == QLatin1String("false"))
        return false;
    return std::nullopt;
}

// A JSON member as a number: numbers, flags, numeric strings and flag words.
std::optional<double> numberOf(const QJsonValue &value)
{
    if (value.isDouble())
        return value.toDouble();
    if (value.isBool())
        return value.toBool() ? 1.0 : 0.0;
    if (!value.isString())
        return std::nullopt;
    const QString text = value.toString();
    if (const auto flag = flagWord(text))
        return *flag ? 1.0 : 0.0;
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || std::isnan(number))
        return std::nullopt;
    return number;
}

} // namespace

namespace VelquorJsonConvert {

bool read(const QJsonValue &value, QString &target)
{
    if (value.isString()) {
        target = value.toString();
        return true;
    }
    if (value.isBool()) {
        target = value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        return true;
    }
    if (value.isDouble()) {
        target = QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        return true;
    }
    return false;
}

bool read(const QJsonValue &value, qint64 &target)
{
    if (value.isString()) {
        // Whole numbers keep every digit; anything else goes through the floating-point reading.
        bool ok = false;
        const qint64 whole = value.toString().trimmed().toLongLong(&ok);
        if (ok) {
            target = whole;
            return true;
        }
    }
    const auto number = numberOf(value);
    if (!number)
        return false;
    constexpr double limit = 9.2233720368547758e18;
    if (*number >= limit || *number <= -limit || std::isinf(*number))
        return false;
    target = qint64(std::trunc(*number));
    return true;
}

bool read(const QJsonValue &value, double &target)
{
    const auto number = numberOf(value);
    if (!number)
        return false;
    target = *number;
    return true;
}

bool read(const QJsonValue &value, bool &target)
{
    const auto number = numberOf(value);
    if (!number)
        return false;
    target = *number != 0;
    return true;
}

QJsonValue write(const QString &value)
{
    return value.isNull() ? QJsonValue(QJsonValue::Undefined) : QJsonValue(value);
}

QJsonValue write(qint64 value)
{
    return QJsonValue(value);
}

QJsonValue write(double value)
{
    return QJsonValue(value);
}

QJsonValue write(bool value)
{
    return QJsonValue(value);
}

} // namespace VelquorJsonConvert
