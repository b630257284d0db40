#include "ByteCountFormatter.h"

#include <QLocale>

#include <array>
#include <cmath>

QString ByteCountFormatter::fileStyle(qint64 bytes)
{
    if (bytes == 0)
        return QStringLiteral("Zero KB");
    const bool negative = bytes < 0;
    const double magnitude = std::fabs(double(bytes));
    const QString sign = negative ? QStringLiteral("-") : QString();
    if (magnitude < 1000) {
        const qint64 whole = negative ? -bytes : bytes;
        return sign + QString::number(whole) + (whole == 1 ? QStringLiteral(" byte") : QStringLiteral(" bytes"));
    }

    struct Unit
    {
        const char *name;
        int decimals;
    };
    static constexpr std::array<Unit, 6> units{{{"KB", 0}, {"MB", 1}, {"GB", 2}, {"TB", 2}, {"PB", 2}, {"EB", 2}}};

    double value = magnitude / 1000.0;
    std::size_t index = 0;
    while (true) {
        const double scale = std::pow(10.0, units[index].decimals);
        const double rounded = std::round(value * scale) / scale;
        // 999.96 MB shows as "1 GB", not "1,000 MB".
        if (rounded >= 1000.0 && index + 1 < units.size()) {
            value /= 1000.0;
            ++index;
            continue;
        }
        QString number = QLocale().toString(rounded, 'f', units[index].decimals);
        if (units[index].decimals > 0) {
            const QChar point = QLocale().decimalPoint().at(0);
            while (number.endsWith(QLatin1Char('0')))
                number.chop(1);
            if (number.endsWith(point))
                number.chop(1);
        }
        return sign + number + QLatin1Char(' ') + QLatin1String(units[index].name);
    }
}
