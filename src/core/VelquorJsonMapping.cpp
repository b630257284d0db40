#include "VelquorJsonMapping.h"

#include <QLocale>
#include <QVariant>

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

// The bounds of the 64-bit integers, exact in double precision.
constexpr double kTwoToThe63 = 9223372036854775808.0;
constexpr double kTwoToThe64 = 18446744073709551616.0;

// A JSON integer exactly as the parser kept it: through a double, ids beyond 2^53 would change.
std::optional<qint64> exactInteger(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const QVariant variant = value.toVariant();
    if (variant.userType() != QMetaType::LongLong)
        return std::nullopt;
    return variant.toLongLong();
}

// A JSON member as a finite number: numbers, flags, numeric strings and flag words.
std::optional<double> numberOf(const QJsonValue &value)
{
    double number = 0;
    if (value.isDouble()) {
        number = value.toDouble();
    } else if (value.isBool()) {
        number = value.toBool() ? 1.0 : 0.0;
    } else if (value.isString()) {
        const QString text = value.toString();
        if (const auto flag = flagWord(text))
            return *flag ? 1.0 : 0.0;
        bool ok = false;
        number = text.trimmed().toDouble(&ok);
        if (!ok)
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    // "inf" and "nan" parse as numbers but are no value the service means.
    if (!std::isfinite(number))
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
    if (const auto whole = exactInteger(value)) {
        target = QString::number(*whole);
        return true;
    }
    if (value.isDouble()) {
        // Whole numbers keep every digit (an id of 17000000 is not "1.7e+07"); others read in
        // their shortest exact form ("0.1").
        const double number = value.toDouble();
        if (std::trunc(number) == number && std::fabs(number) < kTwoToThe63)
            target = QString::number(static_cast<qint64>(number));
        else
            target = QString::number(number, 'g', QLocale::FloatingPointShortest);
        return true;
    }
    return false;
}

bool read(const QJsonValue &value, qint64 &target)
{
    if (const auto whole = exactInteger(value)) {
        target = *whole;
        return true;
    }
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
    // Out of range would be undefined behaviour when converted.
    if (!number || *number >= kTwoToThe63 || *number <= -kTwoToThe63)
        return false;
    target = qint64(std::trunc(*number));
    return true;
}

bool read(const QJsonValue &value, quint64 &target)
{
    if (value.isString()) {
        bool ok = false;
        const quint64 whole = value.toString().trimmed().toULongLong(&ok);
        if (ok) {
            target = whole;
            return true;
        }
    }
    const auto number = numberOf(value);
    if (!number || *number >= kTwoToThe64)
        return false;
    // Sizes and times cannot be negative: a negative number reads as none.
    target = *number < 0 ? 0 : quint64(std::trunc(*number));
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

bool read(const QJsonValue &value, float &target)
{
    const auto number = numberOf(value);
    if (!number || std::fabs(*number) > double(std::numeric_limits<float>::max()))
        return false;
    target = float(*number);
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

QJsonValue write(quint64 value)
{
    return QJsonValue(double(value));
}

QJsonValue write(double value)
{
    return QJsonValue(value);
}

QJsonValue write(float value)
{
    return QJsonValue(double(value));
}

QJsonValue write(bool value)
{
    return QJsonValue(value);
}

} // namespace VelquorJsonConvert
