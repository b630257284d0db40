#pragma once

#include <QWidget>

// The profile page: the second tab of the main view.
class VelquorMyProfileView : public QWidget
{
    Q_OBJECT
public:
    explicit VelquorMyProfileView(QWidget *parent = nullptr);
};
