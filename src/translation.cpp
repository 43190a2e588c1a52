#include "translation.h"

#include <QLocale>
#include <QTranslator>

bool loadTranslation(QTranslator &translator, const QStringList &uiLanguages, const QString &directory)
{
    for (const QString &locale : uiLanguages) {
        const QString baseName = QStringLiteral("Velora_") + QLocale(locale).name();
        if (translator.load(directory + baseName))
            return true;
    }
    return false;
}
