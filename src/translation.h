#pragma once

#include <QString>
#include <QStringList>

class QTranslator;

/// Tries the user's interface languages in order and loads into `translator` the
/// first translation found under `directory` as "Velora_" + locale name (with the
/// toolkit's suffix and cut-back rules). Returns whether one was loaded.
bool loadTranslation(QTranslator &translator, const QStringList &uiLanguages,
                     const QString &directory = QStringLiteral(":/i18n/"));
