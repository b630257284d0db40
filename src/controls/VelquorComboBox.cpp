#include "VelquorComboBox.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <QWheelEvent>

VelquorComboBox::VelquorComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, [this](int index) {
        m_stringValue = itemText(index);
        emit selectionDidChange(this);
    });
}

void VelquorComboBox::setDataSource(NumberOfItems numberOfItems, ItemAtIndex itemAtIndex)
{
    m_numberOfItems = std::move(numberOfItems);
    m_itemAtIndex = std::move(itemAtIndex);
}

void VelquorComboBox::reloadData()
{
    QStringList items;
    const qint64 count = m_numberOfItems ? qMax<qint64>(0, m_numberOfItems(this)) : 0;
    for (qint64 i = 0; i < count; ++i)
        items.append(m_itemAtIndex ? m_itemAtIndex(this, i) : QString());
    QStringList shown;
    for (int i = 0; i < QComboBox::count(); ++i)
        shown.append(itemText(i));
    const QSignalBlocker blocker(this);
    if (items != shown) {
        clear();
        addItems(items);
    }
    showStringValue();
}

void VelquorComboBox::setStringValue(const QString &value)
{
    m_stringValue = value;
    const QSignalBlocker blocker(this);
    showStringValue();
}

void VelquorComboBox::showStringValue()
{
    setCurrentIndex(m_stringValue.isEmpty() ? -1 : findText(m_stringValue, Qt::MatchExactly));
}

void VelquorComboBox::showPopup()
{
    reloadData();
    QComboBox::showPopup();
}

void VelquorComboBox::keyPressEvent(QKeyEvent *event)
{
    reloadData();
    QComboBox::keyPressEvent(event);
}

void VelquorComboBox::wheelEvent(QWheelEvent *event)
{
    reloadData();
    QComboBox::wheelEvent(event);
}
