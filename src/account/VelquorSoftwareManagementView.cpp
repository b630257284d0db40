#include "account/VelquorSoftwareManagementView.h"

VelquorSoftwareManagementView::VelquorSoftwareManagementView(QWidget *parent) : QWidget(parent) {}

void VelquorSoftwareManagementView::updateTableView() {}

void VelquorSoftwareManagementView::removeAllData() {}
