#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class VelquorAlert;

// The sheets of one window, one on screen at a time: a sheet begun while another is open waits
// until that one ends. Lives as a child of the window, so it goes with it.
class VelquorSheetQueue : public QObject
{
    Q_OBJECT
public:
    static VelquorSheetQueue *forWindow(QWidget *window);

    void enqueue(VelquorAlert *alert);
    // The sheet on screen has ended; the next waiting one comes up.
    void sheetEnded(VelquorAlert *alert);
    VelquorAlert *currentSheet() const { return m_current; }

private:
    explicit VelquorSheetQueue(QWidget *window);
    void presentNext();

    QPointer<VelquorAlert> m_current;
    QList<QPointer<VelquorAlert>> m_waiting;
};
