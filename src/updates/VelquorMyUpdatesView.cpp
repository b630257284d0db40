#include "updates/VelquorMyUpdatesView.h"

#include "core/VelquorMyUpdatesListModel.h"

VelquorMyUpdatesView::VelquorMyUpdatesView(QWidget *parent) : QWidget(parent) {}

VelquorMyUpdatesView::~VelquorMyUpdatesView() = default;

void VelquorMyUpdatesView::setMyUpdatesModel(const std::shared_ptr<VelquorMyUpdatesListModel> &model)
{
    m_myUpdatesModel = model;
}

void VelquorMyUpdatesView::displayUpdateView(bool display) {}
