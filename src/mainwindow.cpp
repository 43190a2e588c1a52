#include "mainwindow.h"

#include "Logging/qtcolorsink.h"
#include "Widgets/Models/configurationtree.h"
#include "Wizards/camerawizard.h"
#include "Wizards/graphwizard.h"
#include "cameraprobe.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QTextEdit>
#include <QTreeView>
#include <QXmlStreamReader>

#include <DockManager.h>
#include <DockWidget.h>
#include <spdlog/spdlog.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int LogPanelMaxLines = 500;

// Opens `file` for reading only if it is a regular file (a link to one will do).
// Opening a named pipe waits for a writer and a device may never end, either of
// which would freeze the window: they count as files that cannot be opened. The
// descriptor is opened without blocking and checked again, in case the path was
// replaced after the first look.
bool openRegularFile(QFile &file)
{
    if (!QFileInfo(file.fileName()).isFile())
        return false;
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status = {};
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (!regular || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

} // namespace

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

    // Application-wide, so saving works from a wizard or a floating dock too.
    ui->actionSave->setShortcut(QKeySequence(QKeySequence::Save));
    ui->actionSave->setShortcutContext(Qt::ApplicationShortcut);
    connect(ui->actionSave, &QAction::triggered, this, &MainWindow::saveProject);
    ui->actionSaveAs->setShortcut(QKeySequence(QKeySequence::SaveAs));
    ui->actionSaveAs->setShortcutContext(Qt::ApplicationShortcut);
    connect(ui->actionSaveAs, &QAction::triggered, this, &MainWindow::saveProjectAs);
    connect(ui->actionOpen, &QAction::triggered, this, &MainWindow::openProject);
    connect(ui->actionAddNewCamera, &QAction::triggered, this, &MainWindow::addNewCamera);
    connect(ui->actionAddNewGraph, &QAction::triggered, this, &MainWindow::addNewGraph);

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

    auto *propertyView = new QTreeView(this);
    propertyView->setModel(&m_propertyModel);
    propertyView->expandAll();
    auto *propertyDock = new ads::CDockWidget(QStringLiteral("Property Table"));
    propertyDock->setWidget(propertyView);
    propertyDock->setMinimumSizeHintMode(ads::CDockWidget::MinimumSizeHintFromDockWidget);
    propertyDock->resize(200, 100);
    m_dockManager->addDockWidget(ads::LeftDockWidgetArea, propertyDock);

    ui->menuView->addAction(propertyDock->toggleViewAction());
    ui->menuDebug->addAction(logDock->toggleViewAction());

    probeFirstCamera(*m_logger);
}

MainWindow::~MainWindow()
{
    delete ui;
}

// A floating dock window answers a close by hiding itself and refusing the close,
// and the toolkit's quit gives up at the first window that refuses: with two of
// them up the process would run on after this window. They go with it.
void MainWindow::closeEvent(QCloseEvent *event)
{
    m_dockManager->hideManagerAndFloatingWidgets();
    QMainWindow::closeEvent(event);
}

// There is no project file yet: opening reads a configuration file into a
// configuration tree, whose only lasting effect is its log lines, and the save
// commands only clear the modified mark.
bool MainWindow::openProject()
{
    m_logger->info("Opening projects...");
    const QString fileName = QFileDialog::getOpenFileName(this, QStringLiteral("Open"), QString(), QString());
    QFile mfile(fileName);
    if (openRegularFile(mfile)) {
        QXmlStreamReader xml;
        xml.setDevice(&mfile);
        {
            ConfigurationTree confTree(&xml, m_logger);
        }
    }
    setWindowModified(false);
    return true;
}

bool MainWindow::saveProject()
{
    m_logger->info("Saving project...");
    setWindowModified(false);
    return true;
}

bool MainWindow::saveProjectAs()
{
    m_logger->info("Saving project as...");
    setWindowModified(false);
    return true;
}

// Wizards are independent top-level windows; closing one only hides it.
void MainWindow::addNewCamera()
{
    m_logger->info("Adding New Camera View.");
    // Its page lists the attached cameras while it is built.
    auto *wizard = new CameraWizard(m_dockManager, m_logger, nullptr);
    wizard->show();
    setWindowModified(true);
}

void MainWindow::addNewGraph()
{
    m_logger->info("Adding New Graph View.");
    auto *wizard = new GraphWizard(nullptr);
    wizard->show();
    setWindowModified(true);
}
