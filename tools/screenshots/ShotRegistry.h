#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

// Every picture velquor-screenshots renders: each family of controls or screens registers its
// shots from its own file with VELQUOR_SHOTS, so adding a family touches no other file.
struct Shot
{
    QString family; // e.g. "tabview"; the file is "<family>-<name>.png"
    QString name;   // e.g. "item2-selected"
    // Builds the widget to render, as a top-level widget of the size to capture.
    std::function<std::unique_ptr<QWidget>()> make;
    // Optional: runs once the widget is shown and laid out, to put it into the state to capture
    // (hover, press, typing).
    std::function<void(QWidget *)> prepare;
};

class ShotRegistry
{
public:
    static ShotRegistry &instance();

    void add(Shot shot);
    void add(const QString &family, const QString &name, std::function<std::unique_ptr<QWidget>()> make,
             std::function<void(QWidget *)> prepare = {});
    const std::vector<Shot> &shots() const { return m_shots; }

private:
    std::vector<Shot> m_shots;
};

// Runs `registerShots` at start-up; use through VELQUOR_SHOTS.
struct ShotRegistrar
{
    explicit ShotRegistrar(void (*registerShots)(ShotRegistry &)) { registerShots(ShotRegistry::instance()); }
};

// In a family's file:  VELQUOR_SHOTS(registry) { registry.add("family", "name", [] { ... }); }
#define VELQUOR_SHOTS_CONCAT_INNER(a, b) a##b
#define VELQUOR_SHOTS_CONCAT(a, b) VELQUOR_SHOTS_CONCAT_INNER(a, b)
#define VELQUOR_SHOTS(registry)                                                                                        \
    static void VELQUOR_SHOTS_CONCAT(registerShots_, __LINE__)(ShotRegistry &);                                        \
    static const ShotRegistrar VELQUOR_SHOTS_CONCAT(shotRegistrar_,                                                    \
                                                    __LINE__)(&VELQUOR_SHOTS_CONCAT(registerShots_, __LINE__));        \
    static void VELQUOR_SHOTS_CONCAT(registerShots_, __LINE__)(ShotRegistry & registry)
