// The account pages: the profile filled in, the software list with two rows ticked during a
// removal, and the feedback form filled in. No service is asked: each page gets its data directly.
#include "ShotRegistry.h"

#include "account/VelquorMyProfileView.h"
#include "account/VelquorSoftwareManagementView.h"
#include "account/VelquorSupportTicketsView.h"

namespace {

constexpr QSize kPageSize(1140, 636);

template <class Page> std::unique_ptr<QWidget> page()
{
    auto page = std::make_unique<Page>();
    page->resize(kPageSize);
    return page;
}

VelquorSoftwareManagementListModelPtr row(const QString &vehicle, const QString &version, const QString &cardLanguages,
                                          const QString &language, bool ticked)
{
    auto model = std::make_shared<VelquorSoftwareManagementListModel>();
    model->setVehicle(vehicle);
    model->setVersion(version);
    model->setCardLanguages(cardLanguages);
    model->setLanguage(language);
    model->setSelected(ticked);
    return model;
}

} // namespace

VELQUOR_SHOTS(registry)
{
    registry.add("account", "profile-filled", [] {
        auto shown = page<VelquorMyProfileView>();
        VelquorUserInfoModel profile;
        profile.setUser_name(QStringLiteral("demo"));
        profile.setFirst(QStringLiteral("Alex"));
        profile.setLast(QStringLiteral("Morgan"));
        profile.setEmail(QStringLiteral("demo@example.com"));
        profile.setTelephone(QStringLiteral("+44 1233 000000"));
        profile.setAddress(QStringLiteral("12 Station Road"));
        profile.setCity(QStringLiteral("Ashford"));
        profile.setState(QStringLiteral("Kent"));
        profile.setCountry(QStringLiteral("United Kingdom"));
        static_cast<VelquorMyProfileView *>(shown.get())->setUserInfoModel(profile);
        return shown;
    });

    registry.add(
        "account", "software-uninstalling", [] { return page<VelquorSoftwareManagementView>(); },
        [](QWidget *shown) {
            auto *software = static_cast<VelquorSoftwareManagementView *>(shown);
            software->reloadListModels({row(QStringLiteral("OS-SOFTWARE"), QStringLiteral("V12.34"), QString(),
                                            QString(), false),
                                        row(QStringLiteral("BMW"), QStringLiteral("V31.50"),
                                            QStringLiteral("EN|DE|IT"), QStringLiteral("EN/DE/IT"), true),
                                        row(QStringLiteral("TOYOTA"), QStringLiteral("V20.11"), QString(),
                                            QStringLiteral("EN/JP"), true),
                                        row(QStringLiteral("VW"), QStringLiteral("V44.02"), QStringLiteral("EN|DE"),
                                            QStringLiteral("EN/DE"), false)});
            software->updateHeaderCellSelectedState();
            software->unInstallProgress(0.5);
        });

    registry.add(
        "account", "feedback-filled", [] { return page<VelquorSupportTicketsView>(); },
        [](QWidget *shown) {
            auto *feedback = static_cast<VelquorSupportTicketsView *>(shown);
            VelquorSupportTicketsModel ticket;
            ticket.setScanners({QStringLiteral("VQ900 PRO"), QStringLiteral("VQ300 LITE")});
            ticket.setSoftwares({QStringLiteral("OS-SOFTWARE"), QStringLiteral("BENZ"), QStringLiteral("TOYOTA")});
            feedback->setTicketsModel(ticket);
            feedback->subjectSearchField()->setText(QStringLiteral("Live data freezes"));
            feedback->scannerComboBox()->setCurrentIndex(1);
            feedback->softwareComboBox()->setCurrentIndex(2);
            feedback->versionSearchField()->setText(QStringLiteral("V20.11"));
            feedback->vinSearchField()->setText(QStringLiteral("JTDBR32E720123456"));
            feedback->yearSearchField()->setText(QStringLiteral("2018"));
            feedback->engineSizeSarchField()->setText(QStringLiteral("1.8"));
            feedback->problemTextView()->setPlainText(
                QStringLiteral("The engine page stops refreshing after about ten seconds of live data."));
        });
}
