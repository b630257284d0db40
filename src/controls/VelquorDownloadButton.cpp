#include "VelquorDownloadButton.h"

#include "VelquorProgressView.h"
#include "VelquorTextMetrics.h"

#include <QLabel>
#include <QMouseEvent>

namespace {

constexpr int kImageSide = 64;
constexpr int kProgressLabelWidth = 60;
constexpr int kTitleTop = 5;
constexpr int kTitleHeight = 20;
constexpr qint64 kLastState = 9;

QLabel *makeLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::AutoText);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setAutoFillBackground(false);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

// States 0 and 5 to 9 have no running transfer to show; 6 to 8 are past the download.
bool showsProgress(qint64 state)
{
    return state != 0 && state != 5 && state != 9;
}

bool isPastDownload(qint64 state)
{
    return state >= 6 && state <= 8;
}

} // namespace

VelquorDownloadButton::VelquorDownloadButton(QWidget *parent) : QWidget(parent)
{
    m_titleLabel = makeLabel("titleLabel", this);

    m_imageView = new QLabel(this);
    m_imageView->setObjectName(QStringLiteral("imageView"));
    m_imageView->setAlignment(Qt::AlignCenter);
    m_imageView->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_progressView = new VelquorProgressView(this);
    m_progressView->setObjectName(QStringLiteral("progressView"));
    m_progressView->setMaxValue(100);
    m_progressView->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_progressLabel = makeLabel("progressLabel", this);

    layoutParts();
    setDownloadState(0);
}

qint64 VelquorDownloadButton::lookState() const
{
    return (m_downloadState >= 0 && m_downloadState <= kLastState) ? m_downloadState : 0;
}

void VelquorDownloadButton::setDownloadState(qint64 state)
{
    // Owners set the state on every redraw; what a state shows changes only through the setters.
    if (m_stateShown && state == m_downloadState)
        return;
    m_stateShown = true;
    m_downloadState = state;
    const qint64 look = lookState();

    m_titleLabel->setVisible(look != 0);
    m_progressLabel->setVisible(showsProgress(look));
    m_progressView->setVisible(showsProgress(look));
    m_progressView->setTrackColor(isPastDownload(look) ? QColor(Qt::blue) : QColor(Qt::transparent));
    m_progressView->setFillColor(isPastDownload(look) ? QColor(Qt::green) : QColor(Qt::blue));

    // A state with nothing registered shows empty texts and no picture.
    if (!m_titles.isEmpty())
        m_titleLabel->setText(m_titles.value(look));
    if (!m_progressTitles.isEmpty())
        m_progressLabel->setText(m_progressTitles.value(look));
    if (!m_images.isEmpty())
        showImage(m_images.value(look));
}

void VelquorDownloadButton::addTarget(QObject *target, Action action)
{
    if (!target || !action)
        return;
    m_target = target;
    m_action = std::move(action);
}

void VelquorDownloadButton::setTitle(const QString &title, qint64 state)
{
    if (title.isNull())
        return;
    m_titles.insert(state, title);
    m_titleSizes.insert(state, VelquorTextMetrics::laidOutSize(title, m_titleLabel->font()));
    if (state == lookState())
        m_titleLabel->setText(title);
    layoutParts();
}

void VelquorDownloadButton::setProgressTitle(const QString &title, qint64 state)
{
    if (title.isNull())
        return;
    const auto known = m_progressTitles.constFind(state);
    if (known != m_progressTitles.cend() && *known == title)
        return;
    m_progressTitles.insert(state, title);
    if (state == lookState())
        m_progressLabel->setText(title);
}

void VelquorDownloadButton::setImage(const QPixmap &image, qint64 state)
{
    if (image.isNull())
        return;
    m_images.insert(state, image);
    if (state == lookState())
        showImage(image);
}

void VelquorDownloadButton::setDoubleValue(double value)
{
    m_progressView->setProgress(value);
}

// Larger pictures are scaled down to the picture box, smaller ones keep their size.
void VelquorDownloadButton::showImage(const QPixmap &image)
{
    const QSizeF size = image.deviceIndependentSize();
    if (size.width() > kImageSide || size.height() > kImageSide) {
        QPixmap scaled = image.scaled(QSize(kImageSide, kImageSide) * image.devicePixelRatio(), Qt::KeepAspectRatio,
                                      Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(image.devicePixelRatio());
        m_imageView->setPixmap(scaled);
    } else {
        m_imageView->setPixmap(image);
    }
}

void VelquorDownloadButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    emit pressed(this);
    // The target may have gone while pressed() was handled.
    if (m_target && m_action)
        m_action(m_target, this);
}

void VelquorDownloadButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutParts();
}

QSize VelquorDownloadButton::titleSize() const
{
    // As wide as the widest title needs, so that no title wraps where the button has the room
    // (the row of texts under the title ends at the progress text, the title line need not);
    // as tall as the tallest title's lines.
    const int standardWidth = qMax(0, width() - kProgressLabelWidth);
    int widest = 0;
    int tallest = kTitleHeight;
    for (const QSize &size : m_titleSizes) {
        widest = qMax(widest, size.width());
        tallest = qMax(tallest, size.height());
    }
    const int titleWidth = qMax(standardWidth, qMin(widest, width()));
    if (widest > titleWidth) {
        for (auto title = m_titles.cbegin(); title != m_titles.cend(); ++title) {
            if (m_titleSizes.value(title.key()).width() > titleWidth)
                tallest =
                    qMax(tallest, VelquorTextMetrics::laidOutSize(*title, m_titleLabel->font(), titleWidth).height());
        }
    }
    return {titleWidth, tallest};
}

void VelquorDownloadButton::layoutParts()
{
    const int textWidth = qMax(0, width() - kProgressLabelWidth);
    const QRect title(QPoint(0, kTitleTop), titleSize());
    m_titleLabel->setGeometry(title);
    // The picture stands centred under the title.
    m_imageView->setGeometry(title.x() + (title.width() - kImageSide) / 2, title.bottom() + 1, kImageSide, kImageSide);
    const QRect bar(0, m_imageView->geometry().bottom() + 1 + 5, textWidth, 10);
    m_progressView->setGeometry(bar);
    m_progressLabel->setGeometry(width() - kProgressLabelWidth, bar.y() + bar.height() / 2 - 10, kProgressLabelWidth,
                                 20);
}
