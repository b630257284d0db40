#include "ServedFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace standin {

std::optional<ServedFile> ServedFile::locate(const QString &root, const QString &requestPath)
{
    if (root.isEmpty() || requestPath.contains(QChar(0)) || requestPath.contains(QLatin1Char('\\')))
        return std::nullopt;
    const QStringList segments = requestPath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (segments.isEmpty())
        return std::nullopt;
    for (const QString &segment : segments) {
        if (segment == QLatin1String("..") || segment == QLatin1String("."))
            return std::nullopt;
    }

    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    if (canonicalRoot.isEmpty())
        return std::nullopt;
    const QFileInfo info(canonicalRoot + QLatin1Char('/') + segments.join(QLatin1Char('/')));
    // A link inside the root must not lead out of it.
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty() || !canonical.startsWith(canonicalRoot + QLatin1Char('/')))
        return std::nullopt;
    const QFileInfo target(canonical);
    if (!target.isFile() || !target.isReadable())
        return std::nullopt;

    ServedFile file;
    file.m_path = canonical;
    file.m_size = target.size();
    file.m_modified = target.lastModified().toUTC();
    return file;
}

QByteArray ServedFile::etag() const
{
    return '"' + QByteArray::number(m_size, 16) + '-' + QByteArray::number(m_modified.toMSecsSinceEpoch(), 16) + '"';
}

QByteArray ServedFile::lastModified() const
{
    return httpDate(m_modified);
}

bool ServedFile::matchesValidator(const QByteArray &ifRange) const
{
    const QByteArray value = ifRange.trimmed();
    if (value.startsWith("W/"))
        return false; // a weak tag never validates a range
    if (value.startsWith('"'))
        return value == etag();
    if (value == lastModified())
        return true;
    // An HTTP date names the file only when it is the file's own modification time (whole seconds).
    const QDateTime date = QDateTime::fromString(QString::fromLatin1(value), Qt::RFC2822Date);
    return date.isValid() && date.toSecsSinceEpoch() == m_modified.toSecsSinceEpoch();
}

QByteArray ServedFile::httpDate(const QDateTime &time)
{
    return QLocale::c().toString(time.toUTC(), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'")).toLatin1();
}

} // namespace standin
