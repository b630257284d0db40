#include "TestEnvironment.h"

#include "platform/AppInfo.h"
#include "platform/DispatchQueue.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {
// Every case of a whole run starts, and leaves the next one, with an empty HOME and no settings.
class FreshHomePerCase : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &) override { resetPrivateHome(); }
    void OnTestEnd(const ::testing::TestInfo &) override { resetPrivateHome(); }
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
