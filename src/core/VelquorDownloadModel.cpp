#include "VelquorDownloadModel.h"

#include <QJsonValue>

#include <SQLiteCpp/Column.h>
#include <SQLiteCpp/Statement.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {
const QString kUpdateInfoLineFeedFlag = QStringLiteral("OSTRELLE_VELQUOR_FLAG");

// --- Lenient JSON readers: the service sends numbers as strings and flags as words. Each answers
// nothing when the member cannot be read, so the field keeps its value.

std::optional<double> jsonNumber(const QJsonValue &value)
{
    if (value.isDouble())
        return value.toDouble();
    if (value.isBool())
        return value.toBool() ? 1.0 : 0.0;
    if (value.isString()) {
        const QString text = value.toString().trimmed();
        const QString lower = text.toLower();
        if (lower == QLatin1String("yes") || lower == QLatin1String("true"))
            return 1.0;
        if (lower == QLatin1String("no") || lower == QLatin1String("false"))
            return 0.0;
        bool ok = false;
        const double number = text.toDouble(&ok);
        if (ok && std::isfinite(number))
            return number;
    }
    return std::nullopt;
}

std::optional<qint64> jsonInt64(const QJsonValue &value)
{
    if (value.isString()) {
        bool ok = false;
        const qint64 exact = value.toString().trimmed().toLongLong(&ok);
        if (ok)
            return exact;
    }
    const std::optional<double> number = jsonNumber(value);
    if (!number)
        return std::nullopt;
    // Out-of-range doubles would be undefined behaviour when converted.
    if (*number >= 9.2e18 || *number <= -9.2e18)
        return std::nullopt;
    return static_cast<qint64>(*number);
}

std::optional<quint64> jsonUInt64(const QJsonValue &value)
{
    if (value.isString()) {
        bool ok = false;
        const quint64 exact = value.toString().trimmed().toULongLong(&ok);
        if (ok)
            return exact;
    }
    const std::optional<double> number = jsonNumber(value);
    if (!number)
        return std::nullopt;
    if (*number < 0)
        return 0;
    if (*number >= 1.8e19)
        return std::nullopt;
    return static_cast<quint64>(*number);
}

std::optional<bool> jsonBool(const QJsonValue &value)
{
    const std::optional<double> number = jsonNumber(value);
    if (!number)
        return std::nullopt;
    return *number != 0;
}

std::optional<QString> jsonText(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 17);
    if (value.isBool())
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return std::nullopt;
}

// "%@" of a column: NULL reads as "<null>".
QString rowText(const SQLite::Statement &row, const char *name)
{
    const SQLite::Column column = row.getColumn(name);
    if (column.isNull())
        return QStringLiteral("<null>");
    return QString::fromUtf8(column.getText(), column.getBytes());
}

} // namespace

VelquorDownloadModelPtr VelquorDownloadModel::create()
{
    return std::make_shared<VelquorDownloadModel>();
}

VelquorDownloadModelPtr VelquorDownloadModel::fromRow(const SQLite::Statement &row)
{
    auto model = create();
    model->m_software = rowText(row, "software");
    model->m_version = rowText(row, "version");
    model->m_language = rowText(row, "language");
    model->m_releaseVerion = rowText(row, "releaseVerion");
    model->m_isUpdate = row.getColumn("isUpdate").getInt64() != 0;
    model->m_filePath = rowText(row, "filePath");
    model->m_sdPath = rowText(row, "sdPath");
    model->m_updateInfo = rowText(row, "updateInfo");
    model->m_price = row.getColumn("price").getDouble();
    model->m_vehicle = rowText(row, "vehicle");
    model->m_zipPath = rowText(row, "zipPath");
    model->m_vid = rowText(row, "vid");
    model->m_url = rowText(row, "url");
    const SQLite::Column resume = row.getColumn("resumeData");
    if (!resume.isNull()) {
        const char *bytes = static_cast<const char *>(resume.getBlob());
        model->m_resumeData = QByteArray(bytes ? bytes : "", resume.getBytes());
    }
    // Single-precision columns read back as floats.
    model->m_progress = static_cast<float>(row.getColumn("progress").getDouble());
    model->m_state = row.getColumn("state").getInt64();
    model->m_totalFileSize = static_cast<quint64>(row.getColumn("totalFileSize").getInt64());
    model->m_tmpFileSize = static_cast<quint64>(row.getColumn("tmpFileSize").getInt64());
    model->m_speed = static_cast<quint64>(row.getColumn("speed").getInt64());
    model->m_lastSpeedTime = row.getColumn("lastSpeedTime").getDouble();
    model->m_intervalFileSize = static_cast<quint64>(row.getColumn("intervalFileSize").getInt64());
    model->m_lastStateTime = static_cast<quint64>(row.getColumn("lastStateTime").getInt64());
    model->m_expectedContentLength = static_cast<quint64>(row.getColumn("expectedContentLength").getInt64());
    model->m_ratio = static_cast<float>(row.getColumn("ratio").getDouble());
    return model;
}

