#include "VelquorExtractionInstaller.h"

#include "core/BaseMainTools.h"
#include "core/LzmaTool.h"
#include "core/VelquorAppUpdateManager.h"
#include "core/VelquorArchiveConstants.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "core/VelquorZipTool.h"
#include "platform/DispatchQueue.h"
#include "platform/FileSync.h"
#include "platform/NotificationCenter.h"
#include "session/VelquorShellConstants.h"
#include "updates/VelquorPackageEntries.h"
#include "updates/VelquorUpdatesPageServices.h"
#include "updates/VelquorVehicleEnd.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <limits>

namespace {

bool isSoftware(const VelquorDownloadModelPtr &record, const QString &software)
{
    return record && record->software().compare(software, Qt::CaseInsensitive) == 0;
}

bool isInstaller(const VelquorDownloadModelPtr &record)
{
    return isSoftware(record, VelquorShell::kInstallerSoftware);
}

// The operating software, the application's installer and append packages come as zip.
bool isZipPackage(const VelquorDownloadModelPtr &record)
{
    return isSoftware(record, VelquorShell::kOperatingSoftware) || isInstaller(record) ||
           record->url().contains(QLatin1String("APPEND"));
}

// The folder every entry of the record's archive must lie in: its own package folder on the card,
// or, for the application's installer, anywhere in its folder of the local cache.
QString packageFolderOf(const VelquorDownloadModelPtr &record)
{
    return isInstaller(record) ? QString() : VelquorCommonTool::getSoftwareFolderInParent(record);
}

bool isDownloaded(const VelquorDownloadModelPtr &record)
{
    return record->state() == VelquorDownloadStateDownloaded || record->state() == VelquorDownloadStateWaitingInstall;
}

// Whether a package folder holds any file of the package: the marker of an unfinished unpacking
// is none.
bool holdsPackage(const QString &folder)
{
    const QDir top(folder);
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        if (!VelquorUnfinishedFolder::markerNames().contains(top.relativeFilePath(it.next())))
            return true;
    }
    return false;
}

// Has the tool list and check the vehicle's 7z archives now, while others are being extracted, as
// decompressModel will extract them: their extraction then lists only an archive changed since.
void checkArchivesAhead(LzmaTool &lzmaTool, const VelquorDownloadModelList &records)
{
    for (const VelquorDownloadModelPtr &record : records) {
        if (!isZipPackage(record))
            lzmaTool.checkArchiveAhead(record->zipPath(), VelquorArchive::kArchivePassword, LzmaTool::FileType7z,
                                       packageFolderOf(record));
    }
}

VelquorRowUpdate rowUpdate(qint64 state, double progress)
{
    VelquorRowUpdate update;
    update.state = int(state);
    update.progress = progress;
    return update;
}

} // namespace

VelquorExtractionInstaller::VelquorExtractionInstaller(VelquorUpdatesPageServices &page,
                                                       VelquorDownloadManager &manager,
                                                       VelquorDownloadDataBaseManager &database,
                                                       VelquorCommonTool &commonTool, VelquorAppUpdateManager &launcher,
                                                       LzmaTool &lzmaTool)
    : m_page(page), m_manager(manager), m_database(database), m_commonTool(commonTool), m_launcher(launcher),
      m_lzmaTool(lzmaTool), m_installQueue(std::make_unique<DispatchQueue>(VelquorArchive::kInstallQueueLabel))
{
    m_queue = m_manager.decompressSerialQueue();
    if (!m_queue) {
        m_queue = std::make_shared<DispatchQueue>(VelquorArchive::kDecompressQueueLabel);
        m_manager.setDecompressSerialQueue(m_queue);
    }
    // LzmaTool announces a finished extraction only by this notification, on the extracting thread.
    NotificationCenter::workspace().addObserver(this, LzmaTool::decompressFinishedNotification(),
                                                [this](const Notification &) {
                                                    if (m_sevenZipThread.load() == QThread::currentThread())
                                                        m_sevenZipFinished = true;
                                                });
}

VelquorExtractionInstaller::~VelquorExtractionInstaller()
{
    NotificationCenter::workspace().removeObserver(this);
    // A vehicle being extracted stops at once and stays downloaded; vehicles queued behind it are
    // not started any more.
    m_stopping = true;
    m_lzmaTool.abortDecompress();
    {
        std::lock_guard lock(m_lifetime->mutex);
        m_lifetime->alive = false;
    }
    // Vehicles extracted completely are still flushed and recorded.
    m_installQueue->shutdown();
}

