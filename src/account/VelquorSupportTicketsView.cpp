#include "account/VelquorSupportTicketsView.h"

#include "account/VelquorFieldCaption.h"
#include "account/VelquorPageAlert.h"
#include "account/VelquorSupportTicketForm.h"
#include "account/VelquorTicketComboBox.h"
#include "controls/VelquorBasicButton.h"
#include "controls/VelquorButton.h"
#include "controls/VelquorNumberFormatter.h"
#include "controls/VelquorSearchField.h"
#include "core/VelquorCommonTool.h"
#include "platform/DispatchQueue.h"
#include "session/VelquorShellStyle.h"

#include <QPlainTextEdit>
#include <QShowEvent>
#include <QtMath>

namespace {

constexpr int kRowHeight = 34;
constexpr int kRowSpacing = 10;
constexpr int kSideMargin = 15;
constexpr int kFirstRowTop = 30;
// Between a row's caption and its box, and around the problem text.
constexpr int kControlMargin = 8;

QString text(const QString &key)
{
    return VelquorCommonTool::sharedTool().localizedString(key);
}

void makeWhite(QWidget *view)
{
    view->setAutoFillBackground(true);
    QPalette colours = view->palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    colours.setColor(QPalette::WindowText, Qt::black);
    colours.setColor(QPalette::ButtonText, Qt::black);
    view->setPalette(colours);
}

} // namespace

VelquorSupportTicketsView::VelquorSupportTicketsView(QWidget *parent) : QWidget(parent)
{
    setupUI();
    configData();
}

VelquorSupportTicketsView::~VelquorSupportTicketsView() = default;

VelquorSearchField *VelquorSupportTicketsView::addSearchFiled(const char *name)
{
    auto *field = new VelquorSearchField(this);
    field->setObjectName(QString::fromLatin1(name));
    VelquorFieldCaption::addSearchFiled(field, true);
    return field;
}

QWidget *VelquorSupportTicketsView::addRowView(const char *name, VelquorBasicButton *&caption)
{
    auto *row = new QWidget(this);
    row->setObjectName(QString::fromLatin1(name));
    makeWhite(row);
    caption = new VelquorBasicButton(row);
    return row;
}

void VelquorSupportTicketsView::setupUI()
{
    VelquorFieldCaption::paintPageGround(this);

    m_subjectSearchField = addSearchFiled("subjectSearchField");

    VelquorBasicButton *caption = nullptr;
    m_scannerComboBoxView = addRowView("scannerComboBoxView", caption);
    m_scannerLeftButton = caption;
    m_scannerComboBox = new VelquorTicketComboBox(m_scannerComboBoxView);
    m_scannerComboBox->setObjectName(QStringLiteral("scannerComboBox"));

    m_softwareComboBoxView = addRowView("softwareComboBoxView", caption);
    m_softwareLeftButton = caption;
    m_softwareComboBox = new VelquorTicketComboBox(m_softwareComboBoxView);
    m_softwareComboBox->setObjectName(QStringLiteral("softwareComboBox"));

    for (VelquorTicketComboBox *box : {m_scannerComboBox.data(), m_softwareComboBox.data()}) {
        box->setFont(VelquorShellStyle::systemFont(VelquorFieldCaption::kFontSize));
        makeWhite(box);
    }

    m_versionSearchField = addSearchFiled("versionSearchField");
    m_vinSearchField = addSearchFiled("vinSearchField");
    m_yearSearchField = addSearchFiled("yearSearchField");
    m_engineSizeSarchField = addSearchFiled("engineSizeSarchField");

    m_problemView = addRowView("problemView", caption);
    m_problemLeftButton = caption;
    m_problemTextView = new QPlainTextEdit(m_problemView);
    m_problemTextView->setObjectName(QStringLiteral("problemTextView"));
    m_problemTextView->setFrameShape(QFrame::NoFrame);
    m_problemTextView->setFont(VelquorShellStyle::systemFont(VelquorFieldCaption::kFontSize));
    m_problemTextView->setTabChangesFocus(true);
    makeWhite(m_problemTextView);

    m_submitButton = new VelquorButton(this);
    m_submitButton->setObjectName(QStringLiteral("submitButton"));
    m_resetButton = new VelquorButton(this);
    m_resetButton->setObjectName(QStringLiteral("resetButton"));
    m_centerView = new QWidget(this);
    m_centerView->setObjectName(QStringLiteral("centerView"));

    setTabOrder(m_subjectSearchField, m_scannerComboBox);
    setTabOrder(m_scannerComboBox, m_softwareComboBox);
    setTabOrder(m_softwareComboBox, m_versionSearchField);
    setTabOrder(m_versionSearchField, m_vinSearchField);
    setTabOrder(m_vinSearchField, m_yearSearchField);
    setTabOrder(m_yearSearchField, m_engineSizeSarchField);
    setTabOrder(m_engineSizeSarchField, m_problemTextView);
}

