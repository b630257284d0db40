#include "platform/AppInfo.h"
#include "platform/DispatchQueue.h"
#include "shell/AppDelegate.h"
#include "shell/VelquorWindowController.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    AppInfo::applyToApplication();

    AppDelegate *delegate = new AppDelegate(app);
    delegate->applicationWillFinishLaunching();
    int result = 0;
    {
        VelquorWindowController windowController;
        windowController.windowDidLoad();
        delegate->applicationDidFinishLaunching();
        result = app.exec();
    }
    // The queues stop (and their threads are joined) before static objects go away.
    DispatchQueue::shutdownAll();
    return result;
}
