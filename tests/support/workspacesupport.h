#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QTextEdit;
class QWidget;

namespace ads {
class CDockManager;
class CDockWidget;
} // namespace ads

// Reading the workspace the way an operator sees it: docks by title, the log
// panel's lines and their messages.
namespace WorkspaceSupport {

/// The dock titled `title` among `window`'s children, or null.
ads::CDockWidget *dockTitled(const QWidget *window, const QString &title);
/// Every camera dock ("Camera Id") in the manager's dock areas. Neither
/// dockWidgetsMap(), keyed by the object name that every camera dock shares, nor
/// findChildren() will do: a dock area takes its hidden tabs out of the widget tree.
QList<ads::CDockWidget *> cameraDocks(const ads::CDockManager *manager);
/// Ends every camera grab loop by taking the emulated devices away, waits for
/// the loops, then lets the GUI thread delete their workers.
void endCameraLoops();
/// The text edit of the "MVL Logger" dock, or null.
QTextEdit *logPanel(const QWidget *window);

/// "[2026-12-07 10:00:00.123] [mvl_logger] [info] Logger Setup Complete." -> "Logger Setup Complete."
QString messageOf(const QString &line);
/// The same line -> "info".
QString levelOf(const QString &line);
/// The panel's lines as they stand, without letting the event loop run.
QStringList writtenLines(const QTextEdit *panel);
/// The panel's lines once the event loop has written what was logged (the sink writes there).
QStringList logLines(const QTextEdit *panel);
/// The messages of logLines().
QStringList logMessages(const QTextEdit *panel);
/// logLines() as "level: message", e.g. "warning: Camera probe failed: ...".
QStringList logEntries(const QTextEdit *panel);

} // namespace WorkspaceSupport
