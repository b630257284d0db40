#include "DemoCatalogue.h"

#include <QCryptographicHash>
#include <QMap>

#include <random>

namespace standin {

namespace {

const QString kOs = QStringLiteral("OS-SOFTWARE");
const QString kInstaller = QStringLiteral("MAC_UPDATETOOLS");
constexpr qint64 kProDevice = 1001;
constexpr qint64 kLiteDevice = 1002;

DemoPackage package(const QString &software, const QString &version, const QString &language, const QString &sdPath,
                    const QString &filePath, const QString &notes = {}, double price = 0)
{
    DemoPackage p;
    p.software = software;
    p.version = version;
    p.language = language;
    p.release = QStringLiteral("%1 (2024)").arg(version);
    p.sdPath = sdPath;
    p.filePath = filePath;
    p.updateInfo = notes.isEmpty() ? QStringLiteral("New: coverage for the latest model year\r\n"
                                                    "Fixed: service reset on some models\r\n")
                                   : notes;
    p.price = price;
    return p;
}

// An ordinary vehicle package: its language archive names the data package (name without the
// language piece), and an append archive may come with it.
DemoPackage vehicle(const QString &software, const QString &version, const QString &languageCode,
                    const QString &language, const QString &sdPath, bool withAppend = false)
{
    const QString base = QStringLiteral("files/%1/%1_%2").arg(software, version);
    QString files = QStringLiteral("%1_%2.zip").arg(base, languageCode);
    if (withAppend)
        files += QStringLiteral(";%1_APPEND.zip").arg(base);
    return package(software, version, language, sdPath, files);
}

QList<DemoPackage> fullList()
{
    QList<DemoPackage> list;
    DemoPackage os = package(kOs, QStringLiteral("V3.10"), QStringLiteral("English"), QStringLiteral("Scan"),
                             QStringLiteral("files/OS/OS-SOFTWARE_V3.10.zip"),
                             QStringLiteral("System update\r\nFaster start-up\r\n"));
    list << os;
    os.version = QStringLiteral("V3.20");
    os.release = QStringLiteral("V3.20 (2024)");
    os.filePath = QStringLiteral("files/OS/OS-SOFTWARE_V3.20.zip");
    os.updateInfo = QStringLiteral("System update\r\nNew: Wi-Fi printing\r\nFixed: battery gauge\r\n");
    list << os;
    DemoPackage installer =
        package(kInstaller, QStringLiteral("V1.00"), QStringLiteral("English"), QString(),
                QStringLiteral("files/MAC_UPDATETOOLS/Velquor_V1.00.zip"), QStringLiteral("The desktop updater\r\n"));
    installer.isUpdate = false;
    list << installer;
    // Records the client leaves out of every list.
    list << package(QStringLiteral("UPDATETOOLS"), QStringLiteral("V2.00"), QStringLiteral("English"), QString(),
                    QStringLiteral("files/UPDATETOOLS/UpdateTools_V2.00.zip"));
    list << package(QString(), QStringLiteral("V1.00"), QStringLiteral("English"),
                    QStringLiteral("Vehicles/Europe/OPEL"), QStringLiteral("files/OPEL/OPEL_V1.00_EN.zip"));

    // The older record of the same card path and language gives way to the newer one.
    list << vehicle(QStringLiteral("BENZ"), QStringLiteral("V12.30"), QStringLiteral("EN"), QStringLiteral("English"),
                    QStringLiteral("Vehicles/Europe/BENZ"));
    list << vehicle(QStringLiteral("BENZ"), QStringLiteral("V12.35"), QStringLiteral("EN"), QStringLiteral("English"),
                    QStringLiteral("Vehicles/Europe/BENZ"), true);
    list << vehicle(QStringLiteral("BENZ"), QStringLiteral("V12.35"), QStringLiteral("DE"), QStringLiteral("German"),
                    QStringLiteral("Vehicles/Europe/BENZ"), true);
    list << vehicle(QStringLiteral("VW"), QStringLiteral("V8.20"), QStringLiteral("EN"), QStringLiteral("English"),
                    QStringLiteral("Vehicles\\Europe\\VW"));
    list << vehicle(QStringLiteral("BMW"), QStringLiteral("V15.02"), QStringLiteral("EN"), QStringLiteral("English"),
                    QStringLiteral("Vehicles/Europe/BMW"));
    list << vehicle(QStringLiteral("BMW"), QStringLiteral("V15.02"), QStringLiteral("FR"), QStringLiteral("French"),
                    QStringLiteral("Vehicles/Europe/BMW"));

    // Delivered in three parts plus its language archive.
    DemoPackage toyota = package(QStringLiteral("TOYOTA"), QStringLiteral("V20.10"), QStringLiteral("English"),
                                 QStringLiteral("Vehicles/Asia/TOYOTA"), QString());
    QStringList toyotaFiles;
    for (int part = 1; part <= 3; ++part)
        toyotaFiles << QStringLiteral("files/TOYOTA/TOYOTA_V20.10_%1_part.zip").arg(part);
    toyotaFiles << QStringLiteral("files/TOYOTA/TOYOTA_V20.10_EN.zip");
    toyota.filePath = toyotaFiles.join(QLatin1Char(';'));
    list << toyota;

    list << vehicle(QStringLiteral("HONDA"), QStringLiteral("V11.40"), QStringLiteral("EN"), QStringLiteral("English"),
                    QStringLiteral("Vehicles/Asia/HONDA"));
    DemoPackage ford = vehicle(QStringLiteral("FORD"), QStringLiteral("V30.00"), QStringLiteral("EN"),
                               QStringLiteral("English"), QStringLiteral("Vehicles/America/FORD"));
    ford.price = 49.0;
    list << ford;
    list << vehicle(QStringLiteral("SSANGYONG"), QStringLiteral("V2.10"), QStringLiteral("EN"),
                    QStringLiteral("English"), QStringLiteral("Maintenance/SSANGYONG"));
    // Not in the vehicle table: shown under its software name.
    list << vehicle(QStringLiteral("ADAS"), QStringLiteral("V1.05"), QStringLiteral("EN"), QStringLiteral("English"),
                    QStringLiteral("Special/ADAS"));
    return list;
}

QList<DemoPackage> liteList()
{
    QList<DemoPackage> list;
    for (const DemoPackage &p : fullList()) {
        const bool wanted = (p.software == kOs && p.version == QLatin1String("V3.20")) || p.software == kInstaller ||
                            p.software == QLatin1String("HONDA") || p.software == QLatin1String("TOYOTA") ||
                            (p.software == QLatin1String("BENZ") && p.version == QLatin1String("V12.35") &&
                             p.language == QLatin1String("English"));
        if (wanted)
            list << p;
    }
    return list;
}

// Reproducible filler so that the archives, and so the stamp, stay the same from run to run.
QByteArray filler(const QString &seedText, int size)
{
    const QByteArray seed = QCryptographicHash::hash(seedText.toUtf8(), QCryptographicHash::Md5);
    std::seed_seq sequence(seed.begin(), seed.end());
    std::mt19937 generator(sequence);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(generator() & 0xff);
    return bytes;
}

QString lastComponent(const QString &sdPath)
{
    QString path = sdPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path.section(QLatin1Char('/'), -1);
}

// Language files are found in any of three letter cases; use each of them somewhere.
QString languageFileName(const QString &language)
{
    QString name = language;
    name.remove(QLatin1Char(' '));
    if (language == QLatin1String("German"))
        return name.toUpper() + QStringLiteral(".CFG");
    if (language == QLatin1String("French"))
        return name + QStringLiteral(".cfg");
    return name.toLower() + QStringLiteral(".cfg");
}

QList<DemoArchiveEntry> dataEntries(const DemoPackage &p, int fillerSize)
{
    const QString dir = lastComponent(p.sdPath);
    return {{dir + QStringLiteral("/VERSION.TXT"), p.version.toUtf8()},
            {dir + QStringLiteral("/RELEASE.TXT"), p.updateInfo.toUtf8()},
            {dir + QStringLiteral("/DIAG/%1.BIN").arg(p.software), filler(p.software + p.version, fillerSize)}};
}

void addArchive(QMap<QString, DemoArchive> &archives, const DemoArchive &archive)
{
    if (!archives.contains(archive.path))
        archives.insert(archive.path, archive);
}

void addArchivesOf(QMap<QString, DemoArchive> &archives, const DemoPackage &p)
{
    using Format = DemoArchive::Format;
    if (p.software == kOs) {
        addArchive(archives, {p.filePath,
                              Format::Zip,
                              {{QStringLiteral("Scan/VERSION.TXT"), p.version.toUtf8()},
                               {QStringLiteral("Scan/english.cfg"), QByteArray("LANGUAGE=English\r\n")},
                               {QStringLiteral("Scan/SYSTEM.BIN"), filler(p.filePath, 192 * 1024)}},
                              {}});
        return;
    }
    if (p.software == kInstaller) {
        addArchive(archives, {p.filePath,
                              Format::Zip,
                              {{QStringLiteral("Velquor.pkg"),
                                QByteArray("Velquor installer package ") + p.version.toUtf8() + " (demo)\n"}},
                              {}});
        return;
    }
    if (p.software.isEmpty() || p.software == QLatin1String("UPDATETOOLS"))
        return; // the client never asks for these

    const QStringList entries = p.filePath.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QStringList parts;
    for (const QString &entry : entries) {
        if (entry.contains(QLatin1String("part.zip")))
            parts << entry;
    }
    const QString dir = lastComponent(p.sdPath);
    for (const QString &entry : entries) {
        if (entry.contains(QLatin1String("part.zip")))
            continue;
        if (entry.contains(QLatin1String("APPEND.zip"))) {
            addArchive(archives, {entry,
                                  Format::Zip,
                                  {{dir + QStringLiteral("/VERSION.TXT"), p.version.toUtf8()},
                                   {dir + QStringLiteral("/DIAG/APPEND.BIN"), filler(entry, 48 * 1024)}},
                                  {}});
            continue;
        }
        // A language archive, and the data package named by it without its language piece.
        addArchive(archives, {entry,
                              Format::SevenZip,
                              {{dir + QLatin1Char('/') + languageFileName(p.language),
                                QStringLiteral("LANGUAGE=%1\r\n").arg(p.language).toUtf8()}},
                              {}});
        if (parts.isEmpty()) {
            const QString data = entry.section(QLatin1Char('_'), 0, -2) + QStringLiteral(".zip");
            addArchive(archives, {data, Format::SevenZip, dataEntries(p, 128 * 1024), {}});
        }
    }
    if (!parts.isEmpty()) {
        const QString whole = parts.first().section(QLatin1Char('_'), 0, -3) + QStringLiteral(".zip");
        addArchive(archives, {whole, Format::SevenZip, dataEntries(p, 1536 * 1024), parts});
    }
}

} // namespace

QList<DemoProduct> demoProducts()
{
    const QStringList vehicles{QStringLiteral("BENZ"),   QStringLiteral("VW"),    QStringLiteral("BMW"),
                               QStringLiteral("TOYOTA"), QStringLiteral("HONDA"), QStringLiteral("FORD")};
    return {
        {QStringLiteral("VQ900 PRO"), 11,
         QStringList{kOs} + vehicles + QStringList{QStringLiteral("SSANGYONG"), QStringLiteral("ADAS")}},
        {QStringLiteral("VQ300 LITE"), 12,
         QStringList{kOs, QStringLiteral("BENZ"), QStringLiteral("TOYOTA"), QStringLiteral("HONDA")}},
        {QStringLiteral("VQ100 MINI"), 13, QStringList{kOs, QStringLiteral("OBD")}},
    };
}

QList<DemoDevice> demoDevices()
{
    return {{QStringLiteral("VQ9A00123456"), kProDevice, 11}, {QStringLiteral("VQ3B00654321"), kLiteDevice, 12}};
}

QString demoProductName(qint64 productId)
{
    for (const DemoProduct &product : demoProducts()) {
        if (product.id == productId)
            return product.name;
    }
    return {};
}

QList<DemoPackage> demoUpdateList(qint64 serialId)
{
    if (serialId == kProDevice)
        return fullList();
    if (serialId == kLiteDevice)
        return liteList();
    return {};
}

QList<DemoArchive> demoArchivesOf(const DemoPackage &package)
{
    QMap<QString, DemoArchive> archives;
    addArchivesOf(archives, package);
    return archives.values();
}

QList<DemoArchive> demoArchives()
{
    QMap<QString, DemoArchive> archives;
    for (const DemoDevice &device : demoDevices()) {
        for (const DemoPackage &p : demoUpdateList(device.serialId))
            addArchivesOf(archives, p);
    }
    return archives.values();
}

} // namespace standin
