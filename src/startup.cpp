#include "startup.h"

#include "mainwindow.h"
#include "translation.h"

#include <QApplication>
#include <QThreadPool>
#include <QTranslator>
#include <QWizard>

namespace {

// Runs after the event loop, while the window still stands.
void endTheRun()
{
    // The camera grab loops were told to stop when the application quit; they
    // end before the window and its camera views go. Their endings, and the
    // workers' deletion, are still queued: deliver them now.
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Closed wizards stay, hidden, for the whole run; the run is over.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->parent() && qobject_cast<QWizard *>(window))
            delete window;
    }
}

} // namespace

int runVelora(const QStringList &uiLanguages, const QString &translationDirectory)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Morvel"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("morvel.example"));
    QCoreApplication::setApplicationName(QStringLiteral("Velora"));
    QApplication::setStyle(QStringLiteral("fusion"));

    QTranslator translator;
    if (loadTranslation(translator, uiLanguages, translationDirectory))
        QCoreApplication::installTranslator(&translator);

    MainWindow w;
    w.showMaximized();
    const int exitCode = QApplication::exec();
    endTheRun();
    return exitCode;
}
