#include "updates/VelquorGuiPoster.h"

#include <QCoreApplication>
#include <QTimer>

void VelquorGuiPoster::post(std::function<void()> work) const
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || !work)
        return;
    QMetaObject::invokeMethod(
        application,
        [owner = m_owner, work = std::move(work)] {
            if (owner)
                work();
        },
        Qt::QueuedConnection);
}

void VelquorGuiPoster::postAfter(int milliseconds, std::function<void()> work) const
{
    post([owner = m_owner, milliseconds, work = std::move(work)] {
        QTimer::singleShot(milliseconds, owner.data(), work);
    });
}
