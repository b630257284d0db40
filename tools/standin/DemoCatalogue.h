#pragma once

#include "DemoArchives.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace standin {

// A product of the maker's catalogue and the software it runs.
struct DemoProduct
{
    QString name;
    qint64 id = 0;
    QStringList softwares;
};

// A device bound to the demo account.
struct DemoDevice
{
    QString serialNumber;
    qint64 serialId = 0;
    qint64 productId = 0;
};

// One offered package record, as the update list sends it. An empty software is sent without the
// member; sdPath and filePath may hold backslashes, which the service writes bare.
struct DemoPackage
{
    QString software;
    QString version;
    QString language;
    QString release;
    bool isUpdate = true;
    QString sdPath;
    QString updateInfo;
    double price = 0;
    QString filePath;
};

QList<DemoProduct> demoProducts();
QList<DemoDevice> demoDevices();
QString demoProductName(qint64 productId);
// The update list of a device, in answer order; empty for an unknown device.
QList<DemoPackage> demoUpdateList(qint64 serialId);
// Every package file the update lists name, with the card layout inside.
QList<DemoArchive> demoArchives();
// The package files of one record, as demoArchives() holds them.
QList<DemoArchive> demoArchivesOf(const DemoPackage &package);

} // namespace standin
