#pragma once

#include <QJsonValue>
#include <QString>

#include <optional>

// Saved records of the application: a JSON document {"archive": 1, "root": <value>}, written
// atomically (a failed write leaves the old file as it was) and readable only by its owner.
class KeyedArchive
{
public:
    static QByteArray encode(const QJsonValue &root);
    static std::optional<QJsonValue> decode(const QByteArray &data);

    static bool write(const QString &path, const QJsonValue &root);
    // Absent when the file is missing, unreadable or not an archive.
    static std::optional<QJsonValue> read(const QString &path);
};