void VelquorSupportTicketsView::configData()
{
    VelquorFieldCaption::configField(m_subjectSearchField, text(QStringLiteral("Feedback1")), true);
    VelquorFieldCaption::configLeftButton(m_scannerLeftButton, text(QStringLiteral("Feedback2")), true);
    VelquorFieldCaption::configLeftButton(m_softwareLeftButton, text(QStringLiteral("Feedback3")), true);
    VelquorFieldCaption::configField(m_versionSearchField, text(QStringLiteral("Feedback4")), true);
    VelquorFieldCaption::configField(m_vinSearchField, text(QStringLiteral("Feedback5")), true);
    VelquorFieldCaption::configField(m_yearSearchField, text(QStringLiteral("Feedback8")), true);
    VelquorFieldCaption::configField(m_engineSizeSarchField, text(QStringLiteral("Feedback9")), true);
    VelquorFieldCaption::configLeftButton(m_problemLeftButton, text(QStringLiteral("Feedback11")), true);

    // Only a whole number can be typed as the year.
    m_yearSearchField->setValidator(new VelquorNumberFormatter(m_yearSearchField));

    VelquorFieldCaption::configButton(m_submitButton, text(QStringLiteral("Feedback12")));
    VelquorFieldCaption::configButton(m_resetButton, text(QStringLiteral("Feedback13")));
    connect(m_submitButton, &QPushButton::clicked, this, &VelquorSupportTicketsView::submitAction);
    connect(m_resetButton, &QPushButton::clicked, this, &VelquorSupportTicketsView::resetAction);
    connect(m_scannerComboBox, &QComboBox::activated, this, &VelquorSupportTicketsView::comboBoxSelectionDidChange);
    m_softwareComboBox->setWillPopUp([this] { comboBoxWillPopUp(); });
}

QList<QWidget *> VelquorSupportTicketsView::rowsInOrder() const
{
    return {m_subjectSearchField, m_scannerComboBoxView, m_softwareComboBoxView, m_versionSearchField,
            m_vinSearchField,     m_yearSearchField,     m_engineSizeSarchField};
}

void VelquorSupportTicketsView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A window restored after being minimised is no new showing of the page: the entries stay.
    if (!event->spontaneous())
        configDefaultValue();
}

void VelquorSupportTicketsView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutSubviews();
}

void VelquorSupportTicketsView::placeRow(QWidget *rowView, VelquorBasicButton *caption, QWidget *control,
                                         const QRect &frame)
{
    rowView->setGeometry(frame);
    const int captionWidth = qCeil(VelquorFieldCaption::captionWidth(caption->title()));
    const int captionHeight = qCeil(VelquorFieldCaption::captionHeight(caption->title()));
    // The caption sits where a field's caption sits: at the left, centred in a one-line row.
    caption->setGeometry(0, (kRowHeight - captionHeight) / 2, captionWidth, captionHeight);
    const int x = captionWidth + kControlMargin;
    if (control == m_problemTextView)
        control->setGeometry(x, kControlMargin / 2, frame.width() - x - kControlMargin, frame.height() - kControlMargin);
    else
        control->setGeometry(x, 2, frame.width() - x - kControlMargin, frame.height() - 4);
}

void VelquorSupportTicketsView::layoutSubviews()
{
    const int rowWidth = width() - 2 * kSideMargin;
    int y = kFirstRowTop;
    for (QWidget *row : rowsInOrder()) {
        const QRect frame(kSideMargin, y, rowWidth, kRowHeight);
        if (row == m_scannerComboBoxView)
            placeRow(m_scannerComboBoxView, m_scannerLeftButton, m_scannerComboBox, frame);
        else if (row == m_softwareComboBoxView)
            placeRow(m_softwareComboBoxView, m_softwareLeftButton, m_softwareComboBox, frame);
        else
            row->setGeometry(frame);
        y += kRowHeight + kRowSpacing;
    }
    const int buttonsTop = VelquorFieldCaption::placeButtonPair(this, m_submitButton, m_centerView, m_resetButton);
    placeRow(m_problemView, m_problemLeftButton, m_problemTextView,
             QRect(kSideMargin, y, rowWidth, qMax(kRowHeight, buttonsTop - kRowSpacing - y)));

}

void VelquorSupportTicketsView::setTicketsModel(const VelquorSupportTicketsModel &model)
{
    // On screen no showing follows to empty the form (the main view is drawing its current tab again):
    // only the devices offered are renewed, and the form stays as the user left it while the chosen
    // device is still offered.
    const QString scanner = m_scannerComboBox->currentText();
    if (isVisible() && (scanner.isEmpty() || model.scanners().contains(scanner))) {
        m_ticketsModel.setScanners(model.scanners());
        m_scannerComboBox->setItems(m_ticketsModel.scanners());
        return;
    }
    m_ticketsModel = model;
    ++m_ticketsGeneration;
    m_scannerComboBox->setItems(m_ticketsModel.scanners());
    m_softwareComboBox->setItems(m_ticketsModel.softwares());
}

