#include "mainwindow.h"

#include "Logging/qtcolorsink.h"
#include "cameraprobe.h"
#include "ui_mainwindow.h"

#include <QIcon>
#include <QLabel>
#include <QTextEdit>

#include <DockManager.h>
#include <DockWidget.h>
#include <spdlog/spdlog.h>

namespace {
constexpr int LogPanelMaxLines = 500;
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui_MainWindow)
{
    ui->setupUi(this);

    setWindowIcon(QIcon(QStringLiteral(":/icons/logo.icns")));
    setWindowTitle(QStringLiteral("Velora - untitled project[*]"));

    // The manager reads these process-wide flags when it is created.
    ads::CDockManager::setConfigFlag(ads::CDockManager::OpaqueSplitterResize, true);
    ads::CDockManager::setConfigFlag(ads::CDockManager::XmlCompressionEnabled, false);
    ads::CDockManager::setConfigFlag(ads::CDockManager::FocusHighlighting, true);
    m_dockManager = new ads::CDockManager(this);

    // The welcome dock must be the first dock the manager receives: it refuses a
    // central widget once any other dock exists.
    auto *welcomeLabel = new QLabel();
    welcomeLabel->setText(QStringLiteral("Velora Workspace - Connect Devices to Start"));
    welcomeLabel->setAlignment(Qt::AlignCenter);
    auto *centralDock = new ads::CDockWidget(QStringLiteral("Velora"));
    centralDock->setWidget(welcomeLabel);
    centralDock->setFeature(ads::CDockWidget::NoTab, true);
    m_dockManager->setCentralWidget(centralDock);

    auto *logPanel = new QTextEdit(this);
    // Every message is UTF-8 (QString::toStdString, device names).
    m_logger = spdlog::qt_color_logger_mt("mvl_logger", logPanel, LogPanelMaxLines, true);
    m_logger->info("Logger Setup Complete.");
    auto *logDock = new ads::CDockWidget(QStringLiteral("MVL Logger"));
    logDock->setWidget(logPanel);
    m_dockManager->addDockWidget(ads::BottomDockWidgetArea, logDock);

    ui->menuDebug->addAction(logDock->toggleViewAction());

    probeFirstCamera(*m_logger);
}

MainWindow::~MainWindow()
{
    delete ui;
}
