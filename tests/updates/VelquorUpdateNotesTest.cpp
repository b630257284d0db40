#include "updates/VelquorUpdateNotes.h"
#include "updates/VelquorUpdateInfoAlert.h"

#include "controls/VelquorAlertDelegate.h"
#include "core/VelquorCommonTool.h"
#include "platform/AppInfo.h"
#include "support/TestEnvironment.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

VelquorVehicleFamilyModelPtr family(const QString &vehicle, const QString &software, const QString &notes,
                                    const QStringList &subVehicles = {})
{
    auto record = VelquorDownloadModel::create();
    record->setSoftware(software);
    record->setUpdateInfo(notes);
    auto model = VelquorVehicleFamilyModel::create();
    model->setVehicle(vehicle);
    model->setSubVehicles(subVehicles);
    model->setModel(record);
    return model;
}

class EndsRecorder : public VelquorAlertDelegate
{
public:
    void alertSheetDidEnd(VelquorAlert *, int returnCode, void *) override { codes.append(returnCode); }
    QList<int> codes;
};

TEST(VelquorUpdateNotesTest, EachBlockShowsOnceAndEmptyNotesShowTheSoftwareAlone)
{
    const VelquorVehicleFamilyGroup group{
        family(QStringLiteral("BENZ"), QStringLiteral("BENZ"), QStringLiteral("New models")),
        family(QStringLiteral("BENZ"), QStringLiteral("BENZ"), QStringLiteral("New models")),
        family(QStringLiteral("BENZ"), QStringLiteral("BENZ_PLUS"), QStringLiteral("NULL")),
        family(QStringLiteral("BENZ"), QStringLiteral("BENZ_EXTRA"), QStringLiteral("(null)")),
        family(QStringLiteral("BENZ"), QStringLiteral("BENZ_FLAG"), QStringLiteral("one")),
    };
    group.last()->model()->setUpdateInfo(QStringLiteral("oneOSTRELLE_VELQUOR_FLAGtwo"));
    EXPECT_EQ(VelquorUpdateNotes::message(group, false),
              QStringLiteral("BENZ:\nNew models\n\nBENZ_PLUS:\n\n\nBENZ_EXTRA:\n\n\nBENZ_FLAG:\none\ntwo\n"));

    // A basic-series product names the sub-vehicles, then the notes without software names;
    // nothing after the installer's row counts.
    const VelquorVehicleFamilyGroup basic{
        family(QStringLiteral("ASIA"), QStringLiteral("TOYOTA"), QStringLiteral("Fixes"),
               {QStringLiteral("TOYOTA"), QStringLiteral("LEXUS")}),
        family(QStringLiteral("ASIA"), QStringLiteral("HONDA"), QStringLiteral("Fixes"), {QStringLiteral("HONDA")}),
        family(QStringLiteral("MAC_UPDATETOOLS"), QStringLiteral("MAC_UPDATETOOLS"), QStringLiteral("Installer"),
               {QStringLiteral("TOOLS")}),
        family(QStringLiteral("ASIA"), QStringLiteral("KIA"), QStringLiteral("Never shown"), {QStringLiteral("KIA")}),
    };
    EXPECT_EQ(VelquorUpdateNotes::message(basic, true),
              QStringLiteral("TOYOTA\nLEXUS\nHONDA\nTOOLS\nMAC_UPDATETOOLS:\nFixes\n\nInstaller\n"));
    EXPECT_EQ(VelquorUpdateNotes::message(basic, false),
              QStringLiteral("TOYOTA:\nFixes\n\nHONDA:\nFixes\n\nMAC_UPDATETOOLS:\nInstaller\n"));
}

TEST(VelquorUpdateNotesTest, TheNotesSheetShowsMarkupAsWrittenAndEndsWithOK)
{
    QWidget window;
    window.resize(800, 600);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const QString notes = QStringLiteral("<b>Bold?</b> <img src=\"x.png\"> &amp; <a href=\"http://x\">link</a>");
    const VelquorVehicleFamilyGroup group{family(QStringLiteral("FORD"), QStringLiteral("FORD"), notes)};
    EndsRecorder recorder;
    QPointer<VelquorUpdateInfoAlert> alert = VelquorUpdateNotes::detailAction(group, false, &window, &recorder);
    ASSERT_TRUE(alert);
    ASSERT_TRUE(waitUntil([&] { return alert->isVisible(); }));

    EXPECT_EQ(alert->textView()->toPlainText(), QStringLiteral("FORD:\n") + notes + u'\n');
    EXPECT_TRUE(alert->textView()->isReadOnly());
    EXPECT_EQ(alert->scrollView()->height(), VelquorUpdateInfoAlert::NotesHeight);
    EXPECT_EQ(alert->titleTextField()->text(), AppInfo::name());
    EXPECT_EQ(alert->updateInfoOKButton()->text(),
              VelquorCommonTool::sharedTool().localizedString(QStringLiteral("Update21")));
    EXPECT_FALSE(alert->updateIconImageView()->isHidden());
    // The base alert's own parts are gone.
    EXPECT_EQ(alert->okButton(), nullptr);
    EXPECT_EQ(alert->messageTextField(), nullptr);

    QTest::mouseClick(alert->updateInfoOKButton(), Qt::LeftButton);
    EXPECT_EQ(recorder.codes, QList<int>{VelquorAlert::OKReturnCode});
    EXPECT_TRUE(waitUntil([&] { return !alert || !alert->isVisible(); }));
}

TEST(VelquorUpdateNotesTest, WithoutAPictureTheNotesTakeItsRoom)
{
    std::unique_ptr<VelquorUpdateInfoAlert> withPicture(VelquorUpdateInfoAlert::updateInfoAlertWithTitle(
        QString(), QStringLiteral("x"), QStringLiteral("OK"), QPixmap(16, 16)));
    std::unique_ptr<VelquorUpdateInfoAlert> without(
        VelquorUpdateInfoAlert::updateInfoAlertWithTitle(QString(), QString(), QString(), QPixmap()));
    withPicture->show();
    without->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(withPicture.get()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(without.get()));
    EXPECT_TRUE(withPicture->titleTextField()->text().isEmpty());
    EXPECT_TRUE(without->textView()->toPlainText().isEmpty());
    EXPECT_TRUE(without->updateIconImageView()->isHidden());
    EXPECT_GT(without->textView()->width(), withPicture->textView()->width());
}

} // namespace
