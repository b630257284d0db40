#pragma once

#include "DemoCatalogue.h"
#include "StandinServer.h"

#include <QByteArray>
#include <QJsonObject>
#include <QMap>
#include <QString>

#include <memory>
#include <mutex>

namespace standin {

// The demo service's answers to the web-service operations, over the demo catalogue and its
// accounts. Accounts created by UserReg and profile edits live in memory for the server's life.
// Handlers run on the server's worker threads, so the account table is guarded.
class DemoOperations
{
public:
    DemoOperations();

    // Registers every operation on the server; the server keeps this object alive.
    static void install(StandinServer &server, std::shared_ptr<DemoOperations> operations);

    QByteArray userReg(const LoggedRequest &request);
    QByteArray userLogin(const LoggedRequest &request);
    QByteArray userProductInformation(const LoggedRequest &request);
    QByteArray productUpdateInformation(const LoggedRequest &request);
    QByteArray softwareInfo(const LoggedRequest &request);
    QByteArray productInfo(const LoggedRequest &request);
    QByteArray userComplaint(const LoggedRequest &request);
    QByteArray getUserInformation(const LoggedRequest &request);
    QByteArray updateUserInformation(const LoggedRequest &request);

    // The JSON text of a successful update-list answer offering these records.
    static QByteArray updateListAnswer(const QList<DemoPackage> &packages);

private:
    struct Account
    {
        QString password;
        QString userName; // the name the service keeps ("User_reName")
        QString userInfo;
        QList<qint64> serialIds;
        QJsonObject profile; // members as GetUserInformation answers them
    };

    // The account whose service user name is `userName`; nullptr when none.
    Account *accountByUserName(const QString &userName);

    std::mutex m_mutex;
    QMap<QString, Account> m_accounts; // by login name
};

} // namespace standin
