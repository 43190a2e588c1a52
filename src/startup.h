#pragma once

#include <QString>
#include <QStringList>

/// Runs Velora in the application object that the caller has built: names the
/// organisation and the application, selects the "fusion" style, installs the
/// first translation found for `uiLanguages` under `translationDirectory`, shows
/// the main window maximized and runs the event loop. Returns the loop's exit code
/// once the window, the grab loops and the closed wizards are gone.
int runVelora(const QStringList &uiLanguages, const QString &translationDirectory = QStringLiteral(":/i18n/"));
