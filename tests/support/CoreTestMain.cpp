#include "KeyringReset.h"
#include "TestEnvironment.h"

#ifdef VELQUOR_TEST_LINKS_CORE
#include "core/VelquorKeychainManager.h"
#endif

#include "platform/AppInfo.h"
#include "platform/DispatchQueue.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {
// Every case of a whole run starts, and leaves the next one, with an empty HOME, no settings, no
// keychain call of an earlier case still queued and an empty test keyring.
class FreshHomePerCase : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &) override { reset(); }
    void OnTestEnd(const ::testing::TestInfo &) override { reset(); }

    static void reset()
    {
#ifdef VELQUOR_TEST_LINKS_CORE
        if (!VelquorKeychainManager::sharedManager().waitForQueuedCalls(60000))
            ADD_FAILURE() << "the keychain's queue still runs a call of the last case";
#endif
        emptyTestKeyringBetweenCases();
        resetPrivateHome();
    }
};
} // namespace

int main(int argc, char **argv)
{
    installPrivateHome();
    QCoreApplication app(argc, argv);
    AppInfo::applyToApplication();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshHomePerCase);
    const int result = RUN_ALL_TESTS();
    DispatchQueue::shutdownAll();
    return result;
}
