#include "VelquorComboBox.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <QWheelEvent>

namespace {

// The keys with which the closed box would choose another item: arrows, paging, Home and End, and
// typing an item's first letters.
bool stepsThroughItems(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Up:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    case Qt::Key_Down:
        return !(event.modifiers() & Qt::AltModifier);
    case Qt::Key_Space:
        return false;
    default:
        return !event.text().isEmpty() && event.text().front().isPrint();
    }
}

} // namespace

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
    // Space, F4 and Alt+Down still open the list.
    if (stepsThroughItems(*event)) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void VelquorComboBox::wheelEvent(QWheelEvent *event)
{
    // Over the closed box the wheel belongs to the page; the opened list scrolls by its own view.
    event->ignore();
}
