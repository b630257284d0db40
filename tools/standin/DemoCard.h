#pragma once

#include "DemoCatalogue.h"

#include <QList>
#include <QString>

namespace standin {

// The card a demo user brings along: the operating software and two vehicles already installed,
// HONDA at the catalogue's version and BENZ one version behind it, so the updates page offers a
// mix of new packages and updates while the operating software is current.
QList<DemoPackage> demoCardPackages();

// Where a package's archives unpack on a card: the card folder above the package's own, whose
// name leads every entry of its archives.
QString demoExtractionFolder(const QString &cardDir, const DemoPackage &package);

// Writes the files those packages put on a card (what extracting their archives gives) under
// `cardDir`, replacing files of the same names. False, with a reason, when a file cannot be written.
bool writeDemoCard(const QString &cardDir, QString *error = nullptr);

} // namespace standin
