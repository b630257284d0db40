#pragma once

#include <QComboBox>

#include <functional>

// A pick-list box of the feedback form: the user chooses one of its items and types nothing. It
// says when its list is about to open, so the owner can fetch fresh items; the list opens at once
// with the items it has.
class VelquorTicketComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit VelquorTicketComboBox(QWidget *parent = nullptr);

    void setWillPopUp(std::function<void()> handler) { m_willPopUp = std::move(handler); }
    // Replaces the items, keeping the current choice when it is still among them.
    void setItems(const QStringList &items);

    void showPopup() override;

private:
    std::function<void()> m_willPopUp;
};
