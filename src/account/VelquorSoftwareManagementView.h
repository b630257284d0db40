#pragma once

#include <QWidget>

// The software-management page: the fourth tab of the main view.
class VelquorSoftwareManagementView : public QWidget
{
    Q_OBJECT
public:
    explicit VelquorSoftwareManagementView(QWidget *parent = nullptr);

    // Rebuilds the list of software installed on the chosen card.
    void updateTableView();
    // Empties the list (the card was removed).
    void removeAllData();
};
