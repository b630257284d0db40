#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>

namespace SQLite {
class Statement;
}

class VelquorDownloadModel;
using VelquorDownloadModelPtr = std::shared_ptr<VelquorDownloadModel>;
using VelquorDownloadModelList = QList<VelquorDownloadModelPtr>;

// Download states of a record.
enum VelquorDownloadState : qint64 {
    VelquorDownloadStateNone = 0,
    VelquorDownloadStateDownloading = 1,
    VelquorDownloadStateWaiting = 2,
    VelquorDownloadStatePaused = 3,
    VelquorDownloadStateDownloaded = 4,
    VelquorDownloadStateFailed = 5,
    VelquorDownloadStateExtracting = 6,
    VelquorDownloadStateWaitingInstall = 7,
    VelquorDownloadStateInstalled = 8,
    VelquorDownloadStateInstallFailed = 9,
};

// One archive file of one software package of one vehicle, from the service's offer until it is
// installed. The same record is an element of the update-list answer, a row of the download and
// install tables, and the unit of work of the download manager.
//
// Records are shared between threads as std::shared_ptr. One owner changes a record at a time while
// others read it, so every accessor takes the record's own mutex: each single read or write is
// atomic, and a reader never sees a half-written text or byte array. Nothing holds that mutex while
// calling out, so accessors never deadlock with other locks.
//
// A text that was never set is absent (a null QString); resumeData that was never set is a null
// QByteArray ("no resume data").
class VelquorDownloadModel
{
public:
    VelquorDownloadModel() = default;
    VelquorDownloadModel(const VelquorDownloadModel &) = delete;
    VelquorDownloadModel &operator=(const VelquorDownloadModel &) = delete;

    static VelquorDownloadModelPtr create();

    // A record filled from the current row of a query over either table (SELECT *). Text columns
    // that are NULL read as "<null>", as the stored rows always have; the usable-text rule treats
    // that as empty.
    static VelquorDownloadModelPtr fromRow(const SQLite::Statement &row);

    // JSON: property name -> JSON key for the fields whose key differs from the name.
    static const QHash<QString, QString> &replacedKeyFromPropertyName();
    // A new record from a JSON object (update-list element, or a record's own toJson()).
    static VelquorDownloadModelPtr fromJson(const QJsonObject &object);
    // Reads the members present in the object; numbers may come as numeric strings, flags as
    // "yes"/"true"/"no"/"false" or numbers; null or missing members leave a field as it is;
    // unknown members are ignored.
    void setValuesFromJson(const QJsonObject &object);
    // Every stored and in-memory field under its JSON key; absent texts and resume data are left out.
    QJsonObject toJson() const;

    // A separate record with the same values (JSON round trip, as the download manager copies).
    VelquorDownloadModelPtr copy() const;

    QString software() const;
    void setSoftware(const QString &value);
    QString version() const;
    void setVersion(const QString &value);
    // Trimmed of white space and line breaks at both ends.
    QString language() const;
    void setLanguage(const QString &value);
    QString releaseVerion() const;
    void setReleaseVerion(const QString &value);
    bool isUpdate() const;
    void setIsUpdate(bool value);
    QString filePath() const;
    void setFilePath(const QString &value);
    QString sdPath() const;
    void setSdPath(const QString &value);
    // Every "OSTRELLE_VELQUOR_FLAG" turned back into a line feed.
    QString updateInfo() const;
    void setUpdateInfo(const QString &value);
    double price() const;
    void setPrice(double value);
    QString vehicle() const;
    void setVehicle(const QString &value);
    QString zipPath() const;
    void setZipPath(const QString &value);
    QString vid() const;
    void setVid(const QString &value);
    QString url() const;
    void setUrl(const QString &value);
    QByteArray resumeData() const;
    void setResumeData(const QByteArray &value);
    double progress() const;
    void setProgress(double value);
    qint64 state() const;
    void setState(qint64 value);
    quint64 totalFileSize() const;
    void setTotalFileSize(quint64 value);
    quint64 tmpFileSize() const;
    void setTmpFileSize(quint64 value);
    quint64 speed() const;
    void setSpeed(quint64 value);
    double lastSpeedTime() const;
    void setLastSpeedTime(double value);
    quint64 intervalFileSize() const;
    void setIntervalFileSize(quint64 value);
    quint64 lastStateTime() const;
    void setLastStateTime(quint64 value);
    float ratio() const;
    void setRatio(float value);
    quint64 expectedContentLength() const;
    void setExpectedContentLength(quint64 value);
    // Kept in memory only.
    qint32 resumeCount() const;
    void setResumeCount(qint32 value);
    bool isSelected() const;
    void setSelected(bool value);

private:
    mutable std::mutex m_mutex;
    QString m_software;
    QString m_version;
    QString m_language;
    QString m_releaseVerion;
    bool m_isUpdate = false;
    QString m_filePath;
    QString m_sdPath;
    QString m_updateInfo;
    double m_price = 0;
    QString m_vehicle;
    QString m_zipPath;
    QString m_vid;
    QString m_url;
    QByteArray m_resumeData;
    double m_progress = 0;
    qint64 m_state = 0;
    quint64 m_totalFileSize = 0;
    quint64 m_tmpFileSize = 0;
    quint64 m_speed = 0;
    double m_lastSpeedTime = 0;
    quint64 m_intervalFileSize = 0;
    quint64 m_lastStateTime = 0;
    float m_ratio = 0;
    quint64 m_expectedContentLength = 0;
    qint32 m_resumeCount = 0;
    bool m_selected = false;
};
