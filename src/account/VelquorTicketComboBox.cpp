#include "account/VelquorTicketComboBox.h"

#include <QSignalBlocker>

VelquorTicketComboBox::VelquorTicketComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    setMaxVisibleItems(12);
}

void VelquorTicketComboBox::setItems(const QStringList &items)
{
    const QString current = currentText();
    // A reload is no choice of the user's.
    const QSignalBlocker blocker(this);
    clear();
    addItems(items);
    setCurrentIndex(current.isEmpty() ? -1 : items.indexOf(current));
}

void VelquorTicketComboBox::showPopup()
{
    if (m_willPopUp)
        m_willPopUp();
    QComboBox::showPopup();
}
