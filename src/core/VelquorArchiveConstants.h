#pragma once

#include <QString>

// Names of the package archives and their installation.
namespace VelquorArchive {

// The one password of every package archive, zip and 7z alike.
inline const QString kArchivePassword = QStringLiteral("Xq3.lantermovex.qz#%!&*");

// The application's own installer inside its extracted package.
inline const QString kInstallerPackageName = QStringLiteral("Velquor.pkg");

// The serial queue that extracts one archive at a time.
inline const QString kDecompressQueueLabel = QStringLiteral("com.ostrelle.Velquor.decompress");
// The serial queue that flushes extracted vehicles to the card and records them.
inline const QString kInstallQueueLabel = QStringLiteral("com.ostrelle.Velquor.install");
// The serial queue that lists and checks archives ahead of their extraction.
inline const QString kEntryCheckQueueLabel = QStringLiteral("com.ostrelle.Velquor.entryCheck");

// A free-space test asks for this many times the download size on the card.
inline constexpr quint64 kRequiredSpaceFactor = 5;

} // namespace VelquorArchive
