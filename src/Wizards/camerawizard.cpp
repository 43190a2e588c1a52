#include "Wizards/camerawizard.h"

#include "Widgets/camerawidget.h"
#include "Wizards/cameraintropage.h"
#include "Workers/baslerworker.h"

#include <QFutureWatcher>
#include <QPixmap>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <DockManager.h>
#include <DockWidget.h>
#include <spdlog/spdlog.h>

#include <functional>

CameraWizard::CameraWizard(ads::CDockManager *dockManager, std::shared_ptr<spdlog::logger> logger, QWidget *parent)
    : QWizard(parent, Qt::WindowFlags())
    , m_dockManager(dockManager)
    , m_logger(std::move(logger))
{
    addPage(new CameraIntroPage(m_logger));
    setWizardStyle(QWizard::ModernStyle);
    setPixmap(QWizard::BackgroundPixmap, QPixmap(QStringLiteral(":/images/atom.png")));
    setWindowTitle(tr("Open Camera Connection"));
}

CameraWizard::~CameraWizard() = default;

void CameraWizard::accept()
{
    m_logger->info("Camera has been added");

    auto *view = new CameraWidget(m_logger);
    auto *dock = new ads::CDockWidget(QStringLiteral("Camera Id"));
    dock->setWidget(view);
    m_dockManager->addDockWidgetTab(ads::CenterDockWidgetArea, dock);

    auto *w = new BaslerWorker(m_logger);
    connect(w, &BaslerWorker::imageAcquired, view, &CameraWidget::imageAcquired);
    // The loop runs until stop(), which the worker receives when the application
    // quits, or until the camera fails. The worker goes once the task has returned
    // for good; its own finished() comes while the loop still runs on it.
    auto *loop = new QFutureWatcher<void>(w);
    connect(loop, &QFutureWatcher<void>::finished, w, &QObject::deleteLater);
    loop->setFuture(QtConcurrent::run(QThreadPool::globalInstance(), std::bind(&BaslerWorker::acquireImages, w)));

    QDialog::accept();
}
