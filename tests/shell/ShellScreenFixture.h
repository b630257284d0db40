#pragma once

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
        return server.requestsTo("/webs/WebService.asmx/" + operation);
    }

    // Waits until `count` answers of the operation have gone out, then lets them be handled.
    bool waitForAnswers(const QString &operation, size_t count = 1)
    {
        const bool answered = waitUntil(
            [&] {
                const auto requests = requestsTo(operation);
                return requests.size() >= count && requests.back().status != 0;
            },
            10000);
        waitUntil([] { return false; }, 200);
        return answered;
    }

    standin::StandinServer server;
    QStringList messages;
    QList<QPointer<VelquorAlert>> shownAlerts;
    bool answerAlerts = true;
};

} // namespace shelltest
