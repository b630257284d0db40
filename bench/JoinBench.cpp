// Joining ten 100 MB parts with the download manager's joiner against `cat`.
#include "BenchSupport.h"

#include "core/VelquorPartJoiner.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/velquor-bench-join-XXXXXX"));
    QStringList parts;
    for (int i = 1; i <= 10; ++i) {
        parts.append(work.filePath(QStringLiteral("PKG_V1.00_%1_part.7z").arg(i)));
        if (!bench::writeRandomFile(parts.last(), 100 * 1000 * 1000, 100 + i))
            return 1;
    }
    const QString joined = work.filePath(QStringLiteral("PKG_V1.00.7z"));
    const QString catted = work.filePath(QStringLiteral("cat.7z"));

    // Best of three each, alternating, so both see the same page cache.
    double joiner = 1e9;
    double cat = 1e9;
    double catSynced = 1e9;
    for (int round = 0; round < 3; ++round) {
        QFile::remove(joined);
        QFile::remove(catted);
        cat = std::min(cat, bench::timed([&] { bench::run(QStringLiteral("cat"), parts, catted); }));
        QFile::remove(catted);
        // The joiner's QSaveFile makes its result durable (fdatasync) before it replaces anything;
        // this is cat with the same guarantee.
        catSynced = std::min(catSynced, bench::timed([&] {
                                 bench::run(QStringLiteral("cat"), parts, catted);
                                 bench::run(QStringLiteral("sync"), {QStringLiteral("-d"), catted});
                             }));
        joiner = std::min(joiner, bench::timed([&] { VelquorPartJoiner::join(parts, joined); }));
    }
    if (QFileInfo(joined).size() != QFileInfo(catted).size())
        return 2;
    bench::report("join 10 x 100 MB: VelquorPartJoiner", joiner, "s");
    bench::report("join 10 x 100 MB: cat", cat, "s");
    bench::report("join 10 x 100 MB: cat, then sync -d", catSynced, "s");
    bench::report("time ratio joiner / cat (target <= 1.5)", joiner / cat, "");
    bench::report("time ratio joiner / (cat + sync -d)", joiner / catSynced, "");
    return joiner / cat <= 1.5 ? 0 : 3;
}
