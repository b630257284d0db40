#pragma once

#include "support/StandinRequests.h"
#include "support/TestEnvironment.h"

#include "controls/VelquorAlert.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorKeychainManager.h"
#include "core/VelquorLoginResultModel.h"
#include "core/VelquorUserManager.h"
#include "standin/DemoService.h"
#include "standin/StandinServer.h"

#include <QLabel>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace accounttest {

// An account page in a window of the main view's size, signed in as the demo account of the
// in-process stand-in service. Every alert that comes up is noted by its message and answered
// with OK.
template <class Page> class AccountPageFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        standin::installDemoService(server, QString());
        qputenv("VELQUOR_SERVICE_URL", server.baseUrl().toUtf8());
        VelquorAlert::setPresentationHook([this](VelquorAlert *alert) {
            messages.append(alert->messageTextField() ? alert->messageTextField()->text() : QString());
            alert->done(VelquorAlert::OKReturnCode);
        });

        VelquorLoginResultModel login;
        login.setMsgCode(1);
        login.setUserReName(QString::fromLatin1(standin::demoAccountName));
        ASSERT_TRUE(VelquorUserManager::sharedManager().saveUserInfo(login));
        VelquorUserManager::sharedManager().saveAccountName(QString::fromLatin1(standin::demoAccountName));
        // The profile's save sends the remembered password (./test runs a Secret Service).
        VelquorKeychainManager::sharedManager().saveDataForKeyChain(QString::fromLatin1(standin::demoAccountPassword),
                                                                    QString::fromLatin1(standin::demoAccountName));

        window = std::make_unique<QWidget>();
        window->resize(1140, 636);
        page = new Page(window.get());
        page->setGeometry(window->rect());
    }

    void TearDown() override { VelquorAlert::setPresentationHook(nullptr); }

    static QString text(const QString &key) { return VelquorCommonTool::sharedTool().localizedString(key); }

    std::vector<standin::LoggedRequest> requestsTo(const QString &operation) const
    {
        return operationRequests(server, operation);
    }

    // Waits until `count` requests of the operation were answered and their answers handled.
    bool waitForAnswers(const QString &operation, size_t count = 1)
    {
        return waitForOperationAnswers(server, operation, count);
    }

    bool waitForMessage(const QString &message)
    {
        return waitUntil([&] { return messages.contains(message); }, 10000);
    }

    standin::StandinServer server;
    std::unique_ptr<QWidget> window;
    QPointer<Page> page;
    QStringList messages;
};

} // namespace accounttest
