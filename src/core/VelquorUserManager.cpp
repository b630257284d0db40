#include "VelquorUserManager.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorKeychainManager.h"
#include "core/VelquorUserStoreConstants.h"
#include "platform/KeyedArchive.h"
#include "platform/StandardLocations.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QJsonArray>

namespace {

QString documentsFile(const QString &name)
{
    const QString documents = StandardLocations::documentsDirectory();
    return documents.isEmpty() ? QString() : QDir(documents).filePath(name);
}

} // namespace

VelquorUserManager &VelquorUserManager::sharedManager()
{
    static VelquorUserManager manager;
    return manager;
}

QString VelquorUserManager::userInfoPath()
{
    return documentsFile(VelquorUserStore::kUserInfoFileName);
}

QString VelquorUserManager::registeInfoPath()
{
    return documentsFile(VelquorUserStore::kRegisteInfoFileName);
}

void VelquorUserManager::saveAccountName(const QString &accountName)
{
    if (accountName.isEmpty())
        return;
    UserDefaults::standard().setValue(VelquorUserStore::kUserAccountNameKey, accountName);
}

QString VelquorUserManager::getAccountName() const
{
    const UserDefaults &defaults = UserDefaults::standard();
    if (!defaults.contains(VelquorUserStore::kUserAccountNameKey))
        return QStringLiteral("(null)");
    return defaults.string(VelquorUserStore::kUserAccountNameKey);
}

bool VelquorUserManager::autoLogin() const
{
    const UserDefaults &defaults = UserDefaults::standard();
    return defaults.contains(VelquorUserStore::kRememberUserPasswordKey) &&
           defaults.integer(VelquorUserStore::kRememberUserPasswordKey) == 1;
}

bool VelquorUserManager::saveUserInfo(const VelquorLoginResultModel &userInfo)
{
    const QString path = userInfoPath();
    return !path.isEmpty() && KeyedArchive::write(path, userInfo.encodeWithCoder());
}

std::shared_ptr<VelquorLoginResultModel> VelquorUserManager::getUserInfo() const
{
    const QString path = userInfoPath();
    if (path.isEmpty())
        return nullptr;
    const std::optional<QJsonValue> root = KeyedArchive::read(path);
    if (!root)
        return nullptr;
    std::optional<VelquorLoginResultModel> user = VelquorLoginResultModel::initWithCoder(*root);
    return user ? std::make_shared<VelquorLoginResultModel>(*user) : nullptr;
}

bool VelquorUserManager::saveUserRegInfo(const VelquorUserRegisteInfoModel &registeInfo)
{
    const QString path = registeInfoPath();
    if (path.isEmpty())
        return false;

    VelquorUserRegisteInfoModel record = registeInfo;
    // The keyring may stall (a prompt nobody answers): it stores the password on its own queue.
    if (VelquorCommonTool::isUsableText(record.login_name()) && !record.pwd().isEmpty())
        VelquorKeychainManager::sharedManager().saveDataForKeyChainInBackground(record.pwd(), record.login_name());
    record.setPwd(QString());

    QList<VelquorUserRegisteInfoModel> records = getUserRegInfos().value_or(QList<VelquorUserRegisteInfoModel>());
    bool replaced = false;
    // A record without login_name never matches and is always appended.
    if (!record.login_name().isNull()) {
        for (VelquorUserRegisteInfoModel &stored : records) {
            if (!stored.login_name().isNull() && stored.login_name() == record.login_name()) {
                stored = record;
                replaced = true;
            }
        }
    }
    if (!replaced)
        records.append(record);

    QJsonArray archive;
    for (const VelquorUserRegisteInfoModel &stored : records)
        archive.append(stored.encodeWithCoder());
    return KeyedArchive::write(path, archive);
}

std::optional<QList<VelquorUserRegisteInfoModel>> VelquorUserManager::getUserRegInfos() const
{
    const QString path = registeInfoPath();
    if (path.isEmpty())
        return std::nullopt;
    const std::optional<QJsonValue> root = KeyedArchive::read(path);
    if (!root || !root->isArray())
        return std::nullopt;
    QList<VelquorUserRegisteInfoModel> records;
    for (const QJsonValue &item : root->toArray()) {
        std::optional<VelquorUserRegisteInfoModel> record = VelquorUserRegisteInfoModel::initWithCoder(item);
        if (!record)
            return std::nullopt;
        records.append(*record);
    }
    return records;
}
