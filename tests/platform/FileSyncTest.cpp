#include "platform/FileSync.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(FileSyncTest, TheFoldersAboveAPackageAreFlushedUpToItsCardRootAndNoFurther)
{
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString root = work.filePath(QStringLiteral("card"));
    const QString benz = root + QStringLiteral("/Vehicles/Europe/BENZ");
    ASSERT_TRUE(QDir().mkpath(benz));
    EXPECT_TRUE(FileSync::flushParents(benz, root));
    EXPECT_TRUE(FileSync::flushParents(benz, root + QLatin1Char('/')));
    // A card mounted through a link is still its root.
    ASSERT_TRUE(QFile::link(root, work.filePath(QStringLiteral("mount"))));
    EXPECT_TRUE(FileSync::flushParents(work.filePath(QStringLiteral("mount/Vehicles/Europe/BENZ")),
                                       work.filePath(QStringLiteral("mount"))));

    // Only a path below the root, never one whose name merely begins like it, nor the root itself.
    ASSERT_TRUE(QDir().mkpath(work.filePath(QStringLiteral("card2/BENZ"))));
    EXPECT_FALSE(FileSync::flushParents(work.filePath(QStringLiteral("card2/BENZ")), root));
    EXPECT_FALSE(FileSync::flushParents(root, root));
    // A link between the package and its card leads elsewhere: it is not flushed through.
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/Vehicles"), root + QStringLiteral("/Linked")));
    EXPECT_FALSE(FileSync::flushParents(root + QStringLiteral("/Linked/Europe/BENZ"), root));
}
