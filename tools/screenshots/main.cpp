// velquor-screenshots <folder>: renders every registered control and screen, in each of its
// states, to "<folder>/<family>-<name>.png" (offscreen, no display needed).
#include "ShotRegistry.h"

#include "platform/AppInfo.h"
#include "platform/DispatchQueue.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

#include <algorithm>

namespace {

void settle()
{
    // Layout, deferred resizes and posted relayouts all run before the picture is taken.
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

bool render(const Shot &shot, const QDir &folder, QTextStream &err)
{
    std::unique_ptr<QWidget> widget = shot.make();
    if (!widget) {
        err << "no widget for " << shot.family << "-" << shot.name << "\n";
        return false;
    }
    widget->show();
    settle();
    if (shot.prepare) {
        shot.prepare(widget.get());
        settle();
    }
    const QString path = folder.filePath(shot.family + "-" + shot.name + ".png");
    if (!widget->grab().save(path)) {
        err << "cannot write " << path << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AppInfo::applyToApplication();
    QTextStream out(stdout);
    QTextStream err(stderr);

    const QStringList arguments = app.arguments();
    if (arguments.size() != 2) {
        err << "usage: velquor-screenshots <folder>\n";
        return 2;
    }
    QDir folder(arguments.at(1));
    if (!folder.mkpath(".")) {
        err << "cannot create " << arguments.at(1) << "\n";
        return 1;
    }

    std::vector<Shot> shots = ShotRegistry::instance().shots();
    std::stable_sort(shots.begin(), shots.end(), [](const Shot &a, const Shot &b) { return a.family < b.family; });
    int failures = 0;
    for (const Shot &shot : shots)
        if (!render(shot, folder, err))
            ++failures;
    out << "rendered " << shots.size() - failures << " of " << shots.size() << " shots into " << folder.absolutePath()
        << "\n";
    DispatchQueue::shutdownAll();
    return failures == 0 ? 0 : 1;
}
