#include "DemoService.h"

#include "DemoCatalogue.h"
#include "DemoOperations.h"
#include "StandinServer.h"

#include <QDebug>

namespace standin {

bool installDemoService(StandinServer &server, const QString &dataDir, QString *error)
{
    DemoOperations::install(server, std::make_shared<DemoOperations>());
    if (dataDir.isEmpty())
        return true;

    QString reason;
    if (!makeDemoArchives(dataDir, demoArchives(), &reason)) {
        qWarning().noquote() << "velquor-standin: the demo archives could not be made:" << reason;
        if (error)
            *error = reason;
        return false;
    }
    server.setFileRoot(dataDir);
    return true;
}

} // namespace standin
