// The tab bar: each item selected, a caption that wraps, and the two helper views.
#include "ShotKit.h"
#include "ShotRegistry.h"

#include "controls/VelquorTabItemBgView.h"
#include "controls/VelquorTabItemButton.h"
#include "controls/VelquorTabItemView.h"
#include "controls/VelquorTabView.h"
#include "controls/VelquorTabViewDataSource.h"

#include <QLabel>

namespace {

// A main-window-sized host that owns its pages, as the main view controller does.
class TabHost : public QWidget, public VelquorTabViewDataSource
{
public:
    explicit TabHost(QStringList titles) : m_titles(std::move(titles))
    {
        resize(1140, 300);
        for (const QString &title : m_titles) {
            auto page = std::make_unique<QLabel>(QStringLiteral("Page: %1").arg(title));
            page->setAlignment(Qt::AlignCenter);
            page->setPalette(QPalette(Qt::white));
            page->resize(1140, 256);
            m_pages.push_back(std::move(page));
        }
        tabView = new VelquorTabView(this);
        tabView->setItemHeight(44);
        tabView->setGeometry(rect());
        tabView->setDataSource(this);
    }

    qint64 numberOfItemsInTabView(VelquorTabView *) override { return m_titles.size(); }
    VelquorTabItemModel tabViewItemAtIndex(VelquorTabView *, qint64 index) override
    {
        static const QStringList icons{"Toolbar_update", "Toolbar_info", "Toolbar_feedback", "Toolbar_print"};
        return {m_titles.value(index), icons.value(int(index) % icons.size())};
    }
    QWidget *tabViewContentViewForItemAtIndex(VelquorTabView *, qint64 index) override
    {
        return m_pages.at(index).get();
    }

    VelquorTabView *tabView;

private:
    QStringList m_titles;
    std::vector<std::unique_ptr<QLabel>> m_pages;
};

const QStringList kItems{"My Updates", "Personal Info", "Feedback", "Software Management"};

} // namespace

VELQUOR_SHOTS(registry)
{
    for (int selected = 0; selected < kItems.size(); ++selected)
        registry.add(
            "tabview", QStringLiteral("item%1-selected").arg(selected),
            [] { return std::make_unique<TabHost>(kItems); },
            [selected](QWidget *host) {
                auto *tabView = static_cast<TabHost *>(host)->tabView;
                VelquorTabItemButton *button = tabView->itemButtons().value(selected);
                if (button)
                    button->click();
            });
    registry.add("tabview", "wrapped-caption", [] {
        return std::make_unique<TabHost>(
            QStringList{"My Updates", "A caption far too long for one line of its item", "Feedback", "Software"});
    });
    registry.add("tabview", "no-items", [] { return std::make_unique<TabHost>(QStringList{}); });

    registry.add("tabview", "separators", [] {
        auto bar = std::make_unique<VelquorTabItemBgView>();
        bar->resize(600, 44);
        bar->setPalette(QPalette(QColor(0x20, 0x50, 0x90)));
        bar->setAutoFillBackground(true);
        bar->setItemWidth(150);
        bar->setItemHeight(44);
        bar->setItemTotal(4);
        return bar;
    });
    registry.add("tabview", "selection-marker", [] {
        auto host = ShotKit::page(QSize(200, 44));
        auto *marker = new VelquorTabItemView(host.get());
        marker->setOffset(12);
        marker->setGeometry(20, 0, 160, 44);
        return host;
    });
}
