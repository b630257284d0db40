#pragma once

#include "core/VelquorDownloadModel.h"
#include "core/VelquorVehicleModel.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

class QTranslator;

// The application's shared utility object: where things are (archive cache, package directories on
// the chosen card, their version, language and link files), when a text is usable, how versions are
// read and compared, the user-interface language and the two tables shipped with the application.
//
// Every card path is made by one checked join: the card root must be an absolute path and a
// card-relative path must be usable and free of "." and ".." components (a leading "/" is read
// from the card root), so a hostile path from the service or the database can never name anything
// outside the card. A refused path reads as absent (empty text, NO).
//
// All methods may be called from any thread. The only state is saveFilePath and
// indexOfSelectedItem, exchanged atomically, plus the language tables, loaded once per language.
class VelquorCommonTool
{
public:
    VelquorCommonTool();
    ~VelquorCommonTool();
    VelquorCommonTool(const VelquorCommonTool &) = delete;
    VelquorCommonTool &operator=(const VelquorCommonTool &) = delete;

    static VelquorCommonTool &sharedTool();

    // Root path of the card volume chosen on the updates page; empty when no card is chosen.
    QString saveFilePath() const;
    void setSaveFilePath(const QString &path);
    qint64 indexOfSelectedItem() const;
    void setIndexOfSelectedItem(qint64 index);

    // --- Usable-text rule: absent, null, blank, "NULL", "<null>" and "(null)" count as empty.
    static bool isUsableText(const QString &text);
    static bool isUsableText(const QVariant &value);

    // --- Versions (32-bit float, as the service and the card write them).
    static float getVersionNumber(const QString &version);
    static float compare2Version1(const QString &version1, const QString &version2);
    // YES when version1 is newer than version2 by more than 0.001.
    static bool compareVersion1(const QString &version1, const QString &version2);
    // YES when the card's installed version equals the record's to two decimals.
    bool isSameVersion(const VelquorDownloadModelPtr &model) const;
    // "V%0.02f" of the highest installed version of the records' packages ("V0.00" when none).
    QString getMaxVersionFromList(const VelquorDownloadModelList &models) const;

    // --- Archive cache: Documents/"Update".
    QString getUpdateDirectory() const;                                       // created; empty on error
    QString getSoftwareUpdatePathWithSoftware(const QString &software) const; // created; empty on error
    // Cache path of the URL's file name; empty when the name is empty, "." or "..".
    QString getZipResourcePath(const QString &url) const;
    // The URL's file name with a ".zip" ending turned into ".7z".
    static QString get7zFileName(const QString &url);
    QString get7ZResourcePath(const QString &url) const;
    // URL of the whole package from the URL of one of its split parts (name_N.zip -> name.zip).
    static QString getDataPackageURLFromZipURL(const QString &url);
    bool getHasDownFile(const VelquorDownloadModelPtr &model) const;
    // Removes a cached archive: only a regular file strictly inside the archive cache.
    bool removeCachedArchive(const QString &path) const;

    // --- Card paths (empty text when refused or not found).
    QString getDecompressPathWithSoftware(const QString &relativePath) const;
    QString getScanPathFromSDCard() const;
    static QString getParentPath(const QString &path);
    // Extraction target: card root joined with the parent of the record's sdPath (may be the root).
    QString getSoftwareParentPath(const VelquorDownloadModelPtr &model) const;
    // The same under the given card root, whatever card is chosen now.
    static QString getSoftwareParentPath(const VelquorDownloadModelPtr &model, const QString &cardRoot);
    // The package directory relative to the extraction target ("BENZ" for "Vehicles/Europe/BENZ"):
    // where every entry of the package's archives belongs.
    static QString getSoftwareFolderInParent(const VelquorDownloadModelPtr &model);
    // Existing package directory on the card, as written or in a letter-case variant.
    QString getSoftwarePathByPath(const QString &relativePath) const;
    static QString getPathByDirectoryEnumerator(const QString &fullPath);
    QString getSoftwarePath(const VelquorDownloadModelPtr &model) const;
    // The same under the given card root, whatever card is chosen now.
    static QString getSoftwarePath(const VelquorDownloadModelPtr &model, const QString &cardRoot);
    // Where a package is written under the card root: its existing directory in any letter case,
    // otherwise the path as written (empty when the record's path is not a sound card path).
    static QString getSoftwarePathToWrite(const VelquorDownloadModelPtr &model, const QString &cardRoot);
    // Card root + sdPath exists exactly as written, and is not a folder half written or half removed.
    bool getHasSoftwarePath(const VelquorDownloadModelPtr &model) const;
    static QString getVersionPathFromFilePath(const QString &directory);
    static QString getVersionFromFilePath(const QString &directory);
    static QString getContentFromFilePath(const QString &filePath);
    static QString getLinkFromFilePath(const QString &directory);
    static bool getIsHasLanFromFilePath(const QString &directory, const QString &name);
    bool getIsHasLanFromModel(const VelquorDownloadModelPtr &model) const;
    // Removes card root + sdPath (as written) with everything below it.
    bool unInstallSoftwore(const VelquorDownloadModelPtr &model) const;
    // The same under the given card root, whatever card is chosen now.
    static bool unInstallSoftwore(const VelquorDownloadModelPtr &model, const QString &cardRoot);
    static bool removeItemAtPath(const QString &path);

