#include "DemoCard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace standin {

namespace {

const QString kOs = QStringLiteral("OS-SOFTWARE");

bool isInstalledOnTheCard(const DemoPackage &p)
{
    const bool english = p.language == QLatin1String("English");
    return (p.software == kOs && p.version == QLatin1String("V3.20")) ||
           (p.software == QLatin1String("HONDA") && p.version == QLatin1String("V11.40") && english) ||
           (p.software == QLatin1String("BENZ") && p.version == QLatin1String("V12.30") && english);
}

} // namespace

QString demoExtractionFolder(const QString &cardDir, const DemoPackage &p)
{
    QString sdPath = p.sdPath;
    sdPath.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString parent = sdPath.contains(QLatin1Char('/')) ? sdPath.section(QLatin1Char('/'), 0, -2) : QString();
    return parent.isEmpty() ? cardDir : QDir(cardDir).filePath(parent);
}

QList<DemoPackage> demoCardPackages()
{
    QList<DemoPackage> installed;
    // The first demo device is offered the whole catalogue.
    for (const DemoPackage &p : demoUpdateList(demoDevices().first().serialId)) {
        if (isInstalledOnTheCard(p))
            installed << p;
    }
    return installed;
}

bool writeDemoCard(const QString &cardDir, QString *error)
{
    auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    for (const DemoPackage &p : demoCardPackages()) {
        const QDir target(demoExtractionFolder(cardDir, p));
        for (const DemoArchive &archive : demoArchivesOf(p)) {
            for (const DemoArchiveEntry &entry : archive.entries) {
                const QString path = QDir::cleanPath(target.filePath(entry.path));
                if (!QDir().mkpath(QFileInfo(path).path()))
                    return fail(QStringLiteral("cannot create the folder of %1").arg(path));
                QFile file(path);
                if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(entry.content) != entry.content.size())
                    return fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
            }
        }
    }
    return true;
}

} // namespace standin
