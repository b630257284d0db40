#include "VelquorDownloadModel.h"

#include "core/VelquorJsonMapping.h"
#include "core/VelquorNetworkConstants.h"

#include <QJsonValue>

#include <SQLiteCpp/Column.h>
#include <SQLiteCpp/Statement.h>

#include <algorithm>
#include <limits>

namespace {

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
    // The service's lenient rules (numeric strings, flag words; null or unreadable keeps the field).
    auto read = [&](const char *property, auto &field) { VelquorJsonConvert::read(member(property), field); };

    std::lock_guard lock(m_mutex);
    read("software", m_software);
    read("version", m_version);
    read("language", m_language);
    read("releaseVerion", m_releaseVerion);
    read("isUpdate", m_isUpdate);
    read("filePath", m_filePath);
    read("sdPath", m_sdPath);
    read("updateInfo", m_updateInfo);
    read("price", m_price);
    read("vehicle", m_vehicle);
    read("zipPath", m_zipPath);
    read("vid", m_vid);
    read("url", m_url);
    const QJsonValue resume = member("resumeData");
    if (resume.isString())
        m_resumeData = QByteArray::fromBase64(resume.toString().toLatin1());
    read("progress", m_progress);
    read("state", m_state);
    read("totalFileSize", m_totalFileSize);
    read("tmpFileSize", m_tmpFileSize);
    read("speed", m_speed);
    read("lastSpeedTime", m_lastSpeedTime);
    read("intervalFileSize", m_intervalFileSize);
    read("lastStateTime", m_lastStateTime);
    read("ratio", m_ratio);
    read("expectedContentLength", m_expectedContentLength);
    qint64 resumeCount = 0;
    if (VelquorJsonConvert::read(member("resumeCount"), resumeCount))
        m_resumeCount = static_cast<qint32>(
            std::clamp<qint64>(resumeCount, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
    read("selected", m_selected);
}

QJsonObject VelquorDownloadModel::toJson() const
{
    // Written through the getters, so language and release notes come out as they read.
    const auto &renames = replacedKeyFromPropertyName();
    QJsonObject object;
    auto put = [&](const char *property, const auto &value) {
        const QJsonValue json = VelquorJsonConvert::write(value);
        if (json.isUndefined())
            return; // an absent text
        const QString name = QString::fromLatin1(property);
        object.insert(renames.value(name, name), json);
    };

    put("software", software());
    put("version", version());
    put("language", language());
    put("releaseVerion", releaseVerion());
    put("isUpdate", isUpdate());
    put("filePath", filePath());
    put("sdPath", sdPath());
    put("updateInfo", updateInfo());
    put("price", price());
    put("vehicle", vehicle());
    put("zipPath", zipPath());
    put("vid", vid());
    put("url", url());
    const QByteArray resume = resumeData();
    if (!resume.isNull())
        put("resumeData", QString::fromLatin1(resume.toBase64()));
    put("progress", progress());
    put("state", static_cast<double>(state()));
    put("totalFileSize", totalFileSize());
    put("tmpFileSize", tmpFileSize());
    put("speed", speed());
    put("lastSpeedTime", lastSpeedTime());
    put("intervalFileSize", intervalFileSize());
    put("lastStateTime", lastStateTime());
    put("ratio", ratio());
    put("expectedContentLength", expectedContentLength());
    put("resumeCount", static_cast<qint64>(resumeCount()));
    put("selected", isSelected());
    return object;
}

VelquorDownloadModelPtr VelquorDownloadModel::copy() const
{
    return fromJson(toJson());
}

// Every accessor holds the record's mutex for exactly one read or write.
#define VELQUOR_GETTER(Type, getter, member)                                                                           \
    Type VelquorDownloadModel::getter() const                                                                          \
    {                                                                                                                  \
        std::lock_guard lock(m_mutex);                                                                                 \
        return member;                                                                                                 \
    }
#define VELQUOR_SETTER(ParameterType, setter, member)                                                                  \
    void VelquorDownloadModel::setter(ParameterType value)                                                             \
    {                                                                                                                  \
        std::lock_guard lock(m_mutex);                                                                                 \
        member = value;                                                                                                \
    }
#define VELQUOR_FIELD(Type, getter, setter, member)                                                                    \
    VELQUOR_GETTER(Type, getter, member)                                                                               \
    VELQUOR_SETTER(Type, setter, member)
#define VELQUOR_TEXT_FIELD(getter, setter, member)                                                                     \
    VELQUOR_GETTER(QString, getter, member)                                                                            \
    VELQUOR_SETTER(const QString &, setter, member)

VELQUOR_TEXT_FIELD(software, setSoftware, m_software)
VELQUOR_TEXT_FIELD(version, setVersion, m_version)
VELQUOR_SETTER(const QString &, setLanguage, m_language)
VELQUOR_TEXT_FIELD(releaseVerion, setReleaseVerion, m_releaseVerion)
VELQUOR_FIELD(bool, isUpdate, setIsUpdate, m_isUpdate)
VELQUOR_TEXT_FIELD(filePath, setFilePath, m_filePath)
VELQUOR_TEXT_FIELD(sdPath, setSdPath, m_sdPath)
VELQUOR_SETTER(const QString &, setUpdateInfo, m_updateInfo)
VELQUOR_FIELD(double, price, setPrice, m_price)
VELQUOR_TEXT_FIELD(vehicle, setVehicle, m_vehicle)
VELQUOR_TEXT_FIELD(zipPath, setZipPath, m_zipPath)
VELQUOR_TEXT_FIELD(vid, setVid, m_vid)
VELQUOR_TEXT_FIELD(url, setUrl, m_url)
VELQUOR_GETTER(QByteArray, resumeData, m_resumeData)
VELQUOR_SETTER(const QByteArray &, setResumeData, m_resumeData)
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

#undef VELQUOR_TEXT_FIELD
#undef VELQUOR_FIELD
#undef VELQUOR_SETTER
#undef VELQUOR_GETTER

QString VelquorDownloadModel::language() const
{
    std::lock_guard lock(m_mutex);
    if (m_language.isNull())
        return m_language;
    return m_language.trimmed();
}

QString VelquorDownloadModel::updateInfo() const
{
    std::lock_guard lock(m_mutex);
    if (m_updateInfo.isNull())
        return m_updateInfo;
    QString notes = m_updateInfo;
    // The answer parser stood this text in for each line feed of the release notes.
    return notes.replace(VelquorNetwork::kLineFeedFlag, QStringLiteral("\n"));
}
