#include "VelquorResumeData.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {
constexpr const char *VersionKey = "v";
constexpr const char *UrlKey = "url";
constexpr const char *PartialKey = "partial";
constexpr const char *OffsetKey = "offset";
constexpr const char *EtagKey = "etag";
constexpr const char *LastModifiedKey = "lastModified";
} // namespace

QByteArray VelquorResumeData::encode() const
{
    QJsonObject object{
        {VersionKey, CurrentVersion}, {UrlKey, url}, {PartialKey, partialPath}, {OffsetKey, double(offset)}};
    if (!etag.isEmpty())
        object.insert(EtagKey, etag);
    if (!lastModified.isEmpty())
        object.insert(LastModifiedKey, lastModified);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<VelquorResumeData> VelquorResumeData::decode(const QByteArray &data)
{
    if (data.isEmpty())
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    if (object.value(VersionKey).toInt() != CurrentVersion)
        return std::nullopt;
    VelquorResumeData resume;
    resume.url = object.value(UrlKey).toString();
    resume.partialPath = object.value(PartialKey).toString();
    const double offset = object.value(OffsetKey).toDouble(-1);
    if (resume.url.isEmpty() || offset < 0 || offset > 9.0e15)
        return std::nullopt;
    resume.offset = qint64(offset);
    resume.etag = object.value(EtagKey).toString();
    resume.lastModified = object.value(LastModifiedKey).toString();
    return resume;
}

QString VelquorResumeData::validator() const
{
    return etag.isEmpty() ? lastModified : etag;
}
