// Push buttons and self-drawn buttons in each look and state.
#include "ShotKit.h"
#include "ShotRegistry.h"

#include "controls/VelquorBasicButton.h"
#include "controls/VelquorButton.h"
#include "controls/VelquorImages.h"

namespace {

using namespace ShotKit;

enum class Mode { Picture, TextColour, BackgroundColour };

std::unique_ptr<QWidget> pushButton(Mode mode)
{
    auto host = page(QSize(170, 68));
    auto *button = new VelquorButton(QStringLiteral("Login"), host.get());
    button->setGeometry(10, 10, 150, 48);
    button->setFont(systemFont(15));
    switch (mode) {
    case Mode::Picture:
        break;
    case Mode::TextColour:
        button->setShowBackgroundImage(false);
        button->setOnlyShowTextColor(true);
        button->setNormalTextColor(Qt::darkGray);
        button->setHighlightedTextColor(QColor(0, 0, 255));
        break;
    case Mode::BackgroundColour:
        button->setShowBackgroundImage(false);
        button->setNormalTextColor(Qt::black);
        button->setNormalBackgroundColor(Qt::white);
        button->setHighlightedBackgroundColor(QColor(0, 0, 255));
        break;
    }
    return host;
}

// The caption style the pages give their self-drawn buttons.
std::unique_ptr<QWidget> basicButton(int state, bool enabled, VelquorBasicButton::ImagePosition position)
{
    auto host = page(QSize(180, 60));
    auto *button = new VelquorBasicButton(host.get());
    button->setGeometry(10, 10, 160, 40);
    button->setFont(systemFont(15));
    button->setTitle(QStringLiteral("Remember"));
    button->setImage(VelquorImages::named("element_check_on"));
    button->setImagePosition(position);
    button->setImageHugsTitle(true);
    button->setSpacing(5);
    button->setCornerRadius(4);
    button->setBorderWidth(1);
    button->setBorderNormalColor(Qt::lightGray);
    button->setBorderHighlightColor(QColor(0, 0, 255));
    button->setBackgroundNormalColor(Qt::white);
    button->setBackgroundHighlightColor(QColor(0xD6, 0xE6, 0xFF));
    button->setImageNormalColor(Qt::gray);
    button->setImageHighlightColor(QColor(0, 0, 255));
    button->setTitleNormalColor(Qt::black);
    button->setTitleHighlightColor(QColor(0, 0, 255));
    button->setState(state);
    button->setEnabled(enabled);
    return host;
}

} // namespace

VELQUOR_SHOTS(registry)
{
    const QList<std::pair<QString, Mode>> modes{
        {"picture", Mode::Picture}, {"text-colour", Mode::TextColour}, {"background-colour", Mode::BackgroundColour}};
    for (const auto &[name, mode] : modes) {
        registry.add("button", name + "-normal", [mode] { return pushButton(mode); });
        registry.add(
            "button", name + "-hovered", [mode] { return pushButton(mode); },
            [](QWidget *host) { hover(host->findChild<VelquorButton *>()); });
    }

    registry.add("basicbutton", "off", [] { return basicButton(0, true, VelquorBasicButton::ImageLeading); });
    registry.add("basicbutton", "on", [] { return basicButton(1, true, VelquorBasicButton::ImageLeading); });
    registry.add("basicbutton", "disabled", [] { return basicButton(0, false, VelquorBasicButton::ImageLeading); });
    registry.add("basicbutton", "title-only", [] { return basicButton(0, true, VelquorBasicButton::NoImage); });
    registry.add("basicbutton", "image-above", [] { return basicButton(1, true, VelquorBasicButton::ImageAbove); });
}
