#pragma once

#include "core/LzmaToolDelegate.h"
#include "core/VelquorDownloadModel.h"
#include "core/VelquorUnfinishedFolder.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

class DispatchQueue;
class LzmaTool;
class QThread;
class VelquorAppUpdateManager;
class VelquorCommonTool;
class VelquorDownloadDataBaseManager;
class VelquorDownloadManager;
class VelquorUpdatesPageServices;

// Installs downloaded vehicles on the chosen card for the updates page: checks that the card has
// room, queues the vehicle on the serial extraction queue, extracts its archives one after another
// (7z through LzmaTool; the operating software, the application's installer and append packages
// as zip, a failing zip tried again as 7z), shows the progress on the vehicle's row, and when every
// archive has ended either records the installation and deletes the downloaded archives, or marks
// the vehicle failed and removes its package folders from the card.
//
// Nothing touches the card before the vehicle has passed two checks: its archives must make a whole
// version of each package with what the card holds now (an append or a language planned onto a
// version that has gone since is planned again instead, by the page), and every archive's entry
// list must be sound. A vehicle refused by the second check fails with the card and its install
// records as they were.
//
// A vehicle goes onto the card chosen when its extraction begins, whatever card is chosen later:
// every archive, the flush and a failure's removal use that card's root. Before its first archive
// each package folder of the vehicle is marked unfinished on the card with this extraction's token,
// and the mark goes only once the folder was flushed whole. The marks are how the card is known:
// before each archive and before the flush every marked folder must still carry the token, or the
// vehicle fails and nothing more is written to or removed from whatever card is mounted there now.
// A failure removes the folders that still carry this extraction's mark; a quit, a kill or a pulled
// card leaves the mark, and the clean-up removes the folder from the card that carries it, wherever
// and whenever that card comes back.
//
// A vehicle whose archives were all extracted is flushed to the card and recorded on a serial queue
// of its own, in the order the vehicles were extracted: waiting for the card to take the files is
// the slowest step, and the next vehicle's extraction goes on meanwhile.
//
// A vehicle counts as installed only when every one of its archives was reported extracted by its
// extractor, its files were flushed to the card and its installation was recorded. Rows shown by
// widgets change only through the page's setRowOfVehicle; nothing here waits for the GUI thread.
class VelquorExtractionInstaller : private LzmaToolDelegate
{
public:
    VelquorExtractionInstaller(VelquorUpdatesPageServices &page, VelquorDownloadManager &manager,
                               VelquorDownloadDataBaseManager &database, VelquorCommonTool &commonTool,
                               VelquorAppUpdateManager &launcher, LzmaTool &lzmaTool);
    ~VelquorExtractionInstaller() override;
    VelquorExtractionInstaller(const VelquorExtractionInstaller &) = delete;
    VelquorExtractionInstaller &operator=(const VelquorExtractionInstaller &) = delete;

    // Queues the vehicle for installation unless the card lacks room (then the page shows its
    // free-space sheet and the vehicle stays as it is) or it is queued already. Any thread; returns
    // at once.
    void decompressVehicle(const QString &vehicle);
    // Whether the card has less free space than five times the vehicle's download size.
    bool avaliableCapacityNotEnoughWithFile(const QString &vehicle) const;

private:
    enum class Outcome { Extracted, Failed, Aborted };
    // How an archive that passed its check is extracted.
    enum class Extractor { Zip, SevenZip };
    // The card a vehicle's extraction began on.
    struct Card
    {
        QString root;
        VelquorUnfinishedFolder::Removal unfinished; // the package folders marked on it
        // Every folder marked on it still carries this extraction's token: the card was neither
        // pulled nor replaced by another mounted at the same place.
        bool present() const;
    };
    struct Lifetime
    {
        std::mutex mutex; // held while a vehicle is extracted
        bool alive = true;
    };
    // What the extraction of a vehicle leaves for its flush and record.
    struct Extracted
    {
        QString vehicle;
        VelquorDownloadModelList records;
        Card card;
    };

    // The extraction queue's work for one vehicle.
    void extractVehicle(const QString &vehicle);
    // Whether the archives make a whole version of each of their packages on the card now.
    bool makesWholeVersions(const VelquorDownloadModelList &records, const QString &cardRoot) const;
    // Checks every archive's entry list, writing nothing, and finds how each is extracted. Aborted
    // when the application quits meanwhile; Failed when one archive is refused.
    Outcome checkArchives(const VelquorDownloadModelList &records, QList<Extractor> &extractors);
    // Marks every package folder of the vehicle on the card; NO when one could not be marked.
    bool markPackageFolders(const VelquorDownloadModelList &records, Card &card) const;
    Outcome decompressModel(const VelquorDownloadModelPtr &record, const Card &card, Extractor extractor);
    Outcome decompressZip(const VelquorDownloadModelPtr &record, const QString &destination,
                          const QString &packageFolder, bool *retryAs7z);
    Outcome decompress7z(const VelquorDownloadModelPtr &record, const QString &destination,
                         const QString &packageFolder);
    void decompressing(double progress);
    void showVehicleProgress(const QString &vehicle);
    // The install queue's work: flush, then record the installation (or fail it).
    void finishVehicle(const Extracted &extracted);
    bool flushVehicle(const Extracted &extracted) const;
    void installSucceeded(const QString &vehicle);
    // Fails the vehicle and removes from the card the folders this extraction marked there.
    void installFailed(const QString &vehicle, const Card &card);
    void putBack(const QString &vehicle);
    // The extraction queue is done with its vehicle.
    void endExtraction();
    void leaveExtractionSet(const QString &vehicle);

    // LzmaToolDelegate, called on the extraction queue while 7zz runs.
    void decompressWithProgress(double progress, const QString &path) override;
    void decompressErrorWithError(const LzmaToolError &error) override;

    VelquorUpdatesPageServices &m_page;
    VelquorDownloadManager &m_manager;
    VelquorDownloadDataBaseManager &m_database;
    VelquorCommonTool &m_commonTool;
    VelquorAppUpdateManager &m_launcher;
    LzmaTool &m_lzmaTool;
    std::shared_ptr<DispatchQueue> m_queue;
    std::unique_ptr<DispatchQueue> m_installQueue; // flushes and records extracted vehicles
    std::shared_ptr<Lifetime> m_lifetime = std::make_shared<Lifetime>();

    // Extraction queue only.
    VelquorDownloadModelPtr m_current; // the record whose archive is being extracted
    int m_lastPermille = -1;           // its last stored progress, in thousandths
    int m_lastPercent = -1;            // its last card rebuild, in hundredths
    bool m_sevenZipFailed = false;

    // Set when the installer goes (the application quits), never cleared: both extractors stop on it,
    // however close to their start it comes, and the running vehicle stays downloaded.
    std::atomic<bool> m_stopping{false};
    // Set by the "DecompressFinished" observer, which runs on the thread of the extraction.
    std::atomic<QThread *> m_sevenZipThread{nullptr};
    std::atomic<bool> m_sevenZipFinished{false};
};
