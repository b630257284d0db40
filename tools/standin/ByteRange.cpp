#include "ByteRange.h"

namespace standin {

namespace {

bool parseNumber(const QByteArray &text, qint64 *value)
{
    if (text.isEmpty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    bool ok = false;
    *value = text.toLongLong(&ok);
    return ok;
}

} // namespace

ByteRange ByteRange::resolve(const QByteArray &header, qint64 size)
{
    ByteRange range;
    const QByteArray text = header.trimmed();
    if (!text.startsWith("bytes="))
        return range;
    const QByteArray spec = text.mid(6).trimmed();
    if (spec.contains(','))
        return range;
    const qsizetype dash = spec.indexOf('-');
    if (dash < 0)
        return range;
    const QByteArray firstText = spec.left(dash).trimmed();
    const QByteArray lastText = spec.mid(dash + 1).trimmed();

    if (firstText.isEmpty()) {
        qint64 suffix = 0;
        if (!parseNumber(lastText, &suffix))
            return range;
        if (suffix == 0 || size == 0) {
            range.outcome = Outcome::Unsatisfiable;
            return range;
        }
        range.outcome = Outcome::Partial;
        range.first = qMax<qint64>(0, size - suffix);
        range.last = size - 1;
        return range;
    }

    qint64 first = 0;
    if (!parseNumber(firstText, &first))
        return range;
    qint64 last = size - 1;
    if (!lastText.isEmpty()) {
        if (!parseNumber(lastText, &last) || last < first)
            return range;
    }
    if (first >= size) {
        range.outcome = Outcome::Unsatisfiable;
        return range;
    }
    range.outcome = Outcome::Partial;
    range.first = first;
    range.last = qMin(last, size - 1);
    return range;
}

} // namespace standin
