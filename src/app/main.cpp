#include "platform/AppInfo.h"
#include "platform/DispatchQueue.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    AppInfo::applyToApplication();
    QWidget window;
    window.setFixedSize(1140, 724);
    window.setWindowTitle(AppInfo::name());
    window.show();
    const int result = app.exec();
    DispatchQueue::shutdownAll();
    return result;
}
