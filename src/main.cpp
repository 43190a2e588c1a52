#include "mainwindow.h"
#include "translation.h"

#include <QApplication>
#include <QLocale>
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
    return a.exec();
}
