#include "account/VelquorMyProfileView.h"

VelquorMyProfileView::VelquorMyProfileView(QWidget *parent) : QWidget(parent) {}