// ---------------------------------------------------------------------------------------------
// Starting a vehicle

void VelquorExtractionInstaller::decompressVehicle(const QString &vehicle)
{
    if (avaliableCapacityNotEnoughWithFile(vehicle)) {
        m_page.openSDMemory();
        return;
    }
    if (!m_manager.addVehicle(vehicle))
        return; // queued or being extracted already
    checkArchivesAhead(m_lzmaTool, m_database.getModelWithVehicle(vehicle));
    m_queue->async([this, lifetime = m_lifetime, vehicle = vehicle.toUpper()] {
        std::lock_guard lock(lifetime->mutex);
        if (lifetime->alive)
            extractVehicle(vehicle);
    });
}

bool VelquorExtractionInstaller::avaliableCapacityNotEnoughWithFile(const QString &vehicle) const
{
    const VelquorDownloadModelList records = m_database.getModelWithVehicle(vehicle);
    const quint64 total = records.isEmpty() ? 0 : records.first()->totalFileSize();
    const quint64 available = m_page.availableCapacity();
    if (total > std::numeric_limits<quint64>::max() / VelquorArchive::kRequiredSpaceFactor)
        return true;
    return available < VelquorArchive::kRequiredSpaceFactor * total;
}

// ---------------------------------------------------------------------------------------------
// The extraction block

void VelquorExtractionInstaller::extractVehicle(const QString &vehicle)
{
    const VelquorDownloadModelList records = m_database.getModelWithVehicle(vehicle);
    // Only a vehicle whose archives are all downloaded is installed; one deleted or fetched anew
    // since it was queued leaves the set and holds nobody back.
    if (records.isEmpty() || !std::all_of(records.begin(), records.end(), isDownloaded)) {
        endExtraction();
        leaveExtractionSet(vehicle);
        return;
    }

    // Bound now: a rescan may choose another card while the vehicle is extracted.
    Card card{m_commonTool.saveFilePath(), {VelquorUnfinishedFolder::newToken(), {}}};
    m_manager.setDecompressCount(0);
    if (m_stopping) {
        endExtraction();
        putBack(vehicle);
        return;
    }
    // Every archive is checked before anything touches the card: a refused one fails the vehicle
    // with the card, and the install records of what it holds, as they were.
    QList<Extractor> extractors;
    const Outcome checked = checkArchives(records, extractors);
    if (checked != Outcome::Extracted) {
        endExtraction();
        if (checked == Outcome::Aborted)
            putBack(vehicle);
        else
            installFailed(vehicle, card); // nothing is marked: nothing is removed
        return;
    }
    // Additions to a version the card no longer holds would install a vehicle in part.
    if (!makesWholeVersions(records, card.root)) {
        endExtraction();
        putBack(vehicle);
        m_page.replanVehicle(vehicle);
        return;
    }
    if (!markPackageFolders(records, card)) {
        endExtraction();
        installFailed(vehicle, card);
        return;
    }
    bool allExtracted = true;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const VelquorDownloadModelPtr &record = records.at(i);
        const Outcome outcome = m_stopping ? Outcome::Aborted : decompressModel(record, card, extractors.at(i));
        m_manager.setDecompressCount(m_manager.decompressCount() + 1);
        m_page.reloadSDCard(false);
        if (outcome == Outcome::Aborted) {
            endExtraction();
            putBack(vehicle);
            return;
        }
        if (outcome == Outcome::Failed) {
            allExtracted = false;
            continue; // the others still run: the vehicle's result comes once all have ended
        }
        // Done because its extractor said so; its share of the progress is then complete.
        record->setState(VelquorDownloadStateExtracting);
        record->setProgress(double(record->ratio()));
        m_database.updateWithModel(record, VelquorDownloadUpdateAll);
        showVehicleProgress(vehicle);
    }

    Extracted extracted{vehicle, records, card};
    endExtraction();
    if (!allExtracted) {
        installFailed(vehicle, card);
        return;
    }
    m_installQueue->async([this, extracted = std::move(extracted)] { finishVehicle(extracted); });
}

