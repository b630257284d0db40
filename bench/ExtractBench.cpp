// Extraction through LzmaTool against a direct `7zz x` of the same archive.
#include "BenchSupport.h"

#include "core/LzmaTool.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString password = QStringLiteral("Xq3.lantermovex.qz#%!&*");
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/velquor-bench-extract-XXXXXX"));
    const QString source = work.filePath(QStringLiteral("source/Scan/FORD"));
    // A package as the service ships them: a few large data files and many small ones.
    for (int i = 0; i < 4; ++i)
        bench::writeRandomFile(source + QStringLiteral("/data%1.bin").arg(i), 100 * 1000 * 1000, 7 + i);
    for (int i = 0; i < 500; ++i)
        bench::writeRandomFile(source + QStringLiteral("/lang/text%1.cfg").arg(i), 20 * 1000, 1000 + i);
    const QString archive = work.filePath(QStringLiteral("FORD_V1.00.7z"));
    QProcess make;
    make.setWorkingDirectory(work.filePath(QStringLiteral("source")));
    make.start(QStringLiteral("7zz"),
               {QStringLiteral("a"), QStringLiteral("-t7z"), QStringLiteral("-mx1"), QStringLiteral("-mhe=on"),
                QStringLiteral("-p") + password, archive, QStringLiteral("Scan")});
    make.waitForFinished(-1);
    if (make.exitCode() != 0)
        return 1;

    LzmaTool tool;
    double viaTool = 1e9;
    double direct = 1e9;
    for (int round = 0; round < 3; ++round) {
        const QString a = work.filePath(QStringLiteral("tool%1").arg(round));
        const QString b = work.filePath(QStringLiteral("direct%1").arg(round));
        direct = std::min(direct, bench::timed([&] {
                              bench::run(QStringLiteral("7zz"),
                                         {QStringLiteral("x"), QStringLiteral("-y"), QStringLiteral("-o") + b, archive},
                                         {}, password.toUtf8() + '\n');
                          }));
        viaTool = std::min(viaTool,
                           bench::timed([&] { tool.decompressWithPath(archive, password, LzmaTool::FileType7z, a); }));
        QDir(a).removeRecursively();
        QDir(b).removeRecursively();
    }
    bench::report("extract 400 MB package: LzmaTool", viaTool, "s");
    bench::report("extract 400 MB package: 7zz x", direct, "s");
    bench::report("time ratio LzmaTool / 7zz (target <= 1.1)", viaTool / direct, "");
    return viaTool / direct <= 1.1 ? 0 : 3;
}
