#include "ShotRegistry.h"

ShotRegistry &ShotRegistry::instance()
{
    static ShotRegistry registry;
    return registry;
}

void ShotRegistry::add(Shot shot)
{
    m_shots.push_back(std::move(shot));
}

void ShotRegistry::add(const QString &family, const QString &name, std::function<std::unique_ptr<QWidget>()> make,
                       std::function<void(QWidget *)> prepare)
{
    add(Shot{family, name, std::move(make), std::move(prepare)});
}
