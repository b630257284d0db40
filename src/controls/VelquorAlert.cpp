#include "VelquorAlert.h"

#include "VelquorAlertDelegate.h"
#include "VelquorImageResize.h"
#include "VelquorImageView.h"
#include "VelquorImages.h"
#include "VelquorSheetQueue.h"
#include "platform/AppInfo.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kWindowWidth = 420;
constexpr int kTitleBarHeight = 30;
constexpr int kCloseButtonSide = 20;
constexpr int kIconSide = 64;
constexpr int kButtonTrailingMargin = 15;
const QColor kTitleBarFallbackColor(0x2f, 0x3b, 0x4c);
const QColor kWindowBorderColor(0xc8, 0xc8, 0xc8);

// Application-wide: the window sheets belong to, and the test seam that answers alerts.
QPointer<QWidget> g_mainWindow;
std::function<void(VelquorAlert *)> g_presentationHook;

QLabel *makeTextLabel(const char *name, QWidget *parent, int pixelSize, bool bold)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

} // namespace

VelquorAlert::VelquorAlert(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    buildWindow();
}

VelquorAlert::~VelquorAlert() = default;

void VelquorAlert::setMainWindow(QWidget *window)
{
    g_mainWindow = window;
}

QWidget *VelquorAlert::mainWindow()
{
    return g_mainWindow;
}

void VelquorAlert::setPresentationHook(std::function<void(VelquorAlert *)> hook)
{
    g_presentationHook = std::move(hook);
}

void VelquorAlert::buildWindow()
{
    setWindowTitle(AppInfo::name());
    setFixedWidth(kWindowWidth);

    m_rootLayout = new QVBoxLayout(this);
    m_rootLayout->setContentsMargins(0, 0, 0, 0);
    m_rootLayout->setSpacing(0);

    // Title bar: a picture across the whole bar (dragging it moves the window), the title over it and the
    // close box at the right. Laid out by hand because its parts overlap.
    m_titleBarView = new QWidget(this);
    m_titleBarView->setObjectName(QStringLiteral("titleBarView"));
    m_titleBarView->setFixedHeight(kTitleBarHeight);
    m_titleBarView->installEventFilter(this);

    m_titleBarBgImageView = new VelquorImageView(m_titleBarView);
    m_titleBarBgImageView->setObjectName(QStringLiteral("titleBarBgImageView"));
    m_titleBarBgImageView->setImageScaling(VelquorImageView::ImageScaling::None);
    const QPixmap head = VelquorImages::named(QStringLiteral("head"));
    if (head.isNull()) {
        // Without the artwork the white title would vanish on the white window.
        m_titleBarView->setAutoFillBackground(true);
        QPalette palette = m_titleBarView->palette();
        palette.setColor(QPalette::Window, kTitleBarFallbackColor);
        m_titleBarView->setPalette(palette);
    } else {
        m_titleBarBgImageView->setImage(
            VelquorImageResize::resizeImageWithSize(head, QSizeF(kWindowWidth + 40, kTitleBarHeight)));
    }

    m_titleTextField = new QLabel(m_titleBarView);
    m_titleTextField->setObjectName(QStringLiteral("titleTextField"));
    m_titleTextField->setAlignment(Qt::AlignCenter);
    m_titleTextField->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont titleFont = m_titleTextField->font();
    titleFont.setPixelSize(13);
    m_titleTextField->setFont(titleFont);
    QPalette titlePalette = m_titleTextField->palette();
    titlePalette.setColor(QPalette::WindowText, Qt::white);
    m_titleTextField->setPalette(titlePalette);

    m_closeButton = new QPushButton(m_titleBarView);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setFlat(true);
    m_closeButton->setAutoDefault(false);
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    const QPixmap closePicture = VelquorImages::named(QStringLiteral("close_white"));
    if (closePicture.isNull())
        m_closeButton->setText(QStringLiteral("\u00d7"));
    else
        m_closeButton->setIcon(QIcon(closePicture));
    connect(m_closeButton, &QPushButton::clicked, this, &VelquorAlert::closeAction);

    m_rootLayout->addWidget(m_titleBarView);
    m_bodyView = buildStandardBody();
    m_rootLayout->addWidget(m_bodyView, 1);
    layoutTitleBar();

    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, Qt::white);
    windowPalette.setColor(QPalette::WindowText, Qt::black);
    setPalette(windowPalette);
    setAutoFillBackground(true);
}

