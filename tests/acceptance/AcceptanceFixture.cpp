#include "AcceptanceFixture.h"

#include "core/VelquorDatabaseConstants.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "platform/StandardLocations.h"
#include "standin/DemoCard.h"
#include "standin/DemoService.h"
#include "standin/profile/DemoInstallRecords.h"

#include <QDir>
#include <QFile>

bool AcceptanceFixture::isChild()
{
    return qEnvironmentVariableIsSet(kChildVariable);
}

void AcceptanceFixture::prepare(int cardMegabytes)
{
    ASSERT_FALSE(isChild());
    card = std::make_unique<FatCard>(cardMegabytes);
    VELQUOR_REQUIRE_FAT_CARD(*card);

    serviceData = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(serviceData->isValid());
    QString reason;
    ASSERT_TRUE(standin::installDemoService(server, serviceData->path(), &reason)) << reason.toStdString();
    ASSERT_TRUE(server.start());

    ASSERT_TRUE(standin::writeDemoCard(card->mountPath(), &reason)) << reason.toStdString();
    ASSERT_TRUE(standin::writeDemoInstallRecords(databasePath(), &reason)) << reason.toStdString();

    // The application finds both as it does in the demo; a child process inherits them.
    qputenv("VELQUOR_SERVICE_URL", server.baseUrl().toUtf8());
    qputenv("VELQUOR_CARD_VOLUMES", card->mountPath().toUtf8());
}

void AcceptanceFixture::TearDown()
{
    server.stop();
}

QString AcceptanceFixture::databasePath()
{
    return QDir(StandardLocations::documentsDirectory()).filePath(QString::fromLatin1(VelquorDatabase::FileName));
}

QString AcceptanceFixture::archiveCache()
{
    return QDir(StandardLocations::documentsDirectory()).filePath(QStringLiteral("Update"));
}

std::unique_ptr<VelquorDownloadDataBaseManager> AcceptanceFixture::openDemoTables()
{
    auto database = std::make_unique<VelquorDownloadDataBaseManager>(databasePath());
    database->creatDBWithSerialNumber(kProDevice, QString::fromLatin1(standin::demoAccountName));
    return database;
}

QList<standin::DemoPackage> AcceptanceFixture::packagesOf(const QString &software)
{
    QList<standin::DemoPackage> packages;
    for (const standin::DemoDevice &device : standin::demoDevices()) {
        if (device.serialNumber != kProDevice)
            continue;
        for (const standin::DemoPackage &package : standin::demoUpdateList(device.serialId)) {
            if (package.software.compare(software, Qt::CaseInsensitive) == 0)
                packages.append(package);
        }
    }
    return packages;
}

std::optional<standin::DemoArchive> AcceptanceFixture::archiveAt(const QString &relativePath)
{
    for (const standin::DemoArchive &archive : standin::demoArchives()) {
        if (archive.path == relativePath || archive.partPaths.contains(relativePath))
            return archive;
    }
    return std::nullopt;
}

QString AcceptanceFixture::relativeToService(const QString &url) const
{
    return url.startsWith(server.baseUrl()) ? url.mid(server.baseUrl().size()) : url;
}

QStringList AcceptanceFixture::differencesOnCard(const QString &software,
                                                 const QList<standin::DemoArchive> &archives) const
{
    const QList<standin::DemoPackage> packages = packagesOf(software);
    if (packages.isEmpty())
        return {QStringLiteral("%1 is no package of the demo catalogue").arg(software)};
    // Every record of a software unpacks into the same folder.
    const QDir folder(standin::demoExtractionFolder(card->mountPath(), packages.first()));
    QStringList differences;
    for (const standin::DemoArchive &archive : archives) {
        for (const standin::DemoArchiveEntry &entry : archive.entries) {
            QFile file(folder.filePath(entry.path));
            if (!file.open(QIODevice::ReadOnly))
                differences.append(QStringLiteral("%1 (of %2) is not on the card").arg(entry.path, archive.path));
            else if (file.readAll() != entry.content)
                differences.append(QStringLiteral("%1 (of %2) differs on the card").arg(entry.path, archive.path));
        }
    }
    return differences;
}
