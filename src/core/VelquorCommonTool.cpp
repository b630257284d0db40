#include "VelquorCommonTool.h"

#include "core/VelquorUnfinishedFolder.h"

#include "platform/StandardLocations.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTranslator>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <locale.h>
#include <stdlib.h>

namespace {
const QString kUpdateDirectoryName = QStringLiteral("Update");
const QString kScanDirectoryName = QStringLiteral("Scan");
const QString kDocumentsVersionFile = QStringLiteral("version.txt");
const QString kCarIniResource = QStringLiteral(":/car_ini.txt");
const QString kCarVersionResource = QStringLiteral(":/car_version.txt");
const QString kTranslationsDirectory = QStringLiteral(":/translations");
const QString kTranslationFilePattern = QStringLiteral("Velquor_%1.qm");
const QString kFallbackLanguage = QStringLiteral("en");
const QString kGeneralSection = QStringLiteral("General");
const QString kLineBreak = QStringLiteral("\r\n");
const QString kSectionMarker = QStringLiteral("//");

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The leading decimal number of a text (optional white space and sign, digits with at most one
// point), as a 32-bit float; 0 when there is none.
float leadingFloat(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    QByteArray number;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        number.append(text.at(i++).toLatin1());
    bool seenPoint = false;
    bool seenDigit = false;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isAsciiDigit(c)) {
            seenDigit = true;
            number.append(c.toLatin1());
        } else if (c == QLatin1Char('.') && !seenPoint) {
            seenPoint = true;
            number.append('.');
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0;
    // Always a decimal point: Qt applies the user's locale to the C library, and under a locale
    // with decimal commas plain strtof would read "2.50" as 2.
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    return strtof_l(number.constData(), nullptr, cLocale);
}

QString capitalizedFirst(const QString &text)
{
    if (text.isEmpty())
        return text;
    return text.left(1).toUpper() + text.mid(1);
}

QString lowerFirst(const QString &text)
{
    if (text.isEmpty())
        return text;
    return text.left(1).toLower() + text.mid(1);
}

// Joins a directory and a name with exactly one "/" between them.
QString joinPath(const QString &directory, const QString &name)
{
    if (directory.endsWith(QLatin1Char('/')))
        return directory + name;
    return directory + QLatin1Char('/') + name;
}

// A name inside a directory; empty when either is empty.
QString pathInside(const QString &directory, const QString &name)
{
    if (directory.isEmpty() || name.isEmpty())
        return {};
    return joinPath(directory, name);
}

// The first of the names that exists in the directory, as a path; empty when none does.
QString firstExistingIn(const QString &directory, const QStringList &names)
{
    for (const QString &name : names) {
        const QString path = joinPath(directory, name);
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

bool existsOnDisk(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// A single file or directory name: not empty, not "." or "..", no separator.
bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/'));
}

QString fileNameOfUrl(const QString &url)
{
    const QString name = url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
    return isPlainFileName(name) ? name : QString();
}

QString makeDirectory(const QString &path)
{
    if (path.isEmpty() || !QDir().mkpath(path))
        return {};
    return path;
}

bool wholeMatch(const QString &pattern, const QString &text)
{
    const QRegularExpression expression(QRegularExpression::anchoredPattern(pattern));
    return expression.match(text).hasMatch();
}

// Whether a preferred language names this code: the code followed by the end, "-" or "_".
bool namesCode(const QString &preferred, const QString &code)
{
    if (!preferred.startsWith(code, Qt::CaseInsensitive))
        return false;
    if (preferred.size() == code.size())
        return true;
    const QChar next = preferred.at(code.size());
    return next == QLatin1Char('-') || next == QLatin1Char('_');
}

QString chineseChoice(const QString &preferred)
{
    if (preferred.contains(QLatin1String("Hans"), Qt::CaseInsensitive))
        return QStringLiteral("zh-Hans");
    if (preferred.contains(QLatin1String("Hant"), Qt::CaseInsensitive))
        return QStringLiteral("zh-HK");
    // Linux locale names carry no script (zh_CN, zh_TW): the locale knows which script it writes.
    if (QLocale(preferred).script() == QLocale::SimplifiedHanScript)
        return QStringLiteral("zh-Hans");
    return QStringLiteral("zh-HK");
}

VelquorVehicleModel vehicleFromFields(const QString &path, const QString &vehicle)
{
    VelquorVehicleModel model;
    QString cardPath = path;
    cardPath.replace(QLatin1Char('\\'), QLatin1Char('/'));
    model.setPath(cardPath);
    model.setVehicle(vehicle);
    QString trimmed = cardPath;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    model.setSubVehicle(trimmed.mid(trimmed.lastIndexOf(QLatin1Char('/')) + 1));
    return model;
}

// A car_ini data line: a card path and a vehicle name separated by two tabs.
std::optional<VelquorVehicleModel> vehicleFromLine(const QString &line)
{
    if (line.startsWith(kSectionMarker))
        return std::nullopt;
    const QStringList fields = line.split(QStringLiteral("\t\t"));
    if (fields.size() != 2)
        return std::nullopt;
    return vehicleFromFields(fields.at(0), fields.at(1));
}

QStringList tableLines(const QByteArray &text)
{
    return QString::fromUtf8(text).split(kLineBreak);
}

} // namespace

VelquorCommonTool::VelquorCommonTool() : m_translationsDirectory(kTranslationsDirectory) {}

VelquorCommonTool::~VelquorCommonTool() = default;

VelquorCommonTool &VelquorCommonTool::sharedTool()
{
    static VelquorCommonTool tool;
    return tool;
}

QString VelquorCommonTool::saveFilePath() const
{
    std::lock_guard lock(m_saveFilePathMutex);
    return m_saveFilePath;
}

void VelquorCommonTool::setSaveFilePath(const QString &path)
{
    std::lock_guard lock(m_saveFilePathMutex);
    m_saveFilePath = path;
}

qint64 VelquorCommonTool::indexOfSelectedItem() const
{
    return m_indexOfSelectedItem.load();
}

void VelquorCommonTool::setIndexOfSelectedItem(qint64 index)
{
    m_indexOfSelectedItem.store(index);
}

// ---------------------------------------------------------------------------------------------
// Usable text

bool VelquorCommonTool::isUsableText(const QString &text)
{
    if (text.isNull() || text == QLatin1String("NULL"))
        return false;
    if (text.trimmed().isEmpty())
        return false;
    return text != QLatin1String("<null>") && text != QLatin1String("(null)");
}

bool VelquorCommonTool::isUsableText(const QVariant &value)
{
    if (!value.isValid() || value.isNull() || value.typeId() == QMetaType::Nullptr)
        return false;
    if (!value.canConvert<QString>())
        return false;
    return isUsableText(value.toString());
}

// ---------------------------------------------------------------------------------------------
// Versions

float VelquorCommonTool::getVersionNumber(const QString &version)
{
    qsizetype begin = 0;
    qsizetype end = version.size();
    while (begin < end && !isAsciiDigit(version.at(begin)))
        ++begin;
    while (end > begin && !isAsciiDigit(version.at(end - 1)))
        --end;
    return leadingFloat(QStringView(version).mid(begin, end - begin));
}

float VelquorCommonTool::compare2Version1(const QString &version1, const QString &version2)
{
    const float difference = getVersionNumber(version1) - getVersionNumber(version2);
    return difference;
}

bool VelquorCommonTool::compareVersion1(const QString &version1, const QString &version2)
{
    return static_cast<double>(compare2Version1(version1, version2)) > 0.001;
}

bool VelquorCommonTool::isSameVersion(const VelquorDownloadModelPtr &model) const
{
    if (!model)
        return false;
    const QString installed = getVersionFromFilePath(getSoftwarePath(model));
    if (installed.isEmpty())
        return false;
    const float a = getVersionNumber(installed);
    const float b = getVersionNumber(model->version());
    // Compared to two decimals, each rounded up in single precision (2.001 is not 2.00).
    const float hundredthsB = b * 100.0f;
    const float hundredthsA = a * 100.0f;
    return std::ceil(hundredthsB) == std::ceil(hundredthsA);
}

QString VelquorCommonTool::getMaxVersionFromList(const VelquorDownloadModelList &models) const
{
    float highest = 0;
    for (const auto &model : models) {
        if (!model)
            continue;
        const float number = getVersionNumber(getVersionFromFilePath(getSoftwarePath(model)));
        if (number > highest)
            highest = number;
    }
    return QString::asprintf("V%0.02f", static_cast<double>(highest));
}

// ---------------------------------------------------------------------------------------------
// Archive cache

QString VelquorCommonTool::getUpdateDirectory() const
{
    const QString documents = StandardLocations::documentsDirectory();
    if (documents.isEmpty())
        return {};
    return makeDirectory(joinPath(documents, kUpdateDirectoryName));
}

QString VelquorCommonTool::getSoftwareUpdatePathWithSoftware(const QString &software) const
{
    // The name comes from the service: it must stay one directory inside the cache.
    const QString cache = getUpdateDirectory();
    if (cache.isEmpty() || !isPlainFileName(software))
        return {};
    return makeDirectory(joinPath(cache, software));
}

QString VelquorCommonTool::getZipResourcePath(const QString &url) const
{
    return pathInside(getUpdateDirectory(), fileNameOfUrl(url));
}

QString VelquorCommonTool::get7zFileName(const QString &url)
{
    const QString name = fileNameOfUrl(url);
    if (!name.endsWith(QLatin1String(".zip")))
        return name;
    return name.left(name.lastIndexOf(QLatin1Char('.')) + 1) + QStringLiteral("7z");
}

QString VelquorCommonTool::get7ZResourcePath(const QString &url) const
{
    return pathInside(getUpdateDirectory(), get7zFileName(url));
}

QString VelquorCommonTool::getDataPackageURLFromZipURL(const QString &url)
{
    // Only the file name decides: an "_" in the host or a directory must not cut the URL.
    const qsizetype nameStart = url.lastIndexOf(QLatin1Char('/')) + 1;
    const QString name = url.mid(nameStart);
    const qsizetype underscore = name.lastIndexOf(QLatin1Char('_'));
    if (underscore < 0 || !name.endsWith(QLatin1String(".zip")))
        return url;
    return url.left(nameStart) + name.left(underscore) + QStringLiteral(".zip");
}

bool VelquorCommonTool::getHasDownFile(const VelquorDownloadModelPtr &model) const
{
    if (!model)
        return false;
    const QString zipPath = model->zipPath();
    return isUsableText(zipPath) && QFileInfo::exists(zipPath);
}

bool VelquorCommonTool::removeCachedArchive(const QString &path) const
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return false;
    const QString cache = QFileInfo(getUpdateDirectory()).canonicalFilePath();
    const QString directory = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (cache.isEmpty() || directory.isEmpty())
        return false;
    if (directory != cache && !directory.startsWith(joinPath(cache, QString())))
        return false;
    return QFile::remove(joinPath(directory, info.fileName()));
}

// ---------------------------------------------------------------------------------------------
// Card paths

QString VelquorCommonTool::joinCardPath(const QString &relativePath, bool allowRoot) const
{
    return joinCardPath(saveFilePath(), relativePath, allowRoot);
}

QString VelquorCommonTool::joinCardPath(const QString &root, const QString &relativePath, bool allowRoot)
{
    if (root.isEmpty() || !QDir::isAbsolutePath(root))
        return {};
    const QString cleanRoot = QDir::cleanPath(root);
    if (relativePath.isEmpty() && allowRoot)
        return cleanRoot;
    if (!isUsableText(relativePath))
        return {};
    // Joined with one "/" between the parts: a leading "/" ("/Scan/FORD") still names a place on
    // the card, never the computer's root.
    const QStringList components = relativePath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (components.isEmpty())
        return allowRoot ? cleanRoot : QString();
    for (const QString &component : components) {
        if (component == QLatin1String(".") || component == QLatin1String(".."))
            return {};
    }
    const QString joined = joinPath(cleanRoot, components.join(QLatin1Char('/')));
    // Strictly inside the card root.
    if (!joined.startsWith(joinPath(cleanRoot, QString())) || joined.size() <= joinPath(cleanRoot, QString()).size())
        return {};
    // A link on the way could lead out of the card (a card folder on a disk that has links);
    // card file systems have none, so any link is refused.
    QString prefix = cleanRoot;
    for (const QString &component : components) {
        prefix = joinPath(prefix, component);
        const QFileInfo step(prefix);
        if (step.isSymLink())
            return {};
        if (!step.exists())
            break;
    }
    return joined;
}

QString VelquorCommonTool::getDecompressPathWithSoftware(const QString &relativePath) const
{
    return joinCardPath(relativePath, false);
}

QString VelquorCommonTool::getScanPathFromSDCard() const
{
    return joinCardPath(kScanDirectoryName, false);
}

QString VelquorCommonTool::getParentPath(const QString &path)
{
    if (path.isEmpty())
        return {};
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QStringLiteral("");
    return path.left(slash);
}

QString VelquorCommonTool::getSoftwareParentPath(const VelquorDownloadModelPtr &model) const
{
    return getSoftwareParentPath(model, saveFilePath());
}

QString VelquorCommonTool::getSoftwareParentPath(const VelquorDownloadModelPtr &model, const QString &cardRoot)
{
    if (!model)
        return {};
    const QString sdPath = model->sdPath();
    // The package directory itself must be a sound card path before its parent is used.
    if (joinCardPath(cardRoot, sdPath, false).isEmpty())
        return {};
    return joinCardPath(cardRoot, getParentPath(sdPath), true);
}

QString VelquorCommonTool::getSoftwareFolderInParent(const VelquorDownloadModelPtr &model)
{
    if (!model)
        return {};
    // What getSoftwareParentPath leaves off the record's sdPath.
    const QString sdPath = model->sdPath();
    QString folder = sdPath.mid(getParentPath(sdPath).size());
    while (folder.startsWith(QLatin1Char('/')))
        folder.remove(0, 1);
    return folder;
}

QString VelquorCommonTool::getSoftwarePathByPath(const QString &relativePath) const
{
    return softwarePathUnder(saveFilePath(), relativePath);
}

QString VelquorCommonTool::softwarePathUnder(const QString &root, const QString &relativePath)
{
    const QString full = joinCardPath(root, relativePath, false);
    if (full.isEmpty())
        return {};
    if (QFileInfo::exists(full))
        return full;
    // The variant shares the written path's parent, whose steps are already checked; the variant itself
    // is held to the same rule: a link could lead off the card.
    const QString variant = getPathByDirectoryEnumerator(full);
    if (variant.isEmpty() || QFileInfo(variant).isSymLink())
        return {};
    return variant;
}

QString VelquorCommonTool::getPathByDirectoryEnumerator(const QString &fullPath)
{
    QString path = QDir::cleanPath(fullPath);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (path.isEmpty() || slash < 0)
        return {};
    const QString parent = path.left(slash);
    const QString last = path.mid(slash + 1);
    if (!isPlainFileName(last))
        return {};
    const QString directory = parent.isEmpty() ? QStringLiteral("/") : parent;
    return firstExistingIn(directory, {last.toUpper(), capitalizedFirst(last), lowerFirst(last), last.toLower()});
}

QString VelquorCommonTool::getSoftwarePath(const VelquorDownloadModelPtr &model) const
{
    return getSoftwarePath(model, saveFilePath());
}

QString VelquorCommonTool::getSoftwarePath(const VelquorDownloadModelPtr &model, const QString &cardRoot)
{
    return model ? softwarePathUnder(cardRoot, model->sdPath()) : QString();
}

QString VelquorCommonTool::getSoftwarePathToWrite(const VelquorDownloadModelPtr &model, const QString &cardRoot)
{
    if (!model)
        return {};
    const QString existing = getSoftwarePath(model, cardRoot);
    return existing.isEmpty() ? joinCardPath(cardRoot, model->sdPath(), false) : existing;
}

bool VelquorCommonTool::getHasSoftwarePath(const VelquorDownloadModelPtr &model) const
{
    if (!model)
        return false;
    const QString full = joinCardPath(model->sdPath(), false);
    return !full.isEmpty() && QFileInfo::exists(full) && !VelquorUnfinishedFolder::isMarked(full);
}

QString VelquorCommonTool::getVersionPathFromFilePath(const QString &directory)
{
    // A folder still being written or removed holds no installed version, whatever files it has.
    if (directory.isEmpty() || VelquorUnfinishedFolder::isMarked(directory))
        return {};
    return firstExistingIn(
        directory, {QStringLiteral("VERSION.TXT"), QStringLiteral("version.txt"), QStringLiteral("Version.txt")});
}

QString VelquorCommonTool::getVersionFromFilePath(const QString &directory)
{
    const QString path = getVersionPathFromFilePath(directory);
    return path.isEmpty() ? QString() : getContentFromFilePath(path);
}

QString VelquorCommonTool::getContentFromFilePath(const QString &filePath)
{
    if (filePath.isEmpty())
        return {};
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString VelquorCommonTool::getLinkFromFilePath(const QString &directory)
{
    if (directory.isEmpty())
        return {};
    return firstExistingIn(directory, {QStringLiteral("link.txt"), QStringLiteral("LINK.TXT")});
}

bool VelquorCommonTool::getIsHasLanFromFilePath(const QString &directory, const QString &name)
{
    if (directory.isEmpty() || name.contains(QLatin1Char('/')) || VelquorUnfinishedFolder::isMarked(directory))
        return false;
    const QString file = name + QStringLiteral(".cfg");
    return !firstExistingIn(directory, {file.toLower(), file.toUpper(), capitalizedFirst(file)}).isEmpty();
}

bool VelquorCommonTool::getIsHasLanFromModel(const VelquorDownloadModelPtr &model) const
{
    if (!model || !isUsableText(model->sdPath()))
        return false;
    const QString directory = getSoftwarePathByPath(model->sdPath());
    QString name = model->language();
    name.remove(QLatin1Char(' '));
    return getIsHasLanFromFilePath(directory, name);
}

bool VelquorCommonTool::unInstallSoftwore(const VelquorDownloadModelPtr &model) const
{
    return unInstallSoftwore(model, saveFilePath());
}

bool VelquorCommonTool::unInstallSoftwore(const VelquorDownloadModelPtr &model, const QString &cardRoot)
{
    if (!model)
        return false;
    const QString path = joinCardPath(cardRoot, model->sdPath(), false);
    if (path.isEmpty() || !existsOnDisk(path))
        return false;
    return removeItemAtPath(path);
}

bool VelquorCommonTool::removeItemAtPath(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    // A link is removed itself, never what it points to.
    if (info.isSymLink() || info.isFile())
        return QFile::remove(path);
    if (info.isDir())
        return QDir(path).removeRecursively();
    return false;
}

// ---------------------------------------------------------------------------------------------
// Documents version file

QString VelquorCommonTool::getVersion() const
{
    const QString documents = StandardLocations::documentsDirectory();
    if (documents.isEmpty())
        return {};
    return getContentFromFilePath(joinPath(documents, kDocumentsVersionFile));
}

bool VelquorCommonTool::writeVersion(const QString &text) const
{
    const QString documents = StandardLocations::documentsDirectory();
    if (documents.isEmpty())
        return false;
    QSaveFile file(joinPath(documents, kDocumentsVersionFile));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

// ---------------------------------------------------------------------------------------------
// Text checks

bool VelquorCommonTool::isAvailableEmail(const QString &text)
{
    return wholeMatch(QStringLiteral("[A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\\.[A-Za-z]{2,}"), text);
}

bool VelquorCommonTool::isAvailablePassword(const QString &text)
{
    return wholeMatch(QStringLiteral("^(?![0-9]+$)(?![a-zA-Z]+$)[a-zA-Z0-9]{6,16}$"), text);
}

QString VelquorCommonTool::md5String(const QString &text)
{
    return md5String(text.toUtf8());
}

QString VelquorCommonTool::md5String(const QByteArray &bytes)
{
    return QString::fromLatin1(md5Data(bytes).toHex());
}

QByteArray VelquorCommonTool::md5Data(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5);
}

bool VelquorCommonTool::isPureDigit(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), isAsciiDigit);
}

bool VelquorCommonTool::isNumber(const QString &text)
{
    if (text.isEmpty())
        return false;
    QStringView rest(text);
    if (rest.startsWith(QLatin1Char('+')) || rest.startsWith(QLatin1Char('-')))
        rest = rest.mid(1);
    return std::all_of(rest.cbegin(), rest.cend(), [](QChar c) { return isAsciiDigit(c) || c == QLatin1Char('.'); });
}

// ---------------------------------------------------------------------------------------------
// Language

const QStringList &VelquorCommonTool::applicationSupportLanguages()
{
    static const QStringList codes = {
        QStringLiteral("en"),      QStringLiteral("pt"), QStringLiteral("hu"), QStringLiteral("zh-HK"),
        QStringLiteral("ru"),      QStringLiteral("ja"), QStringLiteral("pl"), QStringLiteral("it"),
        QStringLiteral("zh-Hans"), QStringLiteral("ko"), QStringLiteral("es"), QStringLiteral("de"),
        QStringLiteral("fr"),      QStringLiteral("nl"), QStringLiteral("sv"), QStringLiteral("th"),
        QStringLiteral("sk"),      QStringLiteral("he"), QStringLiteral("fi"),
    };
    return codes;
}

QString VelquorCommonTool::chooseLanguage(const QStringList &preferredLanguages)
{
    for (QString preferred : preferredLanguages) {
        // Linux locale names: "fr_CA.UTF-8@euro" reads as "fr-CA".
        const qsizetype suffix = preferred.indexOf(QRegularExpression(QStringLiteral("[.@]")));
        if (suffix >= 0)
            preferred.truncate(suffix);
        preferred.replace(QLatin1Char('_'), QLatin1Char('-'));
        if (namesCode(preferred, QStringLiteral("zh")))
            return chineseChoice(preferred);
        for (const QString &code : applicationSupportLanguages()) {
            if (namesCode(preferred, code))
                return code;
        }
    }
    return kFallbackLanguage;
}

QStringList VelquorCommonTool::preferredLanguages() const
{
    {
        std::lock_guard lock(m_languageMutex);
        if (m_preferredOverride)
            return *m_preferredOverride;
    }
    return QLocale::system().uiLanguages();
}

void VelquorCommonTool::setPreferredLanguagesOverride(const std::optional<QStringList> &languages)
{
    std::lock_guard lock(m_languageMutex);
    m_preferredOverride = languages;
}

void VelquorCommonTool::setTranslationsDirectory(const QString &directory)
{
    std::lock_guard lock(m_languageMutex);
    m_translationsDirectory = directory;
    m_translators.clear();
}

QString VelquorCommonTool::translationResourcePath(const QString &languageCode) const
{
    std::lock_guard lock(m_languageMutex);
    return joinPath(m_translationsDirectory, kTranslationFilePattern.arg(languageCode));
}

QString VelquorCommonTool::getCurrentLanguageBundle() const
{
    const QString code = chooseLanguage(preferredLanguages());
    if (QFileInfo::exists(translationResourcePath(code)))
        return code;
    return kFallbackLanguage;
}

std::shared_ptr<QTranslator> VelquorCommonTool::translatorFor(const QString &languageCode) const
{
    // Called with m_languageMutex held.
    const auto found = m_translators.find(languageCode);
    if (found != m_translators.end())
        return found->second;
    auto translator = std::make_shared<QTranslator>();
    if (!translator->load(joinPath(m_translationsDirectory, kTranslationFilePattern.arg(languageCode))))
        translator.reset();
    m_translators.emplace(languageCode, translator);
    return translator;
}

QString VelquorCommonTool::localizedString(const QString &key) const
{
    const QString code = getCurrentLanguageBundle();
    QString text;
    {
        // The tables are id-based: the key is the message id, with no context.
        std::lock_guard lock(m_languageMutex);
        if (const auto translator = translatorFor(code))
            text = translator->translate("", key.toUtf8().constData());
    }
    return text.isEmpty() ? key : text;
}

// ---------------------------------------------------------------------------------------------
// Tables

QByteArray VelquorCommonTool::readResource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QList<QPair<QString, QStringList>> VelquorCommonTool::parseSections(const QByteArray &text,
                                                                    const QString &firstSectionName)
{
    QList<QPair<QString, QStringList>> sections;
    if (text.isEmpty())
        return sections;
    QStringList lines = tableLines(text);
    // A text ending in CR LF has an empty last line, which is no data; a last line with text is.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();

    std::optional<QPair<QString, QStringList>> open;
    if (!firstSectionName.isEmpty())
        open = qMakePair(firstSectionName, QStringList());
    for (const QString &line : std::as_const(lines)) {
        if (line.startsWith(kSectionMarker)) {
            if (open)
                sections.append(*open);
            QString name = line;
            name.remove(kSectionMarker);
            open = qMakePair(name, QStringList());
        } else if (open) {
            open->second.append(line);
        }
    }
    if (open)
        sections.append(*open);
    return sections;
}

QList<VelquorVehicleModel> VelquorCommonTool::parseVehicleModels(const QByteArray &carIni)
{
    QList<VelquorVehicleModel> models;
    if (carIni.isEmpty())
        return models;
    for (const QString &line : tableLines(carIni)) {
        if (const auto model = vehicleFromLine(line))
            models.append(*model);
    }
    return models;
}

QHash<QString, VelquorVehicleModel> VelquorCommonTool::parseNewAllVehicleModels(const QByteArray &carIni)
{
    QHash<QString, VelquorVehicleModel> models;
    for (const VelquorVehicleModel &model : parseVehicleModels(carIni))
        models.insert(model.path().toUpper(), model);
    return models;
}

QHash<QString, QHash<QString, QString>> VelquorCommonTool::parseAllVersionModels(const QByteArray &carVersion)
{
    QHash<QString, QHash<QString, QString>> tables;
    for (const auto &[name, lines] : parseSections(carVersion, QString())) {
        QHash<QString, QString> entries;
        for (const QString &line : lines) {
            const QStringList parts = line.split(QStringLiteral(" = "));
            if (parts.size() == 2)
                entries.insert(parts.at(0), parts.at(1));
        }
        tables.insert(name, entries);
    }
    return tables;
}

QHash<QString, QList<VelquorVehicleModel>> VelquorCommonTool::parseAllVehicleModels(const QByteArray &carIni)
{
    QHash<QString, QList<VelquorVehicleModel>> sections;
    for (const auto &[name, lines] : parseSections(carIni, kGeneralSection)) {
        QList<VelquorVehicleModel> models;
        for (const QString &line : lines) {
            if (const auto model = vehicleFromLine(line))
                models.append(*model);
        }
        sections.insert(name, models);
    }
    return sections;
}

QList<QPair<QString, QStringList>> VelquorCommonTool::vehiclesFromModels(const QList<VelquorVehicleModel> &models)
{
    auto containsIgnoringCase = [](const QStringList &list, const QString &text) {
        return list.contains(text, Qt::CaseInsensitive);
    };
    QStringList names;
    for (const VelquorVehicleModel &model : models) {
        if (model.vehicle().compare(model.subVehicle(), Qt::CaseInsensitive) == 0 &&
            !containsIgnoringCase(names, model.vehicle()))
            names.append(model.vehicle());
    }
    names.removeIf([](const QString &name) {
        return name.compare(QLatin1String("FordAU"), Qt::CaseInsensitive) == 0 ||
               name.compare(QLatin1String("SEAT"), Qt::CaseInsensitive) == 0;
    });
    std::stable_sort(names.begin(), names.end(),
                     [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });

    QList<QPair<QString, QStringList>> vehicles;
    for (const QString &name : std::as_const(names)) {
        QStringList subVehicles;
        for (const VelquorVehicleModel &model : models) {
            if (model.vehicle().compare(name, Qt::CaseInsensitive) == 0 &&
                !containsIgnoringCase(subVehicles, model.subVehicle()))
                subVehicles.append(model.subVehicle());
        }
        vehicles.append(qMakePair(name, subVehicles));
    }
    return vehicles;
}

QHash<QString, VelquorVehicleModel> VelquorCommonTool::getNewAllVehicleModelsFromBundle() const
{
    return parseNewAllVehicleModels(readResource(kCarIniResource));
}

QHash<QString, QHash<QString, QString>> VelquorCommonTool::getAllVersionModelsFromBundle() const
{
    return parseAllVersionModels(readResource(kCarVersionResource));
}

QList<VelquorVehicleModel> VelquorCommonTool::getVehicleModelsFromBundle() const
{
    return parseVehicleModels(readResource(kCarIniResource));
}

QHash<QString, QList<VelquorVehicleModel>> VelquorCommonTool::getAllVehicleModelsFromBundle() const
{
    return parseAllVehicleModels(readResource(kCarIniResource));
}

QList<QPair<QString, QStringList>> VelquorCommonTool::getVehicles() const
{
    return vehiclesFromModels(getVehicleModelsFromBundle());
}
