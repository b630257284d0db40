#include "updates/VelquorCardChoice.h"

#include "controls/VelquorButton.h"
#include "controls/VelquorComboBox.h"
#include "controls/VelquorProgressView.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorDeviceManager.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "core/VelquorMyUpdatesListModel.h"
#include "core/VelquorUserManager.h"
#include "platform/DispatchQueue.h"
#include "updates/VelquorMyUpdatesView.h"
#include "updates/VelquorUpdatesConstants.h"
#include "updates/VelquorVehicleRows.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPointer>
#include <QVariantAnimation>

namespace {

VelquorCardChoice::DirectoryChooser &directoryChooser()
{
    static VelquorCardChoice::DirectoryChooser chooser;
    return chooser;
}

void showDirectoryDialog(QWidget *parent, const QString &message, const QString &prompt, const QString &startPath)
{
    QFileDialog dialog(parent, message, startPath);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, prompt);
    dialog.exec();
}

} // namespace

VelquorCardChoice::VelquorCardChoice(VelquorMyUpdatesView &page, VelquorVehicleRows &rows,
                                     VelquorDeviceManager &deviceManager, VelquorDownloadManager &downloadManager,
                                     VelquorDownloadDataBaseManager &database, VelquorCommonTool &commonTool)
    : QObject(&page), m_page(page), m_rows(rows), m_deviceManager(deviceManager), m_downloadManager(downloadManager),
      m_database(database), m_commonTool(commonTool), m_poster(this)
{}

void VelquorCardChoice::setDirectoryChooser(DirectoryChooser chooser)
{
    directoryChooser() = std::move(chooser);
}

QString VelquorCardChoice::cardItemText(const VelquorDeviceAttributes &device)
{
    return QStringLiteral("%1: (%2)").arg(device.name, VelquorDeviceManager::getAvailableCapacityWithDeviceAttributes(device));
}

qint64 VelquorCardChoice::chooseCard(const QStringList &paths, const QString &chosenPath)
{
    if (paths.isEmpty())
        return -1;
    const qint64 found = chosenPath.isEmpty() ? -1 : paths.indexOf(chosenPath);
    return found >= 0 ? found : 0;
}

QList<VelquorDeviceAttributes> VelquorCardChoice::devices() const
{
    std::lock_guard lock(m_devicesMutex);
    return m_devices;
}

quint64 VelquorCardChoice::availableCapacity() const
{
    const QString chosen = m_commonTool.saveFilePath();
    if (chosen.isEmpty())
        return 0;
    std::lock_guard lock(m_devicesMutex);
    for (const VelquorDeviceAttributes &device : m_devices)
        if (device.path == chosen)
            return quint64(qMax<qint64>(0, device.freeSize));
    return 0;
}

// --- The boxes

qint64 VelquorCardChoice::numberOfItemsInComboBox(VelquorComboBox *box) const
{
    const auto list = m_page.myUpdatesModel();
    if (!list)
        return 0;
    const bool cardChosen = VelquorCommonTool::isUsableText(list->sdPath());
    if (box == m_page.sdCardComboBox())
        return m_rows.isBusy() ? 1 : list->sdPaths().size();
    if (box == m_page.serialNumberComboBox()) {
        if (m_rows.isBusy())
            return 1;
        return cardChosen ? list->serialNumbers().size() : 0;
    }
    return 0;
}

QString VelquorCardChoice::comboBoxObjectValueForItemAtIndex(VelquorComboBox *box, qint64 index) const
{
    const auto list = m_page.myUpdatesModel();
    if (!list || index < 0)
        return {};
    const bool cardChosen = VelquorCommonTool::isUsableText(list->sdPath());
    if (box == m_page.sdCardComboBox())
        return m_rows.isBusy() ? list->sdPath() : list->sdPaths().value(index);
    if (box == m_page.serialNumberComboBox()) {
        if (!cardChosen)
            return {};
        return m_rows.isBusy() ? list->serialNumber() : list->serialNumbers().value(index);
    }
    return {};
}

