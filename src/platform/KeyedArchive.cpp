#include "KeyedArchive.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {
constexpr int archiveVersion = 1;
const QString versionKey = QStringLiteral("archive");
const QString rootKey = QStringLiteral("root");
} // namespace

QByteArray KeyedArchive::encode(const QJsonValue &root)
{
    QJsonObject object;
    object.insert(versionKey, archiveVersion);
    object.insert(rootKey, root);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<QJsonValue> KeyedArchive::decode(const QByteArray &data)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    if (object.value(versionKey).toInt() != archiveVersion || !object.contains(rootKey))
        return std::nullopt;
    return object.value(rootKey);
}

bool KeyedArchive::write(const QString &path, const QJsonValue &root)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray data = encode(root);
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return false;
    // QSaveFile keeps the mode of a file it replaces; make sure the result is private.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

std::optional<QJsonValue> KeyedArchive::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decode(file.readAll());
}
