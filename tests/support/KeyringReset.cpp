#include "KeyringReset.h"

#include <QtGlobal>

#include <gtest/gtest.h>

#undef signals
#include <libsecret/secret.h>

namespace {

bool runsSeveralCases()
{
    return ::testing::UnitTest::GetInstance()->test_to_run_count() > 1 || GTEST_FLAG_GET(repeat) != 1;
}

} // namespace

void emptyTestKeyringBetweenCases()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") || !runsSeveralCases())
        return;
    // The application's schema by name: with no attributes given, every item of it matches.
    static const SecretSchema schema = {"com.ostrelle.Velquor.Password",
                                        SECRET_SCHEMA_NONE,
                                        {{"service", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                                        0,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr};
    GError *error = nullptr;
    secret_password_clear_sync(&schema, nullptr, &error, nullptr);
    if (error) {
        ADD_FAILURE() << "the keyring of the last case could not be emptied: " << error->message;
        g_error_free(error);
    }
}
