#pragma once

#include "controls/VelquorTableRowView.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class VelquorDownloadButton;

// One vehicle row of the updates table: the vehicle's picture, the main text (names, versions,
// release versions, languages or size), the notes, the information button and the download-state
// button. Made once per reused row; its per-state titles and pictures are registered then, and the
// table's data source sets everything else each time it shows the row.
class VelquorMyUpdatesTableRowView : public VelquorTableRowView
{
    Q_OBJECT
public:
    static constexpr int kImageSide = 70;
    static constexpr int kImageColumnWidth = 150;
    static constexpr int kTextWidth = 300;
    static constexpr int kDownloadButtonWidth = 210;
    static constexpr int kDownloadButtonHeight = 114;
    static constexpr int kDetailButtonSide = 20;

    explicit VelquorMyUpdatesTableRowView(QWidget *parent = nullptr);

    QLabel *imageView() const { return m_imageView; }
    QLabel *textLabel1() const { return m_textLabel1; }
    QLabel *textLabel2() const { return m_textLabel2; }
    QPushButton *detailButton() const { return m_detailButton; }
    VelquorDownloadButton *downloadButton() const { return m_downloadButton; }

    // Registers the title and picture of every download state on the download button.
    void resetUpdateCell();
    // Shows the picture whose file name (of `paths`) is the vehicle or the backup name; an IVECO
    // vehicle falls back to the immobiliser picture; nothing when none matches. Unchanged names
    // keep the picture shown.
    void resetUIImageVehicle(const QString &vehicle, const QString &backupVehicle, const QStringList &paths);

    // The light grey (or given colour) centred text of the download button's titles.
    static QString attributedTitle(const QString &text, const QColor &color = {});

    // What the row was last drawn from, so an unchanged row is not set up again every second: the
    // row's family and record objects, held weakly so that one freed never matches a newcomer at its
    // address, and the figures its texts follow.
    struct ContentStamp
    {
        std::vector<std::weak_ptr<const void>> objects;
        std::vector<quint64> figures;
    };
    const ContentStamp &contentStamp() const { return m_contentStamp; }
    void setContentStamp(ContentStamp stamp) { m_contentStamp = std::move(stamp); }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutSubviews();

    QLabel *m_imageView;
    QLabel *m_textLabel1;
    QLabel *m_textLabel2;
    QPushButton *m_detailButton;
    VelquorDownloadButton *m_downloadButton;
    QString m_shownImageKey;
    ContentStamp m_contentStamp;
};
