#pragma once

#include <QByteArray>

#include <utility>
#include <vector>

namespace standin {

// An application/x-www-form-urlencoded body read the way an ASP.NET service reads it: fields split
// at "&", name and value at the first "=", "%XX" decoded and "+" read as a space. Every other
// byte (the JSON text of the clients is mostly sent raw) is kept as it is.
class FormBody
{
public:
    using Field = std::pair<QByteArray, QByteArray>;

    static std::vector<Field> parse(const QByteArray &body);
    // A malformed escape ("%", "%4", "%zz") stays literal, as the service leaves it.
    static QByteArray decode(const QByteArray &component);
};

} // namespace standin
