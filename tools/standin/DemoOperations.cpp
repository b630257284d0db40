#include "DemoOperations.h"

#include "DemoCatalogue.h"
#include "DemoService.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>

namespace standin {

namespace {

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray status(int code, const QString &message)
{
    return compact(QJsonObject{{QStringLiteral("MSG_CODE"), code}, {QStringLiteral("MSG_INFO"), message}});
}

QJsonObject parameters(const LoggedRequest &request)
{
    return request.json.toObject();
}

QString text(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toVariant().toString();
}

// The service writes its strings as they are: bare backslashes in paths and raw line breaks in
// notes (the client's clean-up relies on both). Quotes never occur in its data.
QByteArray rawString(QString value)
{
    value.replace(QLatin1Char('"'), QLatin1Char('\''));
    return '"' + value.toUtf8() + '"';
}

QByteArray packageJson(const DemoPackage &p)
{
    QByteArrayList members;
    if (!p.software.isEmpty())
        members << "\"software\":" + rawString(p.software);
    members << "\"version\":" + rawString(p.version);
    members << "\"language\":" + rawString(p.language);
    members << "\"release\":" + rawString(p.release);
    members << "\"is_update\":" + rawString(p.isUpdate ? QStringLiteral("True") : QStringLiteral("False"));
    members << "\"file_path\":" + rawString(p.filePath);
    if (!p.sdPath.isEmpty())
        members << "\"sd_path\":" + rawString(p.sdPath);
    members << "\"update_info\":" + rawString(p.updateInfo);
    members << "\"price\":" + QByteArray::number(p.price);
    return '{' + members.join(',') + '}';
}

QString md5Hex(const QString &text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
}

} // namespace

DemoOperations::DemoOperations()
{
    Account demo;
    demo.password = QLatin1String(demoAccountPassword);
    demo.userName = QLatin1String(demoAccountName);
    demo.userInfo = QStringLiteral("Demo Workshop");
    for (const DemoDevice &device : demoDevices())
        demo.serialIds << device.serialId;
    demo.profile = QJsonObject{
        {QStringLiteral("first"), QStringLiteral("Alex")},
        {QStringLiteral("middle"), QString()},
        {QStringLiteral("last"), QStringLiteral("Morgan")},
        {QStringLiteral("address"), QStringLiteral("12 Station Road")},
        {QStringLiteral("address_two"), QStringLiteral("Unit 4")},
        {QStringLiteral("email"), QStringLiteral("demo@example.com")},
        {QStringLiteral("country"), QStringLiteral("United Kingdom")},
        {QStringLiteral("state"), QStringLiteral("Kent")},
        {QStringLiteral("city"), QStringLiteral("Ashford")},
        {QStringLiteral("zip"), QStringLiteral("TN24 0AA")},
        {QStringLiteral("update"), QStringLiteral("True")},
        {QStringLiteral("telephone"), QStringLiteral("+44 1233 000000")},
        {QStringLiteral("user_name"), QLatin1String(demoAccountName)},
    };
    m_accounts.insert(QLatin1String(demoAccountName), demo);
}

void DemoOperations::install(StandinServer &server, std::shared_ptr<DemoOperations> operations)
{
    using Handler = QByteArray (DemoOperations::*)(const LoggedRequest &);
    const QList<QPair<QString, Handler>> table = {
        {QStringLiteral("UserReg"), &DemoOperations::userReg},
        {QStringLiteral("UserLogin"), &DemoOperations::userLogin},
        {QStringLiteral("UserProductInformation"), &DemoOperations::userProductInformation},
        {QStringLiteral("ProductUpdateInformation"), &DemoOperations::productUpdateInformation},
        {QStringLiteral("SoftwareInfo"), &DemoOperations::softwareInfo},
        {QStringLiteral("ProductInfo"), &DemoOperations::productInfo},
        {QStringLiteral("UserComplaint"), &DemoOperations::userComplaint},
        {QStringLiteral("GetUserInformation"), &DemoOperations::getUserInformation},
        {QStringLiteral("UpdateUserInformation"), &DemoOperations::updateUserInformation},
    };
    for (const auto &[name, handler] : table) {
        server.setOperation(name, [operations, handler = handler](const LoggedRequest &request) {
            return ((*operations).*handler)(request);
        });
    }
    // "function/upload.ashx" keeps the server's own answer: success with the file's name and size.
}

DemoOperations::Account *DemoOperations::accountByUserName(const QString &userName)
{
    for (Account &account : m_accounts) {
        if (!userName.isEmpty() && account.userName == userName)
            return &account;
    }
    return nullptr;
}

QByteArray DemoOperations::userReg(const LoggedRequest &request)
{
    const QJsonObject record = parameters(request);
    const QString login = text(record, "login_name");
    const QString password = text(record, "pwd");
    const QString email = text(record, "email");
    if (login.trimmed().isEmpty() || password.isEmpty() || email.isEmpty())
        return status(-1, QStringLiteral("PARAMETER_ERROR"));

    std::lock_guard lock(m_mutex);
    if (m_accounts.contains(login))
        return status(0, QStringLiteral("USER_NAME_REG"));
    for (const Account &account : std::as_const(m_accounts)) {
        if (account.profile.value(QStringLiteral("email")).toString().compare(email, Qt::CaseInsensitive) == 0)
            return status(0, QStringLiteral("USER_EMAIL_REG"));
    }
    Account account;
    account.password = password;
    account.userName = login;
    account.userInfo = text(record, "first_name") + QLatin1Char(' ') + text(record, "last_name");
    account.profile = QJsonObject{
        {QStringLiteral("first"), text(record, "first_name")},
        {QStringLiteral("middle"), text(record, "middle_name")},
        {QStringLiteral("last"), text(record, "last_name")},
        {QStringLiteral("address"), text(record, "address")},
        {QStringLiteral("address_two"), text(record, "address_two")},
        {QStringLiteral("email"), email},
        {QStringLiteral("country"), text(record, "country")},
        {QStringLiteral("state"), text(record, "state")},
        {QStringLiteral("city"), text(record, "city")},
        {QStringLiteral("zip"), text(record, "zip")},
        {QStringLiteral("update"), record.value(QStringLiteral("is_notified_update")).toBool() ? "True" : "False"},
        {QStringLiteral("telephone"), text(record, "telphone")},
        {QStringLiteral("user_name"), login},
    };
    m_accounts.insert(login, account);
    return status(1, QStringLiteral("REG_SUCCESS"));
}

QByteArray DemoOperations::userLogin(const LoggedRequest &request)
{
    const QJsonObject params = parameters(request);
    const QString login = text(params, "OstrelleUserLoginName");
    const QString digest = text(params, "OstrelleUserPassWods");
    if (login.isEmpty() || digest.isEmpty())
        return status(-1, QStringLiteral("PARAMETER_ERROR"));

    std::lock_guard lock(m_mutex);
    const auto found = m_accounts.constFind(login);
    if (found == m_accounts.constEnd() || md5Hex(found->password) != digest)
        return status(0, QStringLiteral("USER_OR_PASSWORD_ERROR"));
    return compact(QJsonObject{
        {QStringLiteral("MSG_CODE"), 1},
        {QStringLiteral("MSG_INFO"), QStringLiteral("LOGIN_SUCCESS")},
        {QStringLiteral("User_Info"), found->userInfo},
        {QStringLiteral("User_reName"), found->userName},
        {QStringLiteral("is_right"), QStringLiteral("True")},
    });
}

QByteArray DemoOperations::userProductInformation(const LoggedRequest &request)
{
    std::lock_guard lock(m_mutex);
    const Account *account = accountByUserName(text(parameters(request), "user_name"));
    if (!account)
        return status(0, QStringLiteral("NO_USER"));
    if (account->serialIds.isEmpty())
        return status(2, QStringLiteral("NO_PRODUCT"));
    QJsonArray devices;
    for (const DemoDevice &device : demoDevices()) {
        if (!account->serialIds.contains(device.serialId))
            continue;
        // The service writes its ids as text.
        devices.append(QJsonObject{
            {QStringLiteral("serial_number"), device.serialNumber},
            {QStringLiteral("serial_id"), QString::number(device.serialId)},
            {QStringLiteral("product_name"), demoProductName(device.productId)},
            {QStringLiteral("product_id"), QString::number(device.productId)},
        });
    }
    return compact(QJsonObject{{QStringLiteral("MSG_CODE"), QStringLiteral("1")},
                               {QStringLiteral("MSG_INFO"), QStringLiteral("SUCCESS")},
                               {QStringLiteral("PRODUCT_INFO"), devices}});
}

QByteArray DemoOperations::productUpdateInformation(const LoggedRequest &request)
{
    const QJsonObject params = parameters(request);
    const qint64 serialId = params.value(QStringLiteral("serialid")).toVariant().toLongLong();
    {
        std::lock_guard lock(m_mutex);
        const Account *account = accountByUserName(text(params, "login_name"));
        if (!account || !account->serialIds.contains(serialId))
            return status(0, QStringLiteral("NO_DATA"));
    }
    return updateListAnswer(demoUpdateList(serialId));
}

QByteArray DemoOperations::updateListAnswer(const QList<DemoPackage> &packages)
{
    QByteArrayList records;
    for (const DemoPackage &p : packages)
        records << packageJson(p);
    return "{\"MSG_CODE\":1,\"MSG_INFO\":\"SUCCESS\",\"UPGRADE\":[" + records.join(',') + "]}";
}

QByteArray DemoOperations::softwareInfo(const LoggedRequest &request)
{
    const qint64 productId = parameters(request).value(QStringLiteral("product_id")).toVariant().toLongLong();
    for (const DemoProduct &product : demoProducts()) {
        if (product.id != productId)
            continue;
        QJsonArray softwares;
        for (int i = 0; i < product.softwares.size(); ++i) {
            softwares.append(QJsonObject{{QStringLiteral("software_name"), product.softwares[i]},
                                         {QStringLiteral("software_id"), product.id * 100 + i + 1}});
        }
        return compact(QJsonObject{{QStringLiteral("MSG_CODE"), 1},
                                   {QStringLiteral("MSG_INFO"), QStringLiteral("SUCCESS")},
                                   {QStringLiteral("SOFTWARE_INFO"), softwares}});
    }
    return status(0, QStringLiteral("NO_PRODUCT"));
}

QByteArray DemoOperations::productInfo(const LoggedRequest &)
{
    QJsonArray products;
    for (const DemoProduct &product : demoProducts()) {
        products.append(
            QJsonObject{{QStringLiteral("product_name"), product.name}, {QStringLiteral("product_id"), product.id}});
    }
    return compact(QJsonObject{{QStringLiteral("MSG_CODE"), 1},
                               {QStringLiteral("MSG_INFO"), QStringLiteral("SUCCESS")},
                               {QStringLiteral("PRODUCT"), products}});
}

QByteArray DemoOperations::userComplaint(const LoggedRequest &request)
{
    const QJsonObject ticket = parameters(request);
    static const char *const members[] = {"user_name", "title",  "product_name", "software_name",
                                          "years",     "engine", "problem",      "vin",
                                          "version",   "vech",   "car_m",        "part_number"};
    for (const char *member : members) {
        if (!ticket.contains(QLatin1String(member)))
            return status(0, QStringLiteral("SUBMIT_FAILED"));
    }
    std::lock_guard lock(m_mutex);
    if (!accountByUserName(text(ticket, "user_name")))
        return status(0, QStringLiteral("NO_USER"));
    return status(1, QStringLiteral("SUBMIT_SUCCESS"));
}

QByteArray DemoOperations::getUserInformation(const LoggedRequest &request)
{
    std::lock_guard lock(m_mutex);
    const Account *account = accountByUserName(text(parameters(request), "login_name"));
    if (!account)
        return compact(QJsonObject{{QStringLiteral("MSG_CODE"), 0}});
    return compact(
        QJsonObject{{QStringLiteral("MSG_CODE"), QStringLiteral("1")}, {QStringLiteral("RESULT"), account->profile}});
}

QByteArray DemoOperations::updateUserInformation(const LoggedRequest &request)
{
    const QJsonObject profile = parameters(request);
    std::lock_guard lock(m_mutex);
    Account *account = accountByUserName(text(profile, "login_name"));
    if (!account)
        return status(0, QStringLiteral("NO_USER"));
    const QString password = text(profile, "login_pwd");
    if (!password.isEmpty() && password != account->password && password != md5Hex(account->password))
        return status(0, QStringLiteral("PASSWORD_ERROR"));

    // Request member -> profile member.
    static const QList<QPair<const char *, const char *>> fields = {
        {"first_name", "first"},
        {"middle_name", "middle"},
        {"last_name", "last"},
        {"address", "address"},
        {"address_two", "address_two"},
        {"city", "city"},
        {"country", "country"},
        {"state", "state"},
        {"zip", "zip"},
        {"telphone", "telephone"},
    };
    for (const auto &[from, to] : fields) {
        if (profile.contains(QLatin1String(from)))
            account->profile.insert(QLatin1String(to), text(profile, from));
    }
    if (profile.contains(QStringLiteral("is_notified_update"))) {
        account->profile.insert(QStringLiteral("update"), profile.value(QStringLiteral("is_notified_update")).toBool()
                                                              ? QStringLiteral("True")
                                                              : QStringLiteral("False"));
    }
    return status(1, QStringLiteral("UPDATE_SUCCESS"));
}

} // namespace standin