const QHash<QString, QString> &VelquorDownloadModel::replacedKeyFromPropertyName()
{
    static const QHash<QString, QString> table = {
        {QStringLiteral("releaseVerion"), QStringLiteral("release")},
        {QStringLiteral("isUpdate"), QStringLiteral("is_update")},
        {QStringLiteral("filePath"), QStringLiteral("file_path")},
        {QStringLiteral("sdPath"), QStringLiteral("sd_path")},
        {QStringLiteral("updateInfo"), QStringLiteral("update_info")},
    };
    return table;
}

VelquorDownloadModelPtr VelquorDownloadModel::fromJson(const QJsonObject &object)
{
    auto model = create();
    model->setValuesFromJson(object);
    return model;
}

void VelquorDownloadModel::setValuesFromJson(const QJsonObject &object)
{
    const auto &renames = replacedKeyFromPropertyName();
    auto member = [&](const char *property) {
        const QString name = QString::fromLatin1(property);
        return object.value(renames.value(name, name));
    };
    auto text = [&](const char *property, QString &field) {
        if (const auto value = jsonText(member(property)))
            field = *value;
    };
    auto uint64 = [&](const char *property, quint64 &field) {
        if (const auto value = jsonUInt64(member(property)))
            field = *value;
    };

    std::lock_guard lock(m_mutex);
    text("software", m_software);
    text("version", m_version);
    text("language", m_language);
    text("releaseVerion", m_releaseVerion);
    if (const auto value = jsonBool(member("isUpdate")))
        m_isUpdate = *value;
    text("filePath", m_filePath);
    text("sdPath", m_sdPath);
    text("updateInfo", m_updateInfo);
    if (const auto value = jsonNumber(member("price")))
        m_price = *value;
    text("vehicle", m_vehicle);
    text("zipPath", m_zipPath);
    text("vid", m_vid);
    text("url", m_url);
    const QJsonValue resume = member("resumeData");
    if (resume.isString())
        m_resumeData = QByteArray::fromBase64(resume.toString().toLatin1());
    if (const auto value = jsonNumber(member("progress")))
        m_progress = *value;
    if (const auto value = jsonInt64(member("state")))
        m_state = *value;
    uint64("totalFileSize", m_totalFileSize);
    uint64("tmpFileSize", m_tmpFileSize);
    uint64("speed", m_speed);
    if (const auto value = jsonNumber(member("lastSpeedTime")))
        m_lastSpeedTime = *value;
    uint64("intervalFileSize", m_intervalFileSize);
    uint64("lastStateTime", m_lastStateTime);
    if (const auto value = jsonNumber(member("ratio")))
        m_ratio = static_cast<float>(*value);
    uint64("expectedContentLength", m_expectedContentLength);
    if (const auto value = jsonInt64(member("resumeCount")))
        m_resumeCount = static_cast<qint32>(
            std::clamp<qint64>(*value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
    if (const auto value = jsonBool(member("selected")))
        m_selected = *value;
}

QJsonObject VelquorDownloadModel::toJson() const
{
    // Written through the getters, so language and release notes come out as they read.
    const auto &renames = replacedKeyFromPropertyName();
    QJsonObject object;
    auto put = [&](const char *property, const QJsonValue &value) {
        const QString name = QString::fromLatin1(property);
        object.insert(renames.value(name, name), value);
    };
    auto putText = [&](const char *property, const QString &value) {
        if (!value.isNull())
            put(property, value);
    };
    auto number = [](quint64 value) { return QJsonValue(static_cast<double>(value)); };

    putText("software", software());
    putText("version", version());
    putText("language", language());
    putText("releaseVerion", releaseVerion());
    put("isUpdate", isUpdate());
    putText("filePath", filePath());
    putText("sdPath", sdPath());
    putText("updateInfo", updateInfo());
    put("price", price());
    putText("vehicle", vehicle());
    putText("zipPath", zipPath());
    putText("vid", vid());
    putText("url", url());
    const QByteArray resume = resumeData();
    if (!resume.isNull())
        put("resumeData", QString::fromLatin1(resume.toBase64()));
    put("progress", progress());
    put("state", static_cast<double>(state()));
    put("totalFileSize", number(totalFileSize()));
    put("tmpFileSize", number(tmpFileSize()));
    put("speed", number(speed()));
    put("lastSpeedTime", lastSpeedTime());
    put("intervalFileSize", number(intervalFileSize()));
    put("lastStateTime", number(lastStateTime()));
    put("ratio", static_cast<double>(ratio()));
    put("expectedContentLength", number(expectedContentLength()));
    put("resumeCount", resumeCount());
    put("selected", isSelected());
    return object;
}

VelquorDownloadModelPtr VelquorDownloadModel::copy() const
{
    return fromJson(toJson());
}

#define VELQUOR_FIELD(Type, getter, setter, member)                                                                    \
    Type VelquorDownloadModel::getter() const                                                                          \
    {                                                                                                                  \
        std::lock_guard lock(m_mutex);                                                                                 \
        return member;                                                                                                 \
    }                                                                                                                  \
    void VelquorDownloadModel::setter(Type value)                                                                      \
    {                                                                                                                  \
        std::lock_guard lock(m_mutex);                                                                                 \
        member = value;                                                                                                \
    }

#define VELQUOR_TEXT_FIELD(getter, setter, member)                                                                     \
    QString VelquorDownloadModel::getter() const                                                                       \
    {                                                                                                                  \
        std::lock_guard lock(m_mutex);                                                                                 \
        return member;                                                                                                 \
    }                                                                                                                  \
    void VelquorDownloadModel::setter(const QString &value)                                                            \
    {                                                                                                                  \
        std::lock_guard lock(m_mutex);                                                                                 \
        member = value;                                                                                                \
    }

VELQUOR_TEXT_FIELD(software, setSoftware, m_software)
VELQUOR_TEXT_FIELD(version, setVersion, m_version)
VELQUOR_TEXT_FIELD(releaseVerion, setReleaseVerion, m_releaseVerion)
VELQUOR_FIELD(bool, isUpdate, setIsUpdate, m_isUpdate)
VELQUOR_TEXT_FIELD(filePath, setFilePath, m_filePath)
VELQUOR_TEXT_FIELD(sdPath, setSdPath, m_sdPath)
VELQUOR_FIELD(double, price, setPrice, m_price)
VELQUOR_TEXT_FIELD(vehicle, setVehicle, m_vehicle)
VELQUOR_TEXT_FIELD(zipPath, setZipPath, m_zipPath)
VELQUOR_TEXT_FIELD(vid, setVid, m_vid)
VELQUOR_TEXT_FIELD(url, setUrl, m_url)
VELQUOR_FIELD(double, progress, setProgress, m_progress)
VELQUOR_FIELD(qint64, state, setState, m_state)
VELQUOR_FIELD(quint64, totalFileSize, setTotalFileSize, m_totalFileSize)
VELQUOR_FIELD(quint64, tmpFileSize, setTmpFileSize, m_tmpFileSize)
VELQUOR_FIELD(quint64, speed, setSpeed, m_speed)
VELQUOR_FIELD(double, lastSpeedTime, setLastSpeedTime, m_lastSpeedTime)
VELQUOR_FIELD(quint64, intervalFileSize, setIntervalFileSize, m_intervalFileSize)
VELQUOR_FIELD(quint64, lastStateTime, setLastStateTime, m_lastStateTime)
VELQUOR_FIELD(float, ratio, setRatio, m_ratio)
VELQUOR_FIELD(quint64, expectedContentLength, setExpectedContentLength, m_expectedContentLength)
VELQUOR_FIELD(qint32, resumeCount, setResumeCount, m_resumeCount)
VELQUOR_FIELD(bool, isSelected, setSelected, m_selected)

#undef VELQUOR_FIELD
#undef VELQUOR_TEXT_FIELD

QString VelquorDownloadModel::language() const
{
    std::lock_guard lock(m_mutex);
    if (m_language.isNull())
        return m_language;
    return m_language.trimmed();
}

void VelquorDownloadModel::setLanguage(const QString &value)
{
    std::lock_guard lock(m_mutex);
    m_language = value;
}

QString VelquorDownloadModel::updateInfo() const
{
    std::lock_guard lock(m_mutex);
    if (m_updateInfo.isNull())
        return m_updateInfo;
    QString notes = m_updateInfo;
    return notes.replace(kUpdateInfoLineFeedFlag, QStringLiteral("\n"));
}

void VelquorDownloadModel::setUpdateInfo(const QString &value)
{
    std::lock_guard lock(m_mutex);
    m_updateInfo = value;
}

QByteArray VelquorDownloadModel::resumeData() const
{
    std::lock_guard lock(m_mutex);
    return m_resumeData;
}

void VelquorDownloadModel::setResumeData(const QByteArray &value)
{
    std::lock_guard lock(m_mutex);
    m_resumeData = value;
}
