#include "Wizards/cameraintropage.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <pylon/PylonIncludes.h>
#include <spdlog/spdlog.h>

CameraIntroPage::CameraIntroPage(const std::shared_ptr<spdlog::logger> &logger, QWidget *parent)
    : QWizardPage(parent)
{
    setTitle(tr("Adding Camera"));

    m_introLabel = new QLabel(tr("This wizard will help you find, connect, and rename cameras connected to your "
                                 "system. Select your camera below, and create a new connection to view your "
                                 "results."));
    m_introLabel->setWordWrap(true);

    m_cameraNameEdit = new QLineEdit();
    m_cameraNameEdit->setText(QStringLiteral("Camera 1"));

    m_cameraList = new QListWidget();
    try {
        Pylon::PylonAutoInitTerm autoInitTerm;
        Pylon::CTlFactory &factory = Pylon::CTlFactory::GetInstance();
        Pylon::DeviceInfoList lstDevices;
        factory.EnumerateDevices(lstDevices, false);
        for (const Pylon::CDeviceInfo &device : lstDevices)
            new QListWidgetItem(QString::fromUtf8(device.GetFullName().c_str()), m_cameraList);
    } catch (const Pylon::GenericException &e) {
        logger->warn("Camera enumeration failed: {}", e.GetDescription());
    }

    m_refreshButton = new QPushButton();
    m_refreshButton->setText(QStringLiteral("Refresh"));

    auto *layout = new QVBoxLayout();
    layout->addWidget(m_introLabel);
    layout->addWidget(m_cameraNameEdit);
    layout->addWidget(m_cameraList);
    layout->addWidget(m_refreshButton);
    setLayout(layout);
}

CameraIntroPage::~CameraIntroPage() = default;
