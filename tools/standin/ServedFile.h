#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace standin {

// A regular file under the file root, found from a request path, with its validators.
class ServedFile
{
public:
    // The file for a decoded request path ("/files/a.7z"). Absent when the path climbs out of the
    // root (a ".." segment, a NUL, a link that leads elsewhere) or names no regular file.
    static std::optional<ServedFile> locate(const QString &root, const QString &requestPath);

    QString path() const { return m_path; }
    qint64 size() const { return m_size; }
    QByteArray etag() const;         // strong, changes with size and modification time
    QByteArray lastModified() const; // HTTP date
    // True when an "If-Range" value (an entity tag or an HTTP date) still names this file.
    bool matchesValidator(const QByteArray &ifRange) const;

    static QByteArray httpDate(const QDateTime &time);

private:
    QString m_path;
    qint64 m_size = 0;
    QDateTime m_modified;
};

} // namespace standin
