#include "mainwindow.h"
#include "translation.h"

#include <QApplication>
#include <QLocale>
#include <QThreadPool>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication a(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Morvel"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("morvel.example"));
    QCoreApplication::setApplicationName(QStringLiteral("Velora"));
    QApplication::setStyle(QStringLiteral("fusion"));

    QTranslator translator;
    const QStringList uiLanguages = QLocale::system().uiLanguages();
    if (loadTranslation(translator, uiLanguages))
        QCoreApplication::installTranslator(&translator);

    MainWindow w;
    w.showMaximized();
    const int exitCode = a.exec();
    // The camera grab loops were told to stop when the application quit; they
    // end before the window and its camera views go.
    QThreadPool::globalInstance()->waitForDone();
    return exitCode;
}
