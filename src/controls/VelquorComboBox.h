#pragma once

#include <QComboBox>

#include <functional>

// A drop-down choice whose items come from a data source, asked again whenever its list opens and on
// reloadData(). The user chooses from the opened list only (a click, or Return on the highlighted
// item): a choice may start heavy work, so the closed box passes the wheel on to what lies under it
// and does not step through its items with the keyboard. Only the user's choices are reported, never
// a change made by the owner.
class VelquorComboBox : public QComboBox
{
    Q_OBJECT
public:
    using NumberOfItems = std::function<qint64(VelquorComboBox *box)>;
    using ItemAtIndex = std::function<QString(VelquorComboBox *box, qint64 index)>;

    explicit VelquorComboBox(QWidget *parent = nullptr);

    void setDataSource(NumberOfItems numberOfItems, ItemAtIndex itemAtIndex);
    // Fills the items from the data source again and shows the string value among them.
    void reloadData();

    // The text shown: the item with this text is chosen, none when no item has it.
    QString stringValue() const { return m_stringValue; }
    void setStringValue(const QString &value);
    // The chosen item, -1 when none.
    qint64 indexOfSelectedItem() const { return currentIndex(); }

    void showPopup() override;

signals:
    // The user chose an item.
    void selectionDidChange(VelquorComboBox *box);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void showStringValue();

    NumberOfItems m_numberOfItems;
    ItemAtIndex m_itemAtIndex;
    QString m_stringValue;
};
