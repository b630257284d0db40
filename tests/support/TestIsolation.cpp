#include "TestIsolation.h"

#include "KeyringReset.h"
#include "TestEnvironment.h"

#include "platform/StandardLocations.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QSettings>

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <utility>

namespace {

const char *const kSeams[] = {"VELQUOR_SERVICE_URL", "VELQUOR_CARD_VOLUMES"};

std::optional<QByteArray> seamAtStart[std::size(kSeams)];

class CaseIsolation : public ::testing::EmptyTestEventListener
{
public:
    explicit CaseIsolation(std::function<void()> resetShared) : m_resetShared(std::move(resetShared)) {}

    void OnTestStart(const ::testing::TestInfo &) override { reset(); }
    // After the fixture is gone, so nothing of the case is still using what is reset.
    void OnTestEnd(const ::testing::TestInfo &) override { reset(); }

private:
    void reset()
    {
        // Objects the case let go of with deleteLater() go now, observers and timers with them.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (m_resetShared)
            m_resetShared();
        emptyTestKeyringBetweenCases();
        clearApplicationData();
    }

    std::function<void()> m_resetShared;
};

} // namespace

void isolateEveryCase(std::function<void()> resetShared)
{
    // A child run works in its parent's HOME, on what the parent prepared for it.
    if (!qEnvironmentVariableIsEmpty(kSharedHomeVariable))
        return;
    for (size_t i = 0; i < std::size(kSeams); ++i)
        if (qEnvironmentVariableIsSet(kSeams[i]))
            seamAtStart[i] = qgetenv(kSeams[i]);
    ::testing::UnitTest::GetInstance()->listeners().Append(new CaseIsolation(std::move(resetShared)));
}

void clearApplicationData()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ostrelle"),
                       QStringLiteral("Velquor"));
    settings.clear();
    settings.sync();

    const QString documents = StandardLocations::documentsDirectory();
    if (!documents.isEmpty()) {
        QDir folder(documents);
        const auto entries =
            folder.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QFileInfo &entry : entries) {
            // The database with its journal files; removed under its open connection it would live on.
            if (entry.fileName().startsWith(QLatin1String("Velquor.db")))
                continue;
            if (entry.isDir() && !entry.isSymLink())
                QDir(entry.filePath()).removeRecursively();
            else
                folder.remove(entry.fileName());
        }
    }

    for (size_t i = 0; i < std::size(kSeams); ++i) {
        if (seamAtStart[i])
            qputenv(kSeams[i], *seamAtStart[i]);
        else
            qunsetenv(kSeams[i]);
    }
}
