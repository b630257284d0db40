#pragma once

#include "support/StandinRequests.h"
#include "support/TestEnvironment.h"

#include "controls/VelquorAlert.h"
#include "core/VelquorCommonTool.h"
#include "standin/DemoService.h"
#include "standin/StandinServer.h"

#include <QLabel>
#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

namespace shelltest {

// Screens against the in-process demo service. Every alert that comes up is noted by its message
// and, unless a test holds it, answered with OK.
class ShellScreenFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        standin::installDemoService(server, QString());
        qputenv("VELQUOR_SERVICE_URL", server.baseUrl().toUtf8());
        VelquorAlert::setPresentationHook([this](VelquorAlert *alert) {
            messages.append(alert->messageTextField() ? alert->messageTextField()->text() : QString());
            shownAlerts.append(alert);
            if (answerAlerts)
                alert->done(VelquorAlert::OKReturnCode);
        });
    }

    void TearDown() override { VelquorAlert::setPresentationHook(nullptr); }

    static QString text(const QString &key) { return VelquorCommonTool::sharedTool().localizedString(key); }
    static bool hasSecretService() { return !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"); }

    std::vector<standin::LoggedRequest> requestsTo(const QString &operation) const
    {
        return operationRequests(server, operation);
    }

    // Waits until `count` requests of the operation were answered and their answers handled.
    bool waitForAnswers(const QString &operation, size_t count = 1)
    {
        return waitForOperationAnswers(server, operation, count);
    }

    standin::StandinServer server;
    QStringList messages;
    QList<QPointer<VelquorAlert>> shownAlerts;
    bool answerAlerts = true;
};

} // namespace shelltest
