#include "updates/VelquorMyUpdatesTableRowView.h"

#include "controls/VelquorDownloadButton.h"
#include "controls/VelquorImageResize.h"
#include "controls/VelquorImages.h"
#include "core/VelquorCommonTool.h"
#include "updates/VelquorUpdatesConstants.h"
#include "updates/VelquorUpdatesStyle.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace {

struct StateLook
{
    qint64 state;
    const char *titleKey; // none: an empty title
    const char *image;
};

// What the download button shows in each state.
constexpr StateLook kStateLooks[] = {
    {0, nullptr, "Download"},  {1, "Update31", "Pause"},   {2, "Update37", "waiting"}, {3, "Update32", "Continue"},
    {4, "Update38", "waiting"}, {5, "Update33", "Download"}, {6, "Update34", "install"}, {7, "Update38", "waiting"},
    {8, "Update36", "Finish"},  {9, "Update35", "Download"},
};

QPixmap sizedPicture(const QString &name, int side)
{
    return VelquorImageResize::resizeImageWithSize(VelquorImages::named(name), QSizeF(side, side));
}

} // namespace

VelquorMyUpdatesTableRowView::VelquorMyUpdatesTableRowView(QWidget *parent) : VelquorTableRowView(parent)
{
    setObjectName(VelquorUpdates::kRowViewIdentifier);
    setEmphasized(false);
    setBackgroundColor(Qt::white);

    m_imageView = new QLabel(this);
    m_imageView->setObjectName(QStringLiteral("imageView"));
    m_imageView->setAlignment(Qt::AlignCenter);
    m_textLabel1 = VelquorUpdatesStyle::makeLabel(QString(), this);
    m_textLabel1->setObjectName(QStringLiteral("textLabel1"));
    m_textLabel2 = VelquorUpdatesStyle::makeLabel(QString(), this);
    m_textLabel2->setObjectName(QStringLiteral("textLabel2"));
    m_textLabel1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_textLabel2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_detailButton = new QPushButton(this);
    m_detailButton->setObjectName(QStringLiteral("detailButton"));
    m_detailButton->setFlat(true);
    m_detailButton->setFocusPolicy(Qt::NoFocus);
    m_detailButton->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"));
    m_detailButton->setIcon(
        QIcon(sizedPicture(VelquorUpdates::kInformationImage, kDetailButtonSide * 2)));
    m_detailButton->setIconSize(QSize(kDetailButtonSide, kDetailButtonSide));
    m_detailButton->hide();

    m_downloadButton = new VelquorDownloadButton(this);
    m_downloadButton->setObjectName(QStringLiteral("downloadButton"));
    resetUpdateCell();
    layoutSubviews();
}

QString VelquorMyUpdatesTableRowView::attributedTitle(const QString &text, const QColor &color)
{
    return VelquorUpdatesStyle::attributedTitle(text, color);
}

void VelquorMyUpdatesTableRowView::resetUpdateCell()
{
    const VelquorCommonTool &tool = VelquorCommonTool::sharedTool();
    for (const StateLook &look : kStateLooks) {
        const QString title = look.titleKey ? tool.localizedString(QString::fromLatin1(look.titleKey)) : QString();
        m_downloadButton->setTitle(attributedTitle(title), look.state);
        m_downloadButton->setImage(VelquorImages::named(QString::fromLatin1(look.image)), look.state);
    }
}

void VelquorMyUpdatesTableRowView::resetUIImageVehicle(const QString &vehicle, const QString &backupVehicle,
                                                       const QStringList &paths)
{
    const QString key = vehicle + QLatin1Char('\n') + backupVehicle;
    if (key == m_shownImageKey)
        return;
    m_shownImageKey = key;
    for (const QString &path : paths) {
        const QString name = QFileInfo(path).completeBaseName();
        if (name.compare(vehicle, Qt::CaseInsensitive) == 0 || name.compare(backupVehicle, Qt::CaseInsensitive) == 0) {
            m_imageView->setPixmap(sizedPicture(name, kImageSide));
            return;
        }
        if (vehicle.compare(VelquorUpdates::kIvecoVehicle, Qt::CaseInsensitive) == 0) {
            m_imageView->setPixmap(sizedPicture(VelquorUpdates::kIvecoImage, kImageSide));
            return;
        }
    }
    m_imageView->clear();
}

void VelquorMyUpdatesTableRowView::resizeEvent(QResizeEvent *event)
{
    VelquorTableRowView::resizeEvent(event);
    layoutSubviews();
}

void VelquorMyUpdatesTableRowView::layoutSubviews()
{
    const int h = height();
    m_imageView->setGeometry(0, 0, kImageColumnWidth, h);
    const int textX = kImageColumnWidth + 30;
    const int textHeight = qMax(0, h - 10);
    m_textLabel1->setGeometry(textX, 5, kTextWidth, textHeight);
    m_textLabel2->setGeometry(textX + kTextWidth, 5, kTextWidth, textHeight);
    m_detailButton->setGeometry(textX + 2 * kTextWidth, (h - kDetailButtonSide) / 2, kDetailButtonSide,
                                kDetailButtonSide);
    m_downloadButton->setGeometry(width() - kDownloadButtonWidth, 0, kDownloadButtonWidth, kDownloadButtonHeight);
}
