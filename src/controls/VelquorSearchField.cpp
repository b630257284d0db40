#include "VelquorSearchField.h"

#include "VelquorBorderView.h"
#include "VelquorSearchFieldCell.h"

#include <QEvent>

namespace {

// QLineEdit keeps this much room between its contents rectangle and the first glyph.
constexpr int kLineEditTextInset = 2;

} // namespace

VelquorSearchField::VelquorSearchField(QWidget *parent) : QLineEdit(parent)
{
    // The cell paints the background; the line edit paints only text, selection and caret.
    VelquorFieldCell::prepareEditor(this);
    m_cell = new VelquorSearchFieldCell(this);
    m_borderView = VelquorFieldCell::addFieldBorder(this);

    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (m_textFieldDidChange)
            m_textFieldDidChange(this, text);
    });
    connect(this, &QLineEdit::editingFinished, this, [this] {
        if (m_textFieldDidEndEditing)
            m_textFieldDidEndEditing(this, text());
    });
    updateLayout();
}

void VelquorSearchField::setFiledEventType(qint64 type)
{
    m_filedEventType = type;
    if (type == 0)
        m_borderView->show();
    else if (type == 1)
        m_borderView->hide();
}

void VelquorSearchField::setEditable(bool editable)
{
    setReadOnly(!editable);
    updateInteraction();
}

void VelquorSearchField::setSelectable(bool selectable)
{
    m_selectable = selectable;
    updateInteraction();
}

void VelquorSearchField::updateInteraction()
{
    const bool caption = isReadOnly() && !m_selectable;
    setAttribute(Qt::WA_TransparentForMouseEvents, caption);
    setFocusPolicy(caption ? Qt::NoFocus : Qt::StrongFocus);
}

QColor VelquorSearchField::textColor() const
{
    return palette().color(QPalette::Active, QPalette::Text);
}

void VelquorSearchField::setTextColor(const QColor &color)
{
    QPalette palette = this->palette();
    // Every group alike: a disabled field shows the colour its owner chose, not a theme grey.
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::Disabled, QPalette::Text, color);
    setPalette(palette);
}

QRectF VelquorSearchField::searchTextRect() const
{
    return m_cell->searchTextRectForBounds(rect());
}

void VelquorSearchField::updateLayout()
{
    m_cell->layoutButtons();
    const QRectF text = searchTextRect();
    const int left = qMax(0, qRound(text.left()) - kLineEditTextInset);
    const int right = qMax(0, width() - qRound(text.right()) - kLineEditTextInset);
    setTextMargins(left, 0, right, 0);
    update();
}

void VelquorSearchField::paintEvent(QPaintEvent *event)
{
    m_cell->paintBackground(this);
    QLineEdit::paintEvent(event);
}

void VelquorSearchField::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    updateLayout();
}

void VelquorSearchField::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateLayout();
}
