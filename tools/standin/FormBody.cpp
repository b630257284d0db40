#include "FormBody.h"

#include <QList>

namespace standin {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::vector<FormBody::Field> FormBody::parse(const QByteArray &body)
{
    std::vector<Field> fields;
    if (body.isEmpty())
        return fields;
    for (const QByteArray &pair : body.split('&')) {
        if (pair.isEmpty())
            continue;
        const qsizetype equals = pair.indexOf('=');
        if (equals < 0)
            fields.emplace_back(decode(pair), QByteArray());
        else
            fields.emplace_back(decode(pair.left(equals)), decode(pair.mid(equals + 1)));
    }
    return fields;
}

QByteArray FormBody::decode(const QByteArray &component)
{
    QByteArray decoded;
    decoded.reserve(component.size());
    for (qsizetype i = 0; i < component.size(); ++i) {
        const char c = component.at(i);
        if (c == '+') {
            decoded.append(' ');
        } else if (c == '%' && i + 2 < component.size() && hexValue(component.at(i + 1)) >= 0 &&
                   hexValue(component.at(i + 2)) >= 0) {
            decoded.append(char(hexValue(component.at(i + 1)) * 16 + hexValue(component.at(i + 2))));
            i += 2;
        } else {
            decoded.append(c);
        }
    }
    return decoded;
}

} // namespace standin
