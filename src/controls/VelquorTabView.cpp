#include "VelquorTabView.h"

#include "VelquorImages.h"
#include "VelquorTabItemBgView.h"
#include "VelquorTabItemButton.h"
#include "VelquorTabItemView.h"
#include "VelquorTabViewDataSource.h"
#include "VelquorTabViewDelegate.h"

#include <QLabel>
#include <QScrollArea>
#include <QTimer>

namespace {

// Background of the content area behind the pages.
const QColor kContentBackgroundColor(0xF2, 0xF2, 0xF2);

} // namespace

VelquorTabView::VelquorTabView(QWidget *parent) : QWidget(parent)
{
    m_itemBgView = new VelquorTabItemBgView(this);
    m_imageView = new QLabel(m_itemBgView);
    m_imageView->setScaledContents(true);
    m_imageView->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_scrollView = new QScrollArea(this);
    m_scrollView->setFrameShape(QFrame::NoFrame);
    m_scrollView->setWidgetResizable(false);
    m_scrollView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = m_scrollView->viewport()->palette();
    palette.setColor(QPalette::Window, kContentBackgroundColor);
    m_scrollView->viewport()->setPalette(palette);
    m_scrollView->viewport()->setAutoFillBackground(true);
    layoutSubviews();
}

VelquorTabView::~VelquorTabView()
{
    // Pages belong to the data source; hand them back instead of deleting them with us.
    releaseShownPage(true);
    for (const QPointer<QWidget> &page : std::as_const(m_parkedPages))
        if (page && page->parent() == this)
            page->setParent(nullptr);
}

void VelquorTabView::setDataSource(VelquorTabViewDataSource *dataSource)
{
    m_dataSource = dataSource;
    if (isVisible())
        drawTabItems();
}

void VelquorTabView::setDelegate(VelquorTabViewDelegate *delegate)
{
    m_delegate = delegate;
}

void VelquorTabView::setItemWidth(qreal width)
{
    m_itemWidth = width;
    if (isVisible())
        drawTabItems();
}

void VelquorTabView::setItemHeight(qreal height)
{
    m_itemHeight = height;
    layoutSubviews();
    if (isVisible())
        drawTabItems();
}

VelquorTabItemView *VelquorTabView::selectedBgView()
{
    if (!m_selectedBgView) {
        m_selectedBgView = new VelquorTabItemView(m_itemBgView);
        m_selectedBgView->hide();
    }
    return m_selectedBgView;
}

QList<VelquorTabItemButton *> VelquorTabView::itemButtons() const
{
    QList<VelquorTabItemButton *> buttons;
    for (const auto &button : m_buttons)
        if (button)
            buttons.append(button);
    return buttons;
}

void VelquorTabView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutSubviews();
    drawTabItems();
}

void VelquorTabView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    drawTabItems();
}

void VelquorTabView::layoutSubviews()
{
    const int barHeight = qRound(m_itemHeight);
    m_itemBgView->setGeometry(0, 0, width(), barHeight);
    m_imageView->setGeometry(m_itemBgView->rect());
    m_scrollView->setGeometry(0, barHeight, width(), qMax(0, height() - barHeight));
}

void VelquorTabView::drawTabItems()
{
    if (!m_dataSource)
        return;
    // A layout that a click sets off must not pull the clicked button away under its own signal;
    // it runs once the click has been handled.
    if (m_handlingClick) {
        if (!m_layoutPending) {
            m_layoutPending = true;
            QTimer::singleShot(0, this, [this] {
                m_layoutPending = false;
                drawTabItems();
            });
        }
        return;
    }
    const qint64 count = m_dataSource->numberOfItemsInTabView(this);
    if (count < 1) {
        rebuildItems(0, {});
        return;
    }
    const qreal w = m_itemWidth > 0 ? m_itemWidth : qreal(kMainWindowWidth / count);
    const QSizeF itemSize(w, m_itemHeight);
    if (count != m_buttons.size() || itemSize != m_builtItemSize || itemButtons().size() != m_buttons.size()) {
        rebuildItems(count, itemSize);
    } else {
        // Same layout: only the captions may have changed (another language, for instance).
        for (qint64 i = 0; i < count; ++i)
            m_buttons.at(i)->setCaption(m_dataSource->tabViewItemAtIndex(this, i).title);
    }
    if (m_currentItemIndex < 0 || m_currentItemIndex >= count)
        setSelectedTabItemIndex(0);
}

void VelquorTabView::rebuildItems(qint64 count, const QSizeF &itemSize)
{
    for (const auto &button : std::as_const(m_buttons))
        if (button) {
            button->hide();
            button->deleteLater();
        }
    m_buttons.clear();
    m_builtItemSize = itemSize;
    for (qint64 i = 0; i < count; ++i) {
        const VelquorTabItemModel item = m_dataSource->tabViewItemAtIndex(this, i);
        auto *button = new VelquorTabItemButton(item.title, itemSize, m_itemBgView);
        button->setGeometry(QRectF(itemSize.width() * i, 0, itemSize.width(), itemSize.height()).toRect());
        connect(button, &QAbstractButton::clicked, this, [this, i] { onClick(i); });
        button->show();
        m_buttons.append(button);
    }
}

void VelquorTabView::onClick(qint64 index)
{
    m_handlingClick = true;
    setSelectedTabItemIndex(index);
    m_handlingClick = false;
    if (m_delegate)
        m_delegate->tabViewDidSelectTabItemAtIndex(this, index);
}

void VelquorTabView::setSelectedTabItemIndex(qint64 index)
{
    if (index == m_currentItemIndex || !m_dataSource)
        return;
    if (index < 0 || index >= m_dataSource->numberOfItemsInTabView(this))
        return;
    m_currentItemIndex = index;
    const VelquorTabItemModel item = m_dataSource->tabViewItemAtIndex(this, index);
    m_imageView->setPixmap(VelquorImages::named(item.icon));
    showPage(m_dataSource->tabViewContentViewForItemAtIndex(this, index));
}

void VelquorTabView::reloadTabView()
{
    if (!m_dataSource || m_currentItemIndex < 0)
        return;
    if (m_currentItemIndex >= m_dataSource->numberOfItemsInTabView(this))
        return;
    showPage(m_dataSource->tabViewContentViewForItemAtIndex(this, m_currentItemIndex));
}

void VelquorTabView::showPage(QWidget *page)
{
    if (page && page == m_scrollView->widget()) {
        page->show();
        return;
    }
    releaseShownPage(false);
    if (!page)
        return;
    m_parkedPages.removeAll(page);
    m_parkedPages.removeAll(nullptr);
    QWidget *home = page->parentWidget();
    m_shownPageHome = home == this ? nullptr : home;
    const QRect frame = page->geometry();
    m_scrollView->setWidget(page);
    page->setGeometry(frame);
    page->show();
}

void VelquorTabView::releaseShownPage(bool tabViewGoing)
{
    // takeWidget keeps the page alive (it belongs to the data source) but leaves it without a
    // parent, which would make it a window of its own.
    QWidget *page = m_scrollView->takeWidget();
    if (!page)
        return;
    page->hide();
    if (m_shownPageHome) {
        page->setParent(m_shownPageHome);
    } else if (!tabViewGoing) {
        page->setParent(this);
        m_parkedPages.append(page);
    }
    page->hide();
    m_shownPageHome = nullptr;
}
