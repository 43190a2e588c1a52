#include "startup.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char *argv[])
{
    QApplication a(argc, argv);
    return runVelora(QLocale::system().uiLanguages());
}