void VelquorCardChoice::comboBoxSelectionDidChange(VelquorComboBox *box)
{
    const auto list = m_page.myUpdatesModel();
    if (!list || !m_page.refreshCompletion() || m_rows.isBusy()) {
        // The choice is refused: the box shows the current one again.
        showChoice();
        return;
    }
    const qint64 index = box->indexOfSelectedItem();
    if (box == m_page.serialNumberComboBox())
        chooseDevice(index);
    else if (box == m_page.sdCardComboBox())
        chooseCardAt(index);
}

void VelquorCardChoice::chooseDevice(qint64 index)
{
    const auto list = m_page.myUpdatesModel();
    const QStringList serialNumbers = list->serialNumbers();
    const QList<qint64> serialIDs = list->serialIDs();
    if (index < 0 || index >= serialNumbers.size() || index >= serialIDs.size()) {
        showChoice();
        return;
    }
    const QString serialNumber = serialNumbers.at(index);
    const qint64 serialID = serialIDs.at(index);
    const QString productName = list->productNames().value(index);
    list->setSerialNumber(serialNumber);
    list->setSerialID(serialID);
    list->setProductName(productName);
    // From here on every record read or written is this device's.
    m_database.creatDBWithSerialNumber(serialNumber, VelquorUserManager::sharedManager().getAccountName());
    m_page.initApplicationDBCache();
    if (const auto completion = m_page.refreshCompletion())
        completion(serialNumber, serialID, productName, true);
}

void VelquorCardChoice::chooseCardAt(qint64 index)
{
    const auto list = m_page.myUpdatesModel();
    const QStringList items = list->sdPaths();
    const QList<VelquorDeviceAttributes> scanned = devices();
    if (index < 0 || index >= items.size() || index >= scanned.size()) {
        showChoice();
        return;
    }
    list->setSdPath(items.at(index));
    m_commonTool.setSaveFilePath(scanned.at(index).path);
    m_commonTool.setIndexOfSelectedItem(index);
    reloadSDCard(true);
}

void VelquorCardChoice::showChoice()
{
    const auto list = m_page.myUpdatesModel();
    const QString sdPath = list ? list->sdPath() : QString();
    const QString serialNumber = list ? list->serialNumber() : QString();
    const bool cardChosen = VelquorCommonTool::isUsableText(sdPath);
    VelquorComboBox *cardBox = m_page.sdCardComboBox();
    VelquorComboBox *deviceBox = m_page.serialNumberComboBox();
    cardBox->setStringValue(cardChosen ? sdPath : QString());
    deviceBox->setStringValue(cardChosen && VelquorCommonTool::isUsableText(serialNumber) ? serialNumber : QString());
    cardBox->reloadData();
    deviceBox->reloadData();
}

// --- The card list

void VelquorCardChoice::reloadSDCard(bool askAccess)
{
    const std::shared_ptr<DispatchQueue> queue = m_downloadManager.reloadSDCardQueue();
    if (!queue)
        return;
    VelquorDeviceManager *deviceManager = &m_deviceManager;
    queue->async([deviceManager, poster = m_poster, this, askAccess] {
        const QList<VelquorDeviceAttributes> scan = deviceManager->getDeviceInfoByUSBSerialPort();
        QList<PathIdentity> identities;
        for (const VelquorDeviceAttributes &device : scan)
            identities.append(PathIdentity::of(device.path));
        // `this` is touched only on the GUI thread, and only while it still exists.
        poster.post([this, scan, identities, askAccess] { applyScan(scan, identities, askAccess); });
    });
}

