// Search and password fields: bordered and borderless, empty and filled, with a caption button.
#include "ShotKit.h"
#include "ShotRegistry.h"

#include "controls/VelquorBasicButton.h"
#include "controls/VelquorImages.h"
#include "controls/VelquorNumberFormatter.h"
#include "controls/VelquorSearchField.h"
#include "controls/VelquorSearchFieldCell.h"
#include "controls/VelquorSecureField.h"
#include "controls/VelquorSecureTextField.h"

#include <QFontMetricsF>

namespace {

using ShotKit::systemFont;

// A light page behind one control, with some room around it.
std::unique_ptr<QWidget> page(const QSize &size)
{
    return ShotKit::page(size, QColor(0xF2, 0xF2, 0xF2));
}

// The form caption the pages put at the left of a field: black title, red star, white ground.
void styleCaption(VelquorBasicButton *button, const QString &title)
{
    button->setTitle(title);
    button->setFont(systemFont(15));
    button->setImage(VelquorImages::named("xing"));
    button->setImagePosition(VelquorBasicButton::ImageLeading);
    button->setImageHugsTitle(true);
    button->setSpacing(5);
    button->setMomentary(true);
    button->setTitleNormalColor(Qt::black);
    button->setTitleHighlightColor(Qt::black);
    button->setImageNormalColor(Qt::red);
    button->setImageHighlightColor(Qt::red);
    button->setBackgroundNormalColor(Qt::white);
    button->setBackgroundHighlightColor(Qt::white);
    button->setBorderNormalColor(Qt::transparent);
    button->setBorderHighlightColor(Qt::transparent);
}

qreal captionWidth(const QString &title)
{
    return QFontMetricsF(systemFont(15)).horizontalAdvance(title) + 16 + 5;
}

VelquorSearchField *addSearchField(QWidget *host, qint64 eventType, const QColor &background)
{
    auto *field = new VelquorSearchField(host);
    field->setGeometry(20, 20, 360, 34);
    field->setFont(systemFont(15));
    field->setFiledEventType(eventType);
    field->cell()->setBgColor(background);
    return field;
}

} // namespace

VELQUOR_SHOTS(registry)
{
    registry.add("searchfield", "bordered-empty", [] {
        auto host = page(QSize(400, 74));
        addSearchField(host.get(), 0, Qt::white);
        return host;
    });
    registry.add("searchfield", "bordered-text", [] {
        auto host = page(QSize(400, 74));
        addSearchField(host.get(), 0, Qt::white)->setText("jane.doe@example.com");
        return host;
    });
    registry.add("searchfield", "borderless-caption", [] {
        auto host = page(QSize(400, 74));
        VelquorSearchField *field = addSearchField(host.get(), 1, Qt::white);
        field->cell()->setLeftButtonWidth(captionWidth("First name"));
        styleCaption(field->cell()->leftButton(), "First name");
        field->setText("Jane");
        return host;
    });
    registry.add("searchfield", "disabled-grey-text", [] {
        auto host = page(QSize(400, 74));
        VelquorSearchField *field = addSearchField(host.get(), 1, Qt::white);
        field->cell()->setLeftButtonWidth(captionWidth("User ID"));
        styleCaption(field->cell()->leftButton(), "User ID");
        field->setText("jdoe");
        field->setTextColor(Qt::lightGray);
        field->setEditable(false);
        field->setSelectable(false);
        field->setEnabled(false);
        return host;
    });
    registry.add("searchfield", "caption-label", [] {
        auto host = page(QSize(400, 74));
        VelquorSearchField *field = addSearchField(host.get(), 1, Qt::transparent);
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        field->setEditable(false);
        field->setSelectable(false);
        field->setText("SD card:");
        return host;
    });
    registry.add(
        "searchfield", "number-typed",
        [] {
            auto host = page(QSize(400, 74));
            VelquorSearchField *field = addSearchField(host.get(), 0, Qt::white);
            field->setValidator(new VelquorNumberFormatter(field));
            return host;
        },
        [](QWidget *host) {
            auto *field = host->findChild<VelquorSearchField *>();
            // Letters and the point are refused while typing.
            for (const QChar c : QStringLiteral("20a1.9"))
                field->insert(c);
        });

    registry.add("securefield", "bordered-empty", [] {
        auto host = page(QSize(400, 74));
        auto *box = new VelquorSecureField(host.get());
        box->setGeometry(20, 20, 360, 34);
        return host;
    });
    registry.add("securefield", "caption-typed", [] {
        auto host = page(QSize(400, 74));
        auto *box = new VelquorSecureField(host.get());
        box->setGeometry(20, 20, 360, 34);
        box->setFiledEventType(1);
        box->setLeftButtonWidth(captionWidth("Password"));
        styleCaption(box->leftButton(), "Password");
        box->secureTextField()->setText("secret");
        return host;
    });
}
