#pragma once

#include "support/FatCard.h"

#include "standin/DemoCatalogue.h"
#include "standin/StandinServer.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

class VelquorDownloadDataBaseManager;

// The stage of an acceptance run: the stand-in service with the demo data set over loopback, a real
// FAT card image mounted as the only card volume and prepared as the demo card (the operating
// software and two vehicles on it, with their install records for the demo account), and the
// application's Documents in the test's private HOME.
//
// A run may go on in a child process (the test binary started again with the child variable set):
// the child shares HOME, service and card with its parent and prepares nothing itself.
class AcceptanceFixture : public ::testing::Test
{
protected:
    static constexpr char kChildVariable[] = "VELQUOR_ACCEPTANCE_CHILD";
    static inline const QString kProDevice = QStringLiteral("VQ9A00123456");
    static inline const QString kCardName = QStringLiteral("SDCARD");

    void TearDown() override;

    static bool isChild();
    // Prepares the stage; false, with the reason recorded as a failure, when it cannot be. A card
    // that cannot be mounted here skips the test.
    void prepare(int cardMegabytes = 64);

    // The application's database file and its archive cache.
    static QString databasePath();
    static QString archiveCache();

    // A database handle on the demo account's tables of the full demo device.
    static std::unique_ptr<VelquorDownloadDataBaseManager> openDemoTables();

    // The demo package records of a software in the full device's update list.
    static QList<standin::DemoPackage> packagesOf(const QString &software);
    // The served archive at a path relative to the service (a part names its whole archive).
    static std::optional<standin::DemoArchive> archiveAt(const QString &relativePath);
    // What is wrong on the card with the files of these archives of `software`: each file missing
    // or not byte for byte as in the archive; empty when all are there.
    QStringList differencesOnCard(const QString &software, const QList<standin::DemoArchive> &archives) const;
    // A URL of the service as a path relative to it.
    QString relativeToService(const QString &url) const;

    standin::StandinServer server;
    std::unique_ptr<QTemporaryDir> serviceData;
    std::unique_ptr<FatCard> card;
};
