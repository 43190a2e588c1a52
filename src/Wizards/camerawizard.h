#pragma once

#include <QWizard>

#include <memory>

namespace ads {
class CDockManager;
}
namespace spdlog {
class logger;
}

/// Adds a live camera view to the workspace: on Finish, a "Camera Id" tab in the
/// centre area fed by a grab loop on the global thread pool.
class CameraWizard : public QWizard
{
    Q_OBJECT

public:
    CameraWizard(ads::CDockManager *dockManager, std::shared_ptr<spdlog::logger> logger, QWidget *parent = nullptr);
    ~CameraWizard() override;

    void accept() override;

private:
    ads::CDockManager *m_dockManager;
    std::shared_ptr<spdlog::logger> m_logger;
};
