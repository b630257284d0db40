#pragma once

#include "core/VelquorDeviceAttributes.h"
#include "platform/PathIdentity.h"
#include "updates/VelquorGuiPoster.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <mutex>

class QVariantAnimation;
class QWidget;
class VelquorComboBox;
class VelquorCommonTool;
class VelquorDeviceManager;
class VelquorDownloadDataBaseManager;
class VelquorDownloadManager;
class VelquorMyUpdatesView;
class VelquorVehicleRows;

// The card and device boxes of the updates page. The card list is rebuilt from the mounted card
// volumes on the page's card queue; the list model, the boxes and the help button change on the GUI
// thread only. The chosen card is remembered by its mount path: it stays chosen across rescans while
// mounted, and the first card is chosen once it is gone. While anything is in work both boxes offer
// only their current item and ignore a choice. Choosing a device opens its tables, cleans up what an
// earlier run left and asks the main view for its update list.
class VelquorCardChoice : public QObject
{
    Q_OBJECT
public:
    // Shows the directory chooser for a card root that cannot be written (modal; its answer is not
    // used: there is nothing to remember on this platform, so it is shown once per mounted card).
    using DirectoryChooser = std::function<void(QWidget *parent, const QString &message, const QString &prompt,
                                                const QString &startPath)>;

    VelquorCardChoice(VelquorMyUpdatesView &page, VelquorVehicleRows &rows, VelquorDeviceManager &deviceManager,
                      VelquorDownloadManager &downloadManager, VelquorDownloadDataBaseManager &database,
                      VelquorCommonTool &commonTool);

    // The boxes' data source and delegate (GUI thread).
    qint64 numberOfItemsInComboBox(VelquorComboBox *box) const;
    QString comboBoxObjectValueForItemAtIndex(VelquorComboBox *box, qint64 index) const;
    void comboBoxSelectionDidChange(VelquorComboBox *box);

    // Rescans the card volumes and applies the result; `askAccess` asks for folder access after.
    // Any thread; returns at once.
    void reloadSDCard(bool askAccess);
    // Asks for the chosen card's root when it cannot be written, once while that card stays mounted
    // and never while already asking (GUI thread).
    void accessFileDirectory();

    // The card volumes of the last scan, and the free bytes of the chosen one (0 without). Any thread.
    QList<VelquorDeviceAttributes> devices() const;
    quint64 availableCapacity() const;
    // The help button blinks while no card is present (GUI thread).
    bool isHelpBlinking() const;

    // "NAME: (12.3 GB)".
    static QString cardItemText(const VelquorDeviceAttributes &device);
    // Position of the chosen card in `paths`: where `chosenPath` is, else the first; -1 without paths.
    static qint64 chooseCard(const QStringList &paths, const QString &chosenPath);

    // Replaces the directory chooser (tests); none restores the file dialog.
    static void setDirectoryChooser(DirectoryChooser chooser);

private:
    void applyScan(const QList<VelquorDeviceAttributes> &scan, const QList<PathIdentity> &identities, bool askAccess);
    void chooseDevice(qint64 index);
    void chooseCardAt(qint64 index);
    // The boxes show the list model's choice again.
    void showChoice();
    void startBlinking();
    void stopBlinking();

    VelquorMyUpdatesView &m_page;
    VelquorVehicleRows &m_rows;
    VelquorDeviceManager &m_deviceManager;
    VelquorDownloadManager &m_downloadManager;
    VelquorDownloadDataBaseManager &m_database;
    VelquorCommonTool &m_commonTool;
    VelquorGuiPoster m_poster;

    mutable std::mutex m_devicesMutex;
    QList<VelquorDeviceAttributes> m_devices;
    QVariantAnimation *m_blinking = nullptr;
    // Card roots already asked about; a root leaves once a scan no longer finds it (GUI thread).
    QSet<QString> m_accessAsked;
    bool m_askingAccess = false;
    // What the chosen card's root named at the last scan: another card there is cleaned of what it
    // marks as half written (GUI thread).
    PathIdentity m_chosenCard;
};