    // --- Documents/"version.txt".
    QString getVersion() const;
    bool writeVersion(const QString &text) const;

    // --- Text checks.
    static bool isAvailableEmail(const QString &text);
    static bool isAvailablePassword(const QString &text);
    static QString md5String(const QString &text);
    static QString md5String(const QByteArray &bytes);
    static QByteArray md5Data(const QByteArray &bytes);
    static bool isPureDigit(const QString &text);
    static bool isNumber(const QString &text);

    // --- Language.
    static const QStringList &applicationSupportLanguages();
    // The supported code chosen for these preferred languages ("en" when none fits).
    static QString chooseLanguage(const QStringList &preferredLanguages);
    // The user's preferred languages: the test override when set, else the system's.
    QStringList preferredLanguages() const;
    // Test seam: use these preferred languages instead of the system's (nullopt restores).
    void setPreferredLanguagesOverride(const std::optional<QStringList> &languages);
    // The language whose table the texts come from: the chosen code when its table is compiled
    // in, else "en". Chosen again at every call.
    QString getCurrentLanguageBundle() const;
    // The text of the key in the table "Localizable" of the current language; the key itself
    // when the table has no text for it.
    QString localizedString(const QString &key) const;
    // Where the compiled tables are (":/translations" unless a test points elsewhere).
    void setTranslationsDirectory(const QString &directory);
    // Path of a language's compiled table: <directory>/Velquor_<code>.qm.
    QString translationResourcePath(const QString &languageCode) const;

    // --- Tables shipped with the application (":/car_ini.txt", ":/car_version.txt").
    // Upper-case path -> vehicle row, over all car_ini data lines.
    QHash<QString, VelquorVehicleModel> getNewAllVehicleModelsFromBundle() const;
    // Section -> (key -> value) of car_version.
    QHash<QString, QHash<QString, QString>> getAllVersionModelsFromBundle() const;
    // car_ini rows in file order.
    QList<VelquorVehicleModel> getVehicleModelsFromBundle() const;
    // Section ("General" before the first header) -> rows in file order.
    QHash<QString, QList<VelquorVehicleModel>> getAllVehicleModelsFromBundle() const;
    // Vehicle name -> its sub-vehicle names (ordered, no case-insensitive duplicates), names sorted
    // case-insensitively.
    QList<QPair<QString, QStringList>> getVehicles() const;

    // The same readings over given bytes (UTF-8, CR LF lines).
    static QHash<QString, VelquorVehicleModel> parseNewAllVehicleModels(const QByteArray &carIni);
    static QHash<QString, QHash<QString, QString>> parseAllVersionModels(const QByteArray &carVersion);
    static QList<VelquorVehicleModel> parseVehicleModels(const QByteArray &carIni);
    static QHash<QString, QList<VelquorVehicleModel>> parseAllVehicleModels(const QByteArray &carIni);
    static QList<QPair<QString, QStringList>> vehiclesFromModels(const QList<VelquorVehicleModel> &models);
    // Sections of a "//"-sectioned text in file order: (name, lines). Lines before the first header
    // form the section named by firstSectionName when it is not empty.
    static QList<QPair<QString, QStringList>> parseSections(const QByteArray &text, const QString &firstSectionName);

private:
    // Card root joined with a checked relative path; empty when the root or the path is refused.
    QString joinCardPath(const QString &relativePath, bool allowRoot) const;
    static QString joinCardPath(const QString &root, const QString &relativePath, bool allowRoot);
    static QString softwarePathUnder(const QString &root, const QString &relativePath);
    static QByteArray readResource(const QString &path);
    std::shared_ptr<QTranslator> translatorFor(const QString &languageCode) const;

    mutable std::mutex m_saveFilePathMutex; // a reader always sees a whole old or new value
    QString m_saveFilePath;
    std::atomic<qint64> m_indexOfSelectedItem{0};
    mutable std::mutex m_languageMutex;
    std::optional<QStringList> m_preferredOverride;
    QString m_translationsDirectory;
    mutable std::map<QString, std::shared_ptr<QTranslator>> m_translators;
};
