#include "updates/VelquorUpdatesTableSource.h"

#include "controls/VelquorDownloadButton.h"
#include "controls/VelquorTableView.h"
#include "updates/VelquorMyUpdatesTableRowView.h"
#include "updates/VelquorMyUpdatesView.h"
#include "updates/VelquorUpdatesConstants.h"
#include "updates/VelquorUpdatesStyle.h"
#include "updates/VelquorVehicleRows.h"

#include <QLabel>
#include <QPushButton>

#include <bit>

namespace {

constexpr qint64 kLastState = 9;

// A row's texts follow its records' state, progress, size and update flag, the row height and the
// product; the other texts of a listed record never change, and a new list brings new records.
VelquorMyUpdatesTableRowView::ContentStamp stampOf(const VelquorVehicleFamilyGroup &group, double height,
                                                   bool basicSeries)
{
    VelquorMyUpdatesTableRowView::ContentStamp stamp;
    stamp.objects.reserve(group.size() * 2);
    stamp.figures.reserve(group.size() * 4 + 2);
    stamp.figures.push_back(std::bit_cast<quint64>(height));
    stamp.figures.push_back(basicSeries ? 1 : 0);
    for (const VelquorVehicleFamilyModelPtr &family : group) {
        const VelquorDownloadModelPtr record = family ? family->model() : nullptr;
        stamp.objects.emplace_back(family);
        stamp.objects.emplace_back(record);
        if (!record)
            continue;
        stamp.figures.push_back(quint64(record->state()));
        stamp.figures.push_back(std::bit_cast<quint64>(record->progress()));
        stamp.figures.push_back(record->totalFileSize());
        stamp.figures.push_back(record->isUpdate() ? 1 : 0);
    }
    return stamp;
}

// The same objects by ownership, never by address: a weak reference keeps its object's owner
// distinct from any object made after it was freed.
bool sameStamp(const VelquorMyUpdatesTableRowView::ContentStamp &a, const VelquorMyUpdatesTableRowView::ContentStamp &b)
{
    if (a.figures != b.figures || a.objects.size() != b.objects.size())
        return false;
    for (std::size_t i = 0; i < a.objects.size(); ++i) {
        if (a.objects[i].owner_before(b.objects[i]) || b.objects[i].owner_before(a.objects[i]))
            return false;
    }
    return true;
}

} // namespace

VelquorUpdatesTableSource::VelquorUpdatesTableSource(VelquorMyUpdatesView &page, VelquorVehicleRows &rows,
                                                     QStringList pngLists)
    : m_page(page), m_rows(rows), m_pngLists(std::move(pngLists))
{}

qint64 VelquorUpdatesTableSource::numberOfRowsInTableView(VelquorTableView *)
{
    m_snapshot = m_rows.shownRows();
    return m_snapshot.size();
}

qreal VelquorUpdatesTableSource::tableViewHeightOfRow(VelquorTableView *, qint64 row)
{
    if (row < 0 || row >= m_snapshot.size() || m_snapshot.at(row).isEmpty() || !m_snapshot.at(row).first())
        return VelquorUpdates::kFallbackRowHeight;
    return m_snapshot.at(row).first()->height();
}

VelquorTableRowView *VelquorUpdatesTableSource::tableViewRowViewForRow(VelquorTableView *tableView, qint64 row)
{
    if (row < 0 || row >= m_snapshot.size())
        return new VelquorTableRowView;

    auto *view = qobject_cast<VelquorMyUpdatesTableRowView *>(
        tableView->makeViewWithIdentifier(VelquorUpdates::kRowViewIdentifier));
    if (!view) {
        view = new VelquorMyUpdatesTableRowView;
        QPushButton *detail = view->detailButton();
        QObject::connect(detail, &QPushButton::clicked, &m_page, [page = &m_page, detail] { page->detailAction(detail); });
    }

    const VelquorVehicleFamilyGroup &group = m_snapshot.at(row);
    const double height = tableViewHeightOfRow(tableView, row);
    VelquorDownloadButton *button = view->downloadButton();
    QPushButton *detail = view->detailButton();
    detail->setProperty("tag", row);
    button->setTag(row);
    button->addTarget(&m_page, &VelquorMyUpdatesView::downloadAction);
    auto stamp = stampOf(group, height, m_rows.isBasicSeriesDefaultProduct(m_rows.productName()));
    if (sameStamp(stamp, view->contentStamp()))
        return view;
    view->setContentStamp(std::move(stamp));

    const VelquorVehicleRowContent content = m_rows.content(group);

    view->resetUIImageVehicle(content.vehicleImageName, content.backupImageName, m_pngLists);

    const QString title = content.title();
    const QString mainText = content.mainText();
    view->textLabel1()->setText(VelquorUpdatesStyle::attributedText(
        {{title, VelquorUpdatesStyle::kTitleSize, Qt::black}, {mainText.mid(title.size()), VelquorUpdatesStyle::kTextSize, {}}},
        Qt::AlignLeft));
    const QString notes = content.notesText();
    view->textLabel2()->setText(
        VelquorUpdatesStyle::attributedText({{notes, VelquorUpdatesStyle::kTextSize, {}}}, Qt::AlignLeft));

    // Notes that fit the row need no information button, unless the package is no update.
    const bool fits = height >= m_rows.textHeight(notes, VelquorUpdatesStyle::kTextSize);
    detail->setVisible(!content.isUpdate || !fits);

    const QString progress = VelquorUpdatesStyle::attributedTitle(content.progressText(), Qt::black);
    for (qint64 state = 0; state <= kLastState; ++state)
        button->setProgressTitle(progress, state);
    button->setDownloadState(content.state);
    button->setDoubleValue(content.progressValue() * 100);
    return view;
}
