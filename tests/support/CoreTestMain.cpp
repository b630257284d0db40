#include "TestEnvironment.h"

#include "platform/AppInfo.h"
#include "platform/DispatchQueue.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    installPrivateHome();
    QCoreApplication app(argc, argv);
    AppInfo::applyToApplication();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    DispatchQueue::shutdownAll();
    return result;
}
