#pragma once

#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class VelquorProgressView;

// The action control at the right of a vehicle row: a title line, a 64 x 64 picture, a thin progress
// bar and a progress text. What shows, and in which colours, follows the download state (0 none,
// 1 downloading, 2 waiting, 3 paused, 4 downloaded, 5 download failed, 6 extracting, 7 downloaded and
// waiting to be installed, 8 installed, 9 installation failed); a state outside 0-9 looks like 0.
// The owner registers a title, a progress text and a picture per state once and then only changes the
// state, the progress and the progress texts. Every press emits pressed() with the button and sends the
// action to the target (one target at a time: a new one replaces the old, so a row set up again and
// again still acts once per press); the receiver reads tag() (the row) and downloadState() to decide
// what the press means.
// Titles and progress texts are plain text or HTML (for colours, fonts and paragraph styles). The
// title line keeps clear of the progress text's column unless a registered title needs more room,
// then it reaches across the button; it is as tall as the tallest title's line.
class VelquorDownloadButton : public QWidget
{
    Q_OBJECT
public:
    // Called with the target and the pressed button.
    using Action = std::function<void(QObject *target, VelquorDownloadButton *sender)>;

    explicit VelquorDownloadButton(QWidget *parent = nullptr);

    // Sets both; ignored when either is missing. The target is not owned: once it is gone, presses
    // send nothing.
    void addTarget(QObject *target, Action action);
    // The member function `action` of `target`.
    template <class Target> void addTarget(Target *target, void (Target::*action)(VelquorDownloadButton *))
    {
        if (!target || !action)
            return;
        addTarget(target, [action](QObject *receiver, VelquorDownloadButton *sender) {
            if (auto *typed = dynamic_cast<Target *>(receiver))
                (typed->*action)(sender);
        });
    }
    QObject *target() const { return m_target; }
    void setTarget(QObject *target) { m_target = target; }
    void setAction(Action action) { m_action = std::move(action); }

    qint64 tag() const { return m_tag; }
    void setTag(qint64 tag) { m_tag = tag; }

    qint64 downloadState() const { return m_downloadState; }
    void setDownloadState(qint64 state);

    // A null text or picture is ignored. A value for the current state shows at once.
    void setTitle(const QString &title, qint64 state);
    void setProgressTitle(const QString &title, qint64 state);
    void setImage(const QPixmap &image, qint64 state);

    // Percentage done, 0 to 100.
    void setDoubleValue(double value);

    QLabel *titleLabel() const { return m_titleLabel; }
    QLabel *imageView() const { return m_imageView; }
    VelquorProgressView *progressView() const { return m_progressView; }
    QLabel *progressLabel() const { return m_progressLabel; }

signals:
    void pressed(VelquorDownloadButton *button);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutParts();
    // Room of the title line: the standard width, or more (up to the whole button) where a
    // registered title needs it, and the height of the tallest title.
    QSize titleSize() const;
    void showImage(const QPixmap &image);
    qint64 lookState() const;

    qint64 m_tag = 0;
    qint64 m_downloadState = 0;
    bool m_stateShown = false;
    QPointer<QObject> m_target;
    Action m_action;
    QLabel *m_titleLabel;
    QLabel *m_imageView;
    VelquorProgressView *m_progressView;
    QLabel *m_progressLabel;
    QHash<qint64, QString> m_titles;
    QHash<qint64, QSize> m_titleSizes; // each title's size on one line
    QHash<qint64, QString> m_progressTitles;
    QHash<qint64, QPixmap> m_images;
};
