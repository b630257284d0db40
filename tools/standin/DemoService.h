#pragma once

#include <QString>

namespace standin {

class StandinServer;

// The account the demo service accepts.
inline constexpr char demoAccountName[] = "demo";
inline constexpr char demoAccountPassword[] = "demo1234";

// Installs the demo web service on `server`: the ten operations, answering from the demo data set,
// and, when `dataDir` is given, the package archives made there with 7zz (once per data directory)
// and served at the base address. False, with a reason, when the archives cannot be made; the
// operations are installed in any case.
bool installDemoService(StandinServer &server, const QString &dataDir, QString *error = nullptr);

} // namespace standin
