#include "shell/VelquorFooterView.h"

#include "controls/VelquorImageResize.h"
#include "controls/VelquorImages.h"
#include "session/VelquorShellStyle.h"

#include <QMargins>

namespace {

constexpr int kTextInset = 20;
constexpr int kPictureEdgeInset = 8;

QLabel *footerText(const QString &text, const QString &objectName, Qt::Alignment alignment, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setFont(VelquorShellStyle::systemFont(12));
    // Presses reach the picture under it, so the window moves by the whole band.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, VelquorShellStyle::secondaryTextColor());
    label->setPalette(colours);
    return label;
}

} // namespace

VelquorFooterView::VelquorFooterView(const QString &copyright, const QString &company, QWidget *parent)
    : QWidget(parent)
{
    setFixedHeight(kHeight);
    m_footerImageView = new VelquorImageView(this);
    m_footerImageView->setObjectName(QStringLiteral("footerImageView"));
    m_footerImageView->setImageScaling(VelquorImageView::ImageScaling::None);
    m_footerLabel = footerText(copyright, QStringLiteral("footerLabel"), Qt::AlignLeft, this);
    m_comLabel = footerText(company, QStringLiteral("comLabel"), Qt::AlignRight, this);
}

void VelquorFooterView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_footerImageView->setGeometry(rect());
    m_footerImageView->setImage(VelquorImageResize::stretchableImageWithSize(
        VelquorImages::named(QStringLiteral("Bottom")), QSizeF(size()),
        QMargins(kPictureEdgeInset, kPictureEdgeInset, kPictureEdgeInset, kPictureEdgeInset)));
    const int half = width() / 2;
    m_footerLabel->setGeometry(kTextInset, 0, half - kTextInset, height());
    m_comLabel->setGeometry(half, 0, width() - half - kTextInset, height());
}