QWidget *VelquorAlert::buildStandardBody()
{
    auto *body = new QWidget(this);
    body->setObjectName(QStringLiteral("bodyView"));

    m_iconImageView = new QLabel(body);
    m_iconImageView->setObjectName(QStringLiteral("iconImageView"));
    m_iconImageView->setFixedSize(kIconSide, kIconSide);
    m_iconImageView->setAlignment(Qt::AlignCenter);

    m_messageTextField = makeTextLabel("messageTextField", body, 14, true);
    m_informationTextField = makeTextLabel("informationTextField", body, 12, false);

    m_okButton = new QPushButton(body);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setMinimumWidth(90);
    // The default button: Return presses it, and it shows as such.
    m_okButton->setDefault(true);
    m_okButton->setAutoDefault(false);

    m_cancelButton = new QPushButton(body);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setMinimumWidth(90);
    m_cancelButton->setAutoDefault(false);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(8);
    texts->addWidget(m_messageTextField);
    texts->addWidget(m_informationTextField);
    texts->addStretch(1);

    // Without a picture the icon is hidden and its column, gap included, takes no room.
    auto *content = new QHBoxLayout;
    content->setSpacing(15);
    content->addWidget(m_iconImageView, 0, Qt::AlignTop);
    content->addLayout(texts, 1);

    // OK stands left of Cancel; alone, it takes Cancel's place at the right edge.
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);

    auto *column = new QVBoxLayout(body);
    column->setContentsMargins(20, 20, kButtonTrailingMargin, 15);
    column->setSpacing(20);
    column->addLayout(content, 1);
    column->addLayout(buttons);
    return body;
}

void VelquorAlert::setBodyView(QWidget *body)
{
    if (m_bodyView) {
        m_rootLayout->removeWidget(m_bodyView);
        delete m_bodyView;
    }
    m_bodyView = body;
    if (body)
        m_rootLayout->addWidget(body, 1);
}

void VelquorAlert::setTitleBarHeight(int height)
{
    m_titleBarView->setFixedHeight(height);
    layoutTitleBar();
}

bool VelquorAlert::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_titleBarView && event->type() == QEvent::Resize)
        layoutTitleBar();
    return QDialog::eventFilter(watched, event);
}

void VelquorAlert::layoutTitleBar()
{
    if (!m_titleBarView)
        return;
    const QRect bar = m_titleBarView->rect();
    if (m_titleBarBgImageView)
        m_titleBarBgImageView->setGeometry(bar);
    if (m_titleTextField)
        m_titleTextField->setGeometry(bar.adjusted(kCloseButtonSide + 10, 0, -(kCloseButtonSide + 10), 0));
    if (m_closeButton && m_closeButton->parentWidget() == m_titleBarView)
        m_closeButton->setGeometry(bar.width() - kCloseButtonSide - 6, (bar.height() - kCloseButtonSide) / 2,
                                   kCloseButtonSide, kCloseButtonSide);
}

void VelquorAlert::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(kWindowBorderColor);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void VelquorAlert::configure(const QString &title, const QString &message, const QString &infoMessage,
                             const QString &okButton, const QString &cancelButton, const QPixmap &image)
{
    m_titleTextField->setText(title.isNull() ? AppInfo::name() : title);

    if (m_iconImageView) {
        m_iconImageView->setPixmap(image);
        m_iconImageView->setVisible(!image.isNull());
    }
    if (m_messageTextField)
        m_messageTextField->setText(message);
    if (m_informationTextField) {
        m_informationTextField->setText(infoMessage);
        m_informationTextField->setVisible(!infoMessage.isEmpty());
    }

    if (m_okButton) {
        m_okButton->setText(okButton.isEmpty() ? QStringLiteral("OK") : okButton);
        m_okButton->setProperty(TagProperty, OKReturnCode);
        connect(m_okButton, &QPushButton::clicked, this, [this] { btnAction(m_okButton); });
    }
    if (m_cancelButton) {
        m_cancelButton->setProperty(TagProperty, CancelReturnCode);
        if (cancelButton.isEmpty()) {
            m_cancelButton->hide();
        } else {
            m_cancelButton->setText(cancelButton);
            connect(m_cancelButton, &QPushButton::clicked, this, [this] { btnAction(m_cancelButton); });
        }
    }
}

