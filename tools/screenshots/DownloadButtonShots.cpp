// The download-state button in each of its ten states, and the progress bar.
#include "ShotKit.h"
#include "ShotRegistry.h"

#include "controls/VelquorDownloadButton.h"
#include "controls/VelquorImages.h"
#include "controls/VelquorProgressView.h"

namespace {

using ShotKit::page;

struct StateContent
{
    QString title;
    QString picture;
};

// What the updates rows register for each state.
const QList<StateContent> kStates{{"", "Download"},          {"Pause", "Pause"},     {"Waiting", "waiting"},
                                  {"Continue", "Continue"},  {"Install", "waiting"}, {"Retry", "Download"},
                                  {"Installing", "install"}, {"Install", "waiting"}, {"Installed", "Finish"},
                                  {"Retry", "Download"}};

std::unique_ptr<QWidget> downloadButton(int state, double progress)
{
    auto host = page(QSize(230, 134));
    auto *button = new VelquorDownloadButton(host.get());
    button->setGeometry(10, 10, 210, 114);
    for (int s = 0; s < kStates.size(); ++s) {
        button->setTitle(
            QStringLiteral("<p align=center style='color:#aaaaaa;font-size:15px'>%1</p>").arg(kStates.at(s).title), s);
        button->setImage(VelquorImages::named(kStates.at(s).picture), s);
        button->setProgressTitle(QStringLiteral("<span style='font-size:15px'>%1%</span>").arg(int(progress)), s);
    }
    button->setDownloadState(state);
    button->setDoubleValue(progress);
    return host;
}

std::unique_ptr<QWidget> progressBar(double progress, const QColor &track, const QColor &fill)
{
    auto host = page(QSize(220, 30));
    auto *bar = new VelquorProgressView(host.get());
    bar->setGeometry(10, 10, 200, 10);
    bar->setMaxValue(100);
    bar->setTrackColor(track);
    bar->setFillColor(fill);
    bar->setProgress(progress);
    return host;
}

} // namespace

VELQUOR_SHOTS(registry)
{
    for (int state = 0; state < kStates.size(); ++state) {
        const double progress = state == 8 ? 100 : (state == 4 || state == 7) ? 0 : 37.5;
        registry.add("downloadbutton", QStringLiteral("state%1").arg(state),
                     [state, progress] { return downloadButton(state, progress); });
    }
    registry.add("progressview", "empty", [] { return progressBar(0, Qt::transparent, QColor(0, 0, 255)); });
    registry.add("progressview", "downloading", [] { return progressBar(37.5, Qt::transparent, QColor(0, 0, 255)); });
    registry.add("progressview", "installing", [] { return progressBar(60, QColor(0, 0, 255), QColor(0, 255, 0)); });
    registry.add("progressview", "full", [] { return progressBar(100, QColor(0, 0, 255), QColor(0, 255, 0)); });
}
