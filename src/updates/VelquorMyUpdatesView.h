#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class VelquorMyUpdatesListModel;

// The updates page: the first tab of the main view.
class VelquorMyUpdatesView : public QWidget
{
    Q_OBJECT
public:
    // Asks the main view to load a device's update list (serial number, serial ID, product name,
    // show the busy overlay).
    using RefreshCompletion = std::function<void(const QString &serialNumber, std::optional<qint64> serialID,
                                                 const QString &productName, bool refresh)>;
    // Tells the main view that software was deleted and every task dropped.
    using DeleteRefresh = std::function<void()>;

    explicit VelquorMyUpdatesView(QWidget *parent = nullptr);
    ~VelquorMyUpdatesView() override;

    void setMyUpdatesModel(const std::shared_ptr<VelquorMyUpdatesListModel> &model);
    std::shared_ptr<VelquorMyUpdatesListModel> myUpdatesModel() const { return m_myUpdatesModel; }

    void setRefreshCompletion(RefreshCompletion completion) { m_refreshCompletion = std::move(completion); }
    RefreshCompletion refreshCompletion() const { return m_refreshCompletion; }
    void setDeleteRefresh(DeleteRefresh deleteRefresh) { m_deleteRefresh = std::move(deleteRefresh); }
    DeleteRefresh deleteRefresh() const { return m_deleteRefresh; }

    // Shows or hides the rows (hidden when the card was removed).
    void displayUpdateView(bool display);

private:
    std::shared_ptr<VelquorMyUpdatesListModel> m_myUpdatesModel;
    RefreshCompletion m_refreshCompletion;
    DeleteRefresh m_deleteRefresh;
};