bool VelquorExtractionInstaller::makesWholeVersions(const VelquorDownloadModelList &records,
                                                    const QString &cardRoot) const
{
    const QHash<QString, QString> appendVersions = m_page.appendVersions();
    const auto heldVersion = [&cardRoot](const VelquorDownloadModelPtr &record) {
        return VelquorCommonTool::getVersionFromFilePath(VelquorCommonTool::getSoftwarePath(record, cardRoot));
    };
    return VelquorPackageEntries::makesWholeVersions(
        records,
        [&](const VelquorDownloadModelPtr &record) {
            return BaseMainTools::isHasAppend(appendVersions, record, heldVersion(record));
        },
        [this](const VelquorDownloadModelPtr &record) { return m_commonTool.isSameVersion(record); });
}

VelquorExtractionInstaller::Outcome VelquorExtractionInstaller::checkArchives(const VelquorDownloadModelList &records,
                                                                              QList<Extractor> &extractors)
{
    for (const VelquorDownloadModelPtr &record : records) {
        const QString packageFolder = packageFolderOf(record);
        if (isZipPackage(record)) {
            const VelquorZipTool::Result zip =
                VelquorZipTool::checkEntries(record->zipPath(), VelquorArchive::kArchivePassword, packageFolder);
            if (zip.succeeded()) {
                extractors.append(Extractor::Zip);
                continue;
            }
            if (zip.kind == VelquorZipTool::Result::Kind::UnsafeEntry)
                return Outcome::Failed; // never handed to another extractor
        }
        // A 7z, or a zip-named package that is no zip. Checked ahead already, it is not listed again,
        // and the extraction need not list it either.
        const LzmaTool::EntryCheck check = m_lzmaTool.checkArchive(record->zipPath(), VelquorArchive::kArchivePassword,
                                                                   LzmaTool::FileType7z, packageFolder, &m_stopping);
        if (check == LzmaTool::EntryCheck::Stopped || m_stopping)
            return Outcome::Aborted;
        if (check == LzmaTool::EntryCheck::Refused)
            return Outcome::Failed;
        extractors.append(Extractor::SevenZip);
    }
    return Outcome::Extracted;
}

bool VelquorExtractionInstaller::markPackageFolders(const VelquorDownloadModelList &records, Card &card) const
{
    const QString device = m_database.uniqueIDString();
    for (const VelquorDownloadModelPtr &record : records) {
        if (isInstaller(record))
            continue; // unpacked into the local cache
        const QString folder = VelquorCommonTool::getSoftwarePathToWrite(record, card.root);
        if (folder.isEmpty() || card.unfinished.folders.contains(folder))
            continue; // a path that is no card path fails at its archive
        if (!card.present() || !VelquorUnfinishedFolder::mark(folder, record->vehicle(), card.unfinished.token, device))
            return false;
        card.unfinished.folders.append(folder);
    }
    return true;
}

VelquorExtractionInstaller::Outcome VelquorExtractionInstaller::decompressModel(const VelquorDownloadModelPtr &record,
                                                                                const Card &card, Extractor extractor)
{
    m_current = record;
    m_lastPermille = -1;
    m_lastPercent = -1;
    m_manager.setDownloadModel(record);

    if (!QFileInfo(record->zipPath()).isFile())
        return Outcome::Failed; // nothing to extract is a failure, never a silent success
    // The installer goes to the local cache, where it is opened from; everything else to the card
    // the vehicle began on, and only while that card is still there.
    const bool toCard = !isInstaller(record);
    if (toCard && !card.present())
        return Outcome::Failed;
    const QString destination = toCard ? VelquorCommonTool::getSoftwareParentPath(record, card.root)
                                       : m_commonTool.getSoftwareUpdatePathWithSoftware(record->software());
    if (destination.isEmpty())
        return Outcome::Failed;
    // Every entry must lie in the package's own folder; the installer's archive holds the package
    // itself at its top, and its folder in the cache is its own.
    const QString packageFolder = packageFolderOf(record);
    if (extractor == Extractor::SevenZip)
        return decompress7z(record, destination, packageFolder);
    bool retryAs7z = false;
    const Outcome outcome = decompressZip(record, destination, packageFolder, &retryAs7z);
    if (!retryAs7z)
        return outcome;
    // The zip may have failed because the card went.
    if (toCard && !card.present())
        return Outcome::Failed;
    m_lastPermille = -1;
    m_lastPercent = -1;
    return decompress7z(record, destination, packageFolder);
}