VelquorAlert *VelquorAlert::alertWithTitle(const QString &title, const QString &message, const QString &infoMessage,
                                           const QString &okButton, const QString &cancelButton, const QPixmap &image)
{
    auto *alert = new VelquorAlert;
    alert->configure(title, message, infoMessage, okButton, cancelButton, image);
    return alert;
}

VelquorAlert *VelquorAlert::alertWithTitle(const QString &title, const QString &message, const QString &okButton,
                                           const QString &cancelButton, const QPixmap &image)
{
    return alertWithTitle(title, message, QString(), okButton, cancelButton, image);
}

VelquorAlert *VelquorAlert::alertWithTitle(const QString &title, const QString &message, const QString &okButton,
                                           const QString &cancelButton)
{
    return alertWithTitle(title, message, QString(), okButton, cancelButton, QPixmap());
}

void VelquorAlert::btnAction(QAbstractButton *sender)
{
    if (sender)
        done(sender->property(TagProperty).toInt());
}

void VelquorAlert::closeAction()
{
    done(CloseReturnCode);
}

int VelquorAlert::runModal()
{
    m_isSheet = false;
    setWindowModality(Qt::ApplicationModal);
    announcePresentation();
    return exec();
}

void VelquorAlert::beginSheetModalForWindow(QWidget *window, VelquorAlertDelegate *delegate, void *contextInfo)
{
    // Begun again while still waiting or on screen: the first did-end is the only one.
    if (m_sheetPending)
        return;
    m_isSheet = true;
    m_sheetPending = true;
    m_delegate = delegate;
    m_delegateObject = dynamic_cast<QObject *>(delegate);
    m_delegateIsObject = !m_delegateObject.isNull();
    m_contextInfo = contextInfo;

    // The main window takes every sheet while it is on screen; while it is hidden (the sign-up
    // window stands in for it) the caller's own window does.
    QWidget *host =
        g_mainWindow && g_mainWindow->isVisible() ? g_mainWindow.data() : (window ? window->window() : nullptr);
    if (host == this)
        host = nullptr;
    if (host) {
        // Owned by the window from now on, so a sheet still waiting goes with it.
        setParent(host, windowFlags());
        VelquorSheetQueue::forWindow(host)->enqueue(this);
    } else {
        presentApplicationModal();
    }
}

void VelquorAlert::presentAsSheet()
{
    setWindowModality(Qt::WindowModal);
    open();
    announcePresentation();
}

void VelquorAlert::presentApplicationModal()
{
    // open() would make it window-modal, which without a parent blocks nothing.
    setWindowModality(Qt::ApplicationModal);
    show();
    announcePresentation();
}

void VelquorAlert::announcePresentation()
{
    if (!g_presentationHook)
        return;
    QTimer::singleShot(0, this, [this] {
        if (g_presentationHook && isVisible())
            g_presentationHook(this);
    });
}

void VelquorAlert::done(int returnCode)
{
    QDialog::done(returnCode);
    if (m_sheetPending)
        sheetDidEnd(returnCode);
}

void VelquorAlert::sheetDidEnd(int returnCode)
{
    m_sheetPending = false;
    // The did-end may delete this alert, or the window it sits on (and with it this alert and the queue):
    // both are looked up before and only touched afterwards while they still exist.
    const QPointer<VelquorAlert> self(this);
    QPointer<VelquorSheetQueue> queue;
    if (auto *host = parentWidget())
        queue = host->findChild<VelquorSheetQueue *>(QString(), Qt::FindDirectChildrenOnly);

    const bool delegateAlive = m_delegate && (!m_delegateIsObject || m_delegateObject);
    if (delegateAlive)
        m_delegate->alertSheetDidEnd(this, returnCode, m_contextInfo);

    // A deleted sheet lets the next one up through the queue's watch on its destruction.
    if (!self)
        return;
    if (queue)
        queue->sheetEnded(this);
    // Nobody else holds a sheet once it has ended, unless its did-end showed it again.
    if (!m_sheetPending)
        deleteLater();
}
