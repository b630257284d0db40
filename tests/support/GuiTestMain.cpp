#include "TestEnvironment.h"
#include "TestIsolation.h"

#ifdef VELQUOR_TEST_LINKS_UI
#include "SharedObjectsReset.h"
#endif

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
#ifdef VELQUOR_TEST_LINKS_UI
    isolateEveryCase(resetSharedObjects);
#else
    isolateEveryCase();
#endif
    const int result = RUN_ALL_TESTS();
    DispatchQueue::shutdownAll();
    return result;
}
