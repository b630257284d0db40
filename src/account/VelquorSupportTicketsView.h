#pragma once

#include "core/VelquorSupportTicketsModel.h"

#include <QWidget>

// The feedback page: the third tab of the main view.
class VelquorSupportTicketsView : public QWidget
{
    Q_OBJECT
public:
    explicit VelquorSupportTicketsView(QWidget *parent = nullptr);

    // The form's choices: the account's product names as scanners.
    void setTicketsModel(const VelquorSupportTicketsModel &model);
    VelquorSupportTicketsModel ticketsModel() const { return m_ticketsModel; }

private:
    VelquorSupportTicketsModel m_ticketsModel;
};
