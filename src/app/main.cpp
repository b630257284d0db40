#include "platform/AppInfo.h"
#include "platform/DispatchQueue.h"
#include "shell/VelquorStartup.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    AppInfo::applyToApplication();
    int result = 0;
    {
        VelquorStartup startup(app);
        result = startup.exec();
    }
    // The queues stop (and their threads are joined) before static objects go away. A keyring call
    // that never answered is not waited for; whatever it posts to the GUI thread later is dropped.
    DispatchQueue::shutdownAll();
    DispatchQueue::main().shutdown();
    return result;
}
