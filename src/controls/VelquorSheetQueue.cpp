#include "VelquorSheetQueue.h"

#include "VelquorAlert.h"

#include <QWidget>

namespace {
const QString kQueueName = QStringLiteral("VelquorSheetQueue");
}

VelquorSheetQueue::VelquorSheetQueue(QWidget *window) : QObject(window)
{
    setObjectName(kQueueName);
}

VelquorSheetQueue *VelquorSheetQueue::forWindow(QWidget *window)
{
    if (auto *queue = window->findChild<VelquorSheetQueue *>(kQueueName, Qt::FindDirectChildrenOnly))
        return queue;
    return new VelquorSheetQueue(window);
}

void VelquorSheetQueue::enqueue(VelquorAlert *alert)
{
    m_waiting.append(alert);
    // An owner may delete a sheet while it is up; the next one must not wait for ever.
    connect(
        alert, &QObject::destroyed, this, [this] { presentNext(); }, Qt::QueuedConnection);
    presentNext();
}

void VelquorSheetQueue::sheetEnded(VelquorAlert *alert)
{
    // Begun again on this window from its own did-end, the sheet is up once more and stays current.
    const bool upAgain = alert->isVisible() && alert->parentWidget() == parent();
    if (m_current == alert && !upAgain)
        m_current = nullptr;
    presentNext();
}

void VelquorSheetQueue::presentNext()
{
    if (m_current && m_current->isVisible())
        return;
    m_current = nullptr;
    while (!m_waiting.isEmpty()) {
        QPointer<VelquorAlert> next = m_waiting.takeFirst();
        if (!next)
            continue;
        m_current = next;
        next->presentAsSheet();
        return;
    }
}