VelquorExtractionInstaller::Outcome VelquorExtractionInstaller::decompressZip(const VelquorDownloadModelPtr &record,
                                                                              const QString &destination,
                                                                              const QString &packageFolder,
                                                                              bool *retryAs7z)
{
    const VelquorZipTool::Result result = VelquorZipTool::unzipFileAtPath(
        record->zipPath(), destination, true, VelquorArchive::kArchivePassword,
        [this](quint64 done, quint64 total) { decompressing(total > 0 ? double(done) / double(total) : 0.0); },
        &m_stopping, packageFolder);
    if (result.succeeded())
        return Outcome::Extracted;
    if (result.kind == VelquorZipTool::Result::Kind::Stopped)
        return Outcome::Aborted;
    // A package may be a 7z under a zip name; an archive that tries to write outside its folder
    // is not handed to another extractor.
    *retryAs7z = result.kind != VelquorZipTool::Result::Kind::UnsafeEntry;
    return Outcome::Failed;
}

VelquorExtractionInstaller::Outcome VelquorExtractionInstaller::decompress7z(const VelquorDownloadModelPtr &record,
                                                                             const QString &destination,
                                                                             const QString &packageFolder)
{
    m_sevenZipFailed = false;
    m_sevenZipFinished = false;
    m_sevenZipThread = QThread::currentThread();
    LzmaToolDelegate *previous = m_lzmaTool.delegate();
    m_lzmaTool.setDelegate(this);
    m_lzmaTool.decompressWithPath(record->zipPath(), VelquorArchive::kArchivePassword, LzmaTool::FileType7z,
                                  destination, &m_stopping, packageFolder);
    m_lzmaTool.setDelegate(previous);
    m_sevenZipThread = nullptr;
    if (m_sevenZipFinished)
        return Outcome::Extracted;
    if (m_stopping)
        return Outcome::Aborted;
    // Neither finished nor failed: the extraction was aborted (the application is quitting).
    return m_sevenZipFailed ? Outcome::Failed : Outcome::Aborted;
}

void VelquorExtractionInstaller::decompressWithProgress(double progress, const QString &path)
{
    decompressing(progress);
    // The card's free space shown on the page follows the extraction.
    const int percent = int(std::clamp(progress, 0.0, 1.0) * 100);
    if (percent != m_lastPercent) {
        m_lastPercent = percent;
        m_page.reloadSDCard(false);
    }
}

void VelquorExtractionInstaller::decompressErrorWithError(const LzmaToolError &error)
{
    m_sevenZipFailed = true;
}

void VelquorExtractionInstaller::decompressing(double progress)
{
    if (!m_current)
        return;
    // Stored and shown at most once per thousandth: a zip reports every chunk it writes.
    const double p = std::clamp(progress, 0.0, 1.0);
    const int permille = int(p * 1000);
    if (permille == m_lastPermille)
        return;
    m_lastPermille = permille;
    m_current->setState(VelquorDownloadStateExtracting);
    m_current->setProgress(double(m_current->ratio()) * p);
    m_database.updateWithModel(m_current, VelquorDownloadUpdateAll);
    showVehicleProgress(m_current->vehicle());
}

void VelquorExtractionInstaller::showVehicleProgress(const QString &vehicle)
{
    double sum = 0;
    for (const VelquorDownloadModelPtr &record : m_database.getModelWithVehicle(vehicle))
        sum += record->progress();
    // The row shows installed only once the vehicle is recorded as installed.
    m_page.setRowOfVehicle(vehicle, rowUpdate(VelquorDownloadStateExtracting, std::min(sum, 1.0)));
}

// ---------------------------------------------------------------------------------------------
// The vehicle's result

void VelquorExtractionInstaller::finishVehicle(const Extracted &extracted)
{
    if (flushVehicle(extracted))
        installSucceeded(extracted.vehicle);
    else
        installFailed(extracted.vehicle, extracted.card);
}

bool VelquorExtractionInstaller::flushVehicle(const Extracted &extracted) const
{
    const Card &card = extracted.card;
    if (std::all_of(extracted.records.begin(), extracted.records.end(), isInstaller))
        return true; // extracted into the local cache
    if (!card.present())
        return false;
    QStringList flushed;
    for (const VelquorDownloadModelPtr &record : extracted.records) {
        if (isInstaller(record))
            continue;
        // What the extractors wrote is found in the package folder, which the vehicle's archives share.
        // A package that filled no folder of its own installed nothing.
        const QString folder = VelquorCommonTool::getSoftwarePath(record, card.root);
        if (folder.isEmpty() || !holdsPackage(folder))
            return false;
        if (flushed.contains(folder))
            continue;
        // The folder and the folders above it, not the whole file system: a sync of that would wait
        // for every other write to it, downloads included, and hold up the marking of the next vehicle.
        if (!FileSync::flushTree(folder) || !FileSync::flushParents(folder, card.root))
            return false;
        flushed.append(folder);
    }
    // Still the same card once everything reached it: a card pulled meanwhile holds nothing certain.
    if (!card.present())
        return false;
    // Whole now: the folders lose their mark.
    const QStringList &marked = card.unfinished.folders;
    return std::all_of(marked.begin(), marked.end(), [&](const QString &folder) {
        return VelquorUnfinishedFolder::unmark(folder, card.unfinished.token);
    });
}