void VelquorCardChoice::applyScan(const QList<VelquorDeviceAttributes> &scan, const QList<PathIdentity> &identities,
                                  bool askAccess)
{
    {
        std::lock_guard lock(m_devicesMutex);
        m_devices = scan;
    }
    QStringList items;
    QStringList paths;
    for (const VelquorDeviceAttributes &device : scan) {
        items.append(cardItemText(device));
        paths.append(device.path);
    }
    m_accessAsked.intersect(QSet<QString>(paths.cbegin(), paths.cend()));

    const auto list = m_page.myUpdatesModel();
    const qint64 chosen = chooseCard(paths, m_commonTool.saveFilePath());
    const QString sdPath = chosen >= 0 ? items.at(chosen) : QString();
    if (chosen >= 0) {
        m_commonTool.setSaveFilePath(paths.at(chosen));
        m_commonTool.setIndexOfSelectedItem(chosen);
        stopBlinking();
    } else {
        m_commonTool.setSaveFilePath(QString());
        m_commonTool.setIndexOfSelectedItem(-1);
        startBlinking();
        m_page.progressView()->hide();
        m_page.progressLabel()->hide();
    }
    if (list) {
        list->setSdPaths(items);
        list->setSdPath(sdPath);
        if (!VelquorCommonTool::isUsableText(sdPath)) {
            // No card: no device either, and nothing to show.
            list->setSerialNumber(QString());
            list->setProductName(QString());
            list->setSerialID(0);
            list->setFamilyModels({});
            m_page.configDownload(false);
        }
    }
    showChoice();
    // Another card chosen for an open device: what it marks as half written goes before its
    // versions count. A device choice does this itself.
    const PathIdentity card = chosen >= 0 ? identities.value(chosen) : PathIdentity{};
    const bool anotherCard = card.exists && card != m_chosenCard;
    m_chosenCard = card;
    if (anotherCard && list && VelquorCommonTool::isUsableText(list->serialNumber()))
        m_page.removeUnfinishedFolders();
    if (askAccess)
        accessFileDirectory();
}

void VelquorCardChoice::accessFileDirectory()
{
    const QString root = m_commonTool.saveFilePath();
    // A card removed since the scan is no question of access.
    const QFileInfo info(root);
    if (root.isEmpty() || !info.isDir() || info.isWritable())
        return;
    // The chooser grants nothing here: asking again about the same card only repeats the question.
    if (m_askingAccess || m_accessAsked.contains(root))
        return;
    m_accessAsked.insert(root);
    const QString message = QStringLiteral("%1\uFF1A%2").arg(m_commonTool.localizedString(QStringLiteral("Tips21")),
                                                             QFileInfo(QDir::cleanPath(root)).fileName());
    const QString prompt = m_commonTool.localizedString(QStringLiteral("Tips22"));
    // The chooser is modal: rescans that land meanwhile must not stack another one.
    m_askingAccess = true;
    const QPointer<VelquorCardChoice> alive(this);
    if (directoryChooser())
        directoryChooser()(m_page.window(), message, prompt, root);
    else
        showDirectoryDialog(m_page.window(), message, prompt, root);
    if (alive)
        m_askingAccess = false;
}

// --- The help button's blinking

bool VelquorCardChoice::isHelpBlinking() const
{
    return m_blinking != nullptr;
}

void VelquorCardChoice::startBlinking()
{
    QWidget *help = m_page.helpButton();
    help->show();
    if (m_blinking)
        return;
    auto *effect = new QGraphicsOpacityEffect(help);
    help->setGraphicsEffect(effect);
    m_blinking = new QVariantAnimation(help);
    m_blinking->setObjectName(VelquorUpdates::kHelpBlinkAnimation);
    m_blinking->setStartValue(0.0);
    m_blinking->setEndValue(1.0);
    m_blinking->setDuration(1000);
    m_blinking->setLoopCount(-1);
    // Shown for the first half of each second, hidden for the second.
    connect(m_blinking, &QVariantAnimation::valueChanged, effect,
            [effect](const QVariant &value) { effect->setOpacity(value.toDouble() < 0.5 ? 1.0 : 0.0); });
    m_blinking->start();
}

void VelquorCardChoice::stopBlinking()
{
    QWidget *help = m_page.helpButton();
    help->hide();
    if (!m_blinking)
        return;
    m_blinking->stop();
    delete m_blinking;
    m_blinking = nullptr;
    help->setGraphicsEffect(nullptr);
}
