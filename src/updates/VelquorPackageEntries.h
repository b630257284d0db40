#pragma once

#include "core/VelquorDownloadModel.h"

#include <QString>
#include <QStringList>

#include <functional>

class VelquorUpdatesPageServices;

// How the download work reads an offered record: its archive entries, their download addresses and
// whether the record is one of the two system families.
//
// A record's filePath holds one or more archive paths relative to the service's base address,
// separated by ";". An entry holding "part.zip" is one part of a split package, one holding
// "APPEND.zip" an incremental package (plain substring tests, letter case as written).
class VelquorPackageEntries
{
public:
    static inline const QString PartMarker = QStringLiteral("part.zip");
    static inline const QString AppendMarker = QStringLiteral("APPEND.zip");

    // The usable entries of a filePath, in order.
    static QStringList usableEntries(const QString &filePath);
    // The service's base address (ending in "/") followed by the entry.
    static QString downloadURL(const QString &entry);

    // "OS-SOFTWARE" or "MAC_UPDATETOOLS", letter case ignored.
    static bool isSystemFamily(const QString &vehicle);
    static bool isInstaller(const QString &vehicle);

    // The version held of a stored record's package: the record's own, or the card's.
    using HeldVersion = std::function<QString(const VelquorDownloadModelPtr &stored)>;
    // Whether the offered record of a stored record's own package (same software, letter case
    // ignored) is newer than the version held of it (by default the stored record's). A vehicle's
    // packages may carry different versions, and a package the card already held was never stored,
    // so records are compared package by package.
    static bool offersNewerPackage(const VelquorDownloadModelList &offered, const VelquorDownloadModelList &stored,
                                   const HeldVersion &heldVersion = {});

    // Whether the record's "APPEND" package applies to the package the card holds, by the chosen
    // product's append versions.
    static bool hasAppend(const VelquorUpdatesPageServices &page, const VelquorDownloadModelPtr &model);

    // What a stored record's archive is to its package: the whole of it (its data package, its parts,
    // a system package), an append to a version, or a language added to a version.
    enum class ArchiveRole { Whole, Append, Language };
    static ArchiveRole roleOf(const VelquorDownloadModelPtr &stored);
    // Whether the stored records, unpacked onto the card as it holds now, leave each of their packages
    // a whole version: a package planned only as additions to an installed version (an append, a
    // language) needs that version still there. `appendApplies`: the card holds a version the record's
    // append applies to; `holdsVersion`: the card holds the record's own version.
    using CardTest = std::function<bool(const VelquorDownloadModelPtr &stored)>;
    static bool makesWholeVersions(const VelquorDownloadModelList &stored, const CardTest &appendApplies,
                                   const CardTest &holdsVersion);
};