void VelquorExtractionInstaller::installSucceeded(const QString &vehicle)
{
    const VelquorDownloadModelList records = m_database.getModelWithVehicle(vehicle);
    // The install records and the installed state go in together or not at all.
    const bool recorded = m_database.runInTransaction([&] {
        if (!m_database.deleteModelWithVehicleForInstall(vehicle))
            return false;
        for (const VelquorDownloadModelPtr &record : records) {
            record->setState(VelquorDownloadStateInstalled);
            if (!m_database.updateWithModel(record, VelquorDownloadUpdateState) ||
                !m_database.insertModelForInstall(record))
                return false;
        }
        return true;
    });
    if (!recorded) {
        // Unrecorded, it is not installed: the whole folder stays on the card and the archives stay
        // for another press, and the user learns why.
        m_page.openInstallNotRecorded(vehicle);
        putBack(vehicle);
        return;
    }
    m_page.setRowOfVehicle(vehicle, rowUpdate(VelquorDownloadStateInstalled, 1.0));
    m_page.reloadAllData();

    const VelquorDownloadModelPtr package = records.isEmpty() ? nullptr : records.last();
    if (isSoftware(package, VelquorShell::kOperatingSoftware)) {
        m_page.requestUpdateList(); // the tool's new system may be offered other packages
    } else if (isInstaller(package)) {
        const QString folder = m_commonTool.getSoftwareUpdatePathWithSoftware(package->software());
        if (!folder.isEmpty())
            m_launcher.openInstallationPackage(folder + QLatin1Char('/') + VelquorArchive::kInstallerPackageName);
    }
    // The downloaded archives go only once the installation is recorded.
    for (const VelquorDownloadModelPtr &record : records)
        m_commonTool.removeCachedArchive(record->zipPath());
    leaveExtractionSet(vehicle);
}

void VelquorExtractionInstaller::installFailed(const QString &vehicle, const Card &card)
{
    const VelquorDownloadModelList records = m_database.getModelWithVehicle(vehicle);
    endVehicleIn(m_database, m_page, vehicle, records, VelquorDownloadStateInstallFailed);
    // A half-written package must not stay on the card; with it goes the record of what was there.
    // The folders go now, from the card they were written on and only while they carry this
    // extraction's mark: no removal waits in a queue while cards are swapped. From a card that is
    // gone nothing is removed, and the record stays with the folder it names until that card comes
    // back and the clean-up finds the folder marked. A vehicle refused before its folders were
    // marked touched nothing, and what the card holds stays recorded.
    const QStringList &marked = card.unfinished.folders;
    const bool onCard = !std::all_of(records.begin(), records.end(), isInstaller);
    if (!marked.isEmpty() ? VelquorUnfinishedFolder::remove(card.unfinished) : !onCard)
        m_database.deleteModelWithVehicleForInstall(vehicle);
    if (!records.isEmpty())
        m_manager.deleteTaskAndCache(records.first());
    leaveExtractionSet(vehicle);
}

void VelquorExtractionInstaller::putBack(const QString &vehicle)
{
    // Interrupted, not failed: the archives stay and a later press installs them.
    endVehicleIn(m_database, m_page, vehicle, m_database.getModelWithVehicle(vehicle),
                 VelquorDownloadStateWaitingInstall);
    leaveExtractionSet(vehicle);
}

bool VelquorExtractionInstaller::Card::present() const
{
    return !root.isEmpty() && QFileInfo(root).isDir() && unfinished.onItsCard();
}

void VelquorExtractionInstaller::endExtraction()
{
    m_current.reset();
    m_manager.setDecompressCount(0);
}

void VelquorExtractionInstaller::leaveExtractionSet(const QString &vehicle)
{
    m_manager.removeVehicle(vehicle);
}
