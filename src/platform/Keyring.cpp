#include "Keyring.h"

#undef signals
#include <libsecret/secret.h>

namespace {

const SecretSchema *passwordSchema()
{
    static const SecretSchema schema = {
        "com.ostrelle.Velquor.Password",
        SECRET_SCHEMA_NONE,
        {
            {"service", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING},
        },
        0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    return &schema;
}

} // namespace

bool Keyring::store(const QString &service, const QString &account, const QString &secret, const QString &label)
{
    const QByteArray serviceUtf8 = service.toUtf8();
    const QByteArray accountUtf8 = account.toUtf8();
    const QByteArray secretUtf8 = secret.toUtf8();
    const QByteArray labelUtf8 = (label.isEmpty() ? service : label).toUtf8();
    GError *error = nullptr;
    // The Secret Service replaces an item whose attributes match exactly, so one item remains.
    const gboolean stored = secret_password_store_sync(passwordSchema(), SECRET_COLLECTION_DEFAULT,
                                                       labelUtf8.constData(), secretUtf8.constData(), nullptr,
                                                       &error, "service", serviceUtf8.constData(), "account",
                                                       accountUtf8.constData(), nullptr);
    if (error) {
        g_error_free(error);
        return false;
    }
    return stored;
}

std::optional<QString> Keyring::lookup(const QString &service, const QString &account)
{
    const QByteArray serviceUtf8 = service.toUtf8();
    const QByteArray accountUtf8 = account.toUtf8();
    GError *error = nullptr;
    gchar *secret = secret_password_lookup_sync(passwordSchema(), nullptr, &error, "service",
                                                serviceUtf8.constData(), "account", accountUtf8.constData(),
                                                nullptr);
    if (error) {
        g_error_free(error);
        return std::nullopt;
    }
    if (!secret)
        return std::nullopt;
    QString result = QString::fromUtf8(secret);
    secret_password_free(secret);
    return result;
}

bool Keyring::remove(const QString &service, const QString &account)
{
    const QByteArray serviceUtf8 = service.toUtf8();
    const QByteArray accountUtf8 = account.toUtf8();
    GError *error = nullptr;
    secret_password_clear_sync(passwordSchema(), nullptr, &error, "service", serviceUtf8.constData(), "account",
                               accountUtf8.constData(), nullptr);
    if (error) {
        g_error_free(error);
        return false;
    }
    return true;
}

int Keyring::count(const QString &service, const QString &account)
{
    const QByteArray serviceUtf8 = service.toUtf8();
    const QByteArray accountUtf8 = account.toUtf8();
    GError *error = nullptr;
    GList *items = secret_password_search_sync(passwordSchema(), SECRET_SEARCH_ALL, nullptr, &error, "service",
                                               serviceUtf8.constData(), "account", accountUtf8.constData(), nullptr);
    if (error) {
        g_error_free(error);
        return 0;
    }
    const int total = int(g_list_length(items));
    g_list_free_full(items, g_object_unref);
    return total;
}
