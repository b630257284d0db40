#pragma once

#include "VelquorTabItemModel.h"

#include <QLabel>
#include <QList>
#include <QPointer>
#include <QScrollArea>
#include <QSizeF>
#include <QWidget>

class VelquorTabItemBgView;
class VelquorTabItemButton;
class VelquorTabItemView;
class VelquorTabViewDataSource;
class VelquorTabViewDelegate;

// The page switcher of the main window: a bar of items along the top whose whole background is
// the selected item's picture, and below it a content area showing the selected item's page.
// The first layout selects item 0; later layouts keep the selection. Indexes outside the data
// source's items are ignored. The data source and delegate are not owned and must outlive the
// tab view or be unset first. A page switched away from goes back, hidden, to the parent it had
// before it was shown (a page without one is kept hidden inside the tab view and let go when the
// tab view goes), so it never turns into a window of its own.
class VelquorTabView : public QWidget
{
    Q_OBJECT
public:
    explicit VelquorTabView(QWidget *parent = nullptr);
    ~VelquorTabView() override;

    VelquorTabViewDataSource *dataSource() const { return m_dataSource; }
    void setDataSource(VelquorTabViewDataSource *dataSource);
    VelquorTabViewDelegate *delegate() const { return m_delegate; }
    void setDelegate(VelquorTabViewDelegate *delegate);

    // -1 until the first selection.
    qint64 currentItemIndex() const { return m_currentItemIndex; }

    // Width of one item; 0 lets it follow from the count (the main window's width divided by it).
    qreal itemWidth() const { return m_itemWidth; }
    void setItemWidth(qreal width);
    // Height of the bar.
    qreal itemHeight() const { return m_itemHeight; }
    void setItemHeight(qreal height);

    VelquorTabItemBgView *itemBgView() const { return m_itemBgView; }
    QLabel *imageView() const { return m_imageView; }
    QScrollArea *scrollView() const { return m_scrollView; }
    VelquorTabItemView *selectedBgView();
    QList<VelquorTabItemButton *> itemButtons() const;

    // Selects item `index` (bar picture and page) without telling the delegate.
    void setSelectedTabItemIndex(qint64 index);
    // Shows the current item's page again, as the data source gives it now.
    void reloadTabView();
    // Lays the items out from the data source; buttons are remade only when the count or the
    // item size changed.
    void drawTabItems();

    // Width the items share when itemWidth is 0.
    static constexpr int kMainWindowWidth = 1140;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void layoutSubviews();
    void rebuildItems(qint64 count, const QSizeF &itemSize);
    void onClick(qint64 index);
    void showPage(QWidget *page);
    // Takes the shown page out of the content area and gives it back to its parent, hidden.
    void releaseShownPage(bool tabViewGoing);

    VelquorTabViewDataSource *m_dataSource = nullptr;
    VelquorTabViewDelegate *m_delegate = nullptr;
    qint64 m_currentItemIndex = -1;
    qreal m_itemWidth = 0;
    qreal m_itemHeight = 0;
    VelquorTabItemBgView *m_itemBgView = nullptr;
    QLabel *m_imageView = nullptr;
    QScrollArea *m_scrollView = nullptr;
    VelquorTabItemView *m_selectedBgView = nullptr;
    QList<QPointer<VelquorTabItemButton>> m_buttons;
    // Parent of the shown page before it was shown; null when it had none.
    QPointer<QWidget> m_shownPageHome;
    // Pages without a parent of their own, kept hidden here while switched away.
    QList<QPointer<QWidget>> m_parkedPages;
    QSizeF m_builtItemSize;
    bool m_handlingClick = false;
    bool m_layoutPending = false;
};
