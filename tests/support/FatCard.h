#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

#include <memory>

class QTemporaryDir;

// A real FAT card for a test: an image made with mkfs.vfat, mounted through the kernel's vfat on
// a loop device where that is allowed, otherwise with fusefat. Unmounted and removed when the
// object goes. Tests skip (VELQUOR_REQUIRE_FAT_CARD) only where neither way can mount it.
class FatCard
{
public:
    explicit FatCard(int megabytes = 64);
    ~FatCard();
    FatCard(const FatCard &) = delete;
    FatCard &operator=(const FatCard &) = delete;

    bool mounted() const { return m_mounted; }
    QString skipReason() const { return m_skipReason; }
    // The card's root folder while mounted.
    QString mountPath() const { return m_mountPath; }
    QString imagePath() const { return m_imagePath; }
    // "fusefat" or "vfat".
    QString driver() const { return m_driver; }

    // Flushes and unmounts, and waits until what served the mount has written the image out;
    // answers whether the card is no longer mounted.
    bool unmount();
    // Mounts the same image again after unmount(), at the given empty folder when one is given (as
    // another reader, or another card at the path this one had); mountPath() then names it.
    bool remount(const QString &mountPath = {});
    // fsck.vfat -n on the image (unmount first); answers whether it found nothing to repair.
    bool fsckClean(QString *output = nullptr) const;

private:
    bool mountImage();
    bool startFusefat(QString *output);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_imagePath;
    QString m_mountPath;
    QString m_driver;
    QString m_skipReason;
    bool m_mounted = false;
    // The fusefat process serving the mount (our child), or the loop device under the kernel's vfat.
    pid_t m_fusefatPid = -1;
    QByteArray m_loopDevice;
};

#define VELQUOR_REQUIRE_FAT_CARD(card)                                                                                 \
    if (!(card).mounted())                                                                                             \
    GTEST_SKIP() << (card).skipReason().toStdString()
