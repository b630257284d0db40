#include "account/VelquorSupportTicketsView.h"

VelquorSupportTicketsView::VelquorSupportTicketsView(QWidget *parent) : QWidget(parent) {}

void VelquorSupportTicketsView::setTicketsModel(const VelquorSupportTicketsModel &model)
{
    m_ticketsModel = model;
}
