#pragma once

#include <QString>

namespace standin {

// Writes into the application's database file the install records of the demo card's packages
// (DemoCard.h) for the demo account on each demo device, as the application keeps them once it has
// installed them, so the updates page knows what the card holds. Records of the same vehicles are
// replaced. False, with a reason, when they could not be written.
bool writeDemoInstallRecords(const QString &databasePath, QString *error = nullptr);

} // namespace standin
