#include "TestEnvironment.h"

#include "platform/AppInfo.h"
#include "platform/DispatchQueue.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    installPrivateHome();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AppInfo::applyToApplication();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    DispatchQueue::shutdownAll();
    return result;
}
