#pragma once

#include <QWizardPage>

#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
namespace spdlog {
class logger;
}

/// The camera wizard's page: lists the devices attached when it is built, by
/// full name. A failing enumeration is logged through `logger` and leaves the list empty.
class CameraIntroPage : public QWizardPage
{
    Q_OBJECT

public:
    explicit CameraIntroPage(const std::shared_ptr<spdlog::logger> &logger, QWidget *parent = nullptr);
    ~CameraIntroPage() override;

private:
    QLabel *m_introLabel;
    QLineEdit *m_cameraNameEdit;
    QListWidget *m_cameraList;
    QPushButton *m_refreshButton;
};