void VelquorSupportTicketsView::configDefaultValue()
{
    for (VelquorSearchField *field :
         {m_subjectSearchField.data(), m_versionSearchField.data(), m_vinSearchField.data(), m_yearSearchField.data(),
          m_engineSizeSarchField.data()})
        field->clear();
    m_scannerComboBox->setCurrentIndex(-1);
    m_softwareComboBox->setCurrentIndex(-1);
    m_problemTextView->clear();
    VelquorSupportTicketForm::clear(m_ticketsModel);
}

void VelquorSupportTicketsView::resetAction()
{
    configDefaultValue();
}

bool VelquorSupportTicketsView::getRegInfo()
{
    VelquorSupportTicketForm::Entries entries;
    entries.subject = m_subjectSearchField->text();
    entries.scanner = m_scannerComboBox->currentText();
    entries.software = m_softwareComboBox->currentText();
    entries.version = m_versionSearchField->text();
    entries.vin = m_vinSearchField->text();
    entries.year = m_yearSearchField->text();
    entries.engineSize = m_engineSizeSarchField->text();
    entries.problem = m_problemTextView->toPlainText();
    if (VelquorSupportTicketForm::check(entries) == VelquorSupportTicketForm::Check::EmptyEntry)
        return false;
    VelquorSupportTicketForm::copyInto(entries, m_ticketsModel);
    return true;
}

void VelquorSupportTicketsView::submitAction()
{
    if (m_sending)
        return;
    if (!getRegInfo()) {
        VelquorPageAlert::show(this, text(QStringLiteral("FeedbackHint1")), QStringLiteral("warning"));
        return;
    }
    if (m_ticketsModel.vin().size() != VelquorSupportTicketForm::kVinLength) {
        VelquorPageAlert::show(this, text(QStringLiteral("FeedbackHint2")), QStringLiteral("warning"));
        return;
    }
    m_sending = true;
    m_submitButton->setEnabled(false);
    const QPointer<VelquorSupportTicketsView> self(this);
    m_viewModel.requestUserComplaint(m_ticketsModel, [self](std::shared_ptr<VelquorResultModel> answer,
                                                            const std::optional<VelquorNetworkError> &error) {
        const bool sent = !error && answer && answer->msgCode() == 1;
        DispatchQueue::main().async([self, sent] {
            if (self)
                self->sendFinished(sent);
        });
    });
}

void VelquorSupportTicketsView::sendFinished(bool sent)
{
    m_sending = false;
    m_submitButton->setEnabled(true);
    // The form keeps its entries either way: after a failure the user can send them again.
    if (sent)
        VelquorPageAlert::show(this, text(QStringLiteral("FeedbackHint3")), QStringLiteral("information"));
    else
        VelquorPageAlert::show(this, text(QStringLiteral("FeedbackHint4")), QStringLiteral("warning"));
}

void VelquorSupportTicketsView::comboBoxSelectionDidChange()
{
    const QPointer<VelquorSupportTicketsView> self(this);
    const quint64 generation = m_ticketsGeneration;
    m_viewModel.requestProductIDsWithCompletion(
        [self, generation](std::shared_ptr<VelquorProductResultModel> answer,
                           const std::optional<VelquorNetworkError> &error) {
            if (error || !answer || answer->msgCode() != 1)
                return;
            const QList<VelquorProductInfoModel> products = answer->product();
            DispatchQueue::main().async([self, generation, products] {
                if (!self || generation != self->m_ticketsGeneration)
                    return;
                const auto productID =
                    VelquorSupportTicketForm::productIDForScanner(products, self->m_scannerComboBox->currentText());
                if (productID)
                    self->m_ticketsModel.setProductID(productID);
            });
        });
}

void VelquorSupportTicketsView::comboBoxWillPopUp()
{
    if (m_scannerComboBox->currentText().isEmpty() || !m_ticketsModel.productID())
        return;
    const QPointer<VelquorSupportTicketsView> self(this);
    const quint64 generation = m_ticketsGeneration;
    m_viewModel.requestSoftwareInfoWithProductID(
        *m_ticketsModel.productID(),
        [self, generation](std::shared_ptr<VelquorSoftwareResultModel> answer,
                           const std::optional<VelquorNetworkError> &error) {
            if (error || !answer || answer->msgCode() != 1)
                return;
            const QStringList names = VelquorSupportTicketForm::softwareNames(answer->softwareInfo());
            DispatchQueue::main().async([self, generation, names] {
                if (!self || generation != self->m_ticketsGeneration)
                    return;
                self->m_ticketsModel.setSoftwares(names);
                self->m_softwareComboBox->setItems(names);
            });
        });
}
