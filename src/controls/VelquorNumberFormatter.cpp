#include "VelquorNumberFormatter.h"

VelquorNumberFormatter::VelquorNumberFormatter(QObject *parent) : QValidator(parent) {}

bool VelquorNumberFormatter::isPartialStringValid(const QString &partialString)
{
    if (partialString.isEmpty())
        return true;
    qsizetype i = 0;
    const qsizetype n = partialString.size();
    // Scanning an integer skips white space (newlines included) before it and after it,
    // takes one optional sign and needs at least one decimal digit.
    while (i < n && partialString.at(i).isSpace())
        ++i;
    if (i < n && (partialString.at(i) == u'-' || partialString.at(i) == u'+'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < n && partialString.at(i) >= u'0' && partialString.at(i) <= u'9')
        ++i;
    if (i == digitsStart)
        return false;
    while (i < n && partialString.at(i).isSpace())
        ++i;
    return i == n;
}

QValidator::State VelquorNumberFormatter::validate(QString &input, int &) const
{
    return isPartialStringValid(input) ? Acceptable : Invalid;
}
