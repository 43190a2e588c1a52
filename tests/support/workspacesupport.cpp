#include "workspacesupport.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QThreadPool>

#include <DockAreaWidget.h>
#include <DockManager.h>
#include <DockWidget.h>
#include <pylon/EmulationControl.h>

namespace WorkspaceSupport {

ads::CDockWidget *dockTitled(const QWidget *window, const QString &title)
{
    for (auto *dock : window->findChildren<ads::CDockWidget *>()) {
        if (dock->windowTitle() == title)
            return dock;
    }
    return nullptr;
}

QList<ads::CDockWidget *> cameraDocks(const ads::CDockManager *manager)
{
    QList<ads::CDockWidget *> docks;
    for (int i = 0; i < manager->dockAreaCount(); ++i) {
        for (auto *dock : manager->dockArea(i)->dockWidgets()) {
            if (dock->windowTitle() == QLatin1String("Camera Id"))
                docks << dock;
        }
    }
    return docks;
}

void endCameraLoops()
{
    Pylon::Emulation::setDevices({});
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTextEdit *logPanel(const QWidget *window)
{
    ads::CDockWidget *dock = dockTitled(window, QStringLiteral("MVL Logger"));
    return dock ? qobject_cast<QTextEdit *>(dock->widget()) : nullptr;
}

namespace {
const QRegularExpression &linePattern()
{
    static const QRegularExpression pattern(QStringLiteral("^\\[[^\\]]*\\] \\[[^\\]]*\\] \\[([a-z]+)\\] (.*)$"));
    return pattern;
}
} // namespace

QString messageOf(const QString &line)
{
    return linePattern().match(line).captured(2);
}

QString levelOf(const QString &line)
{
    return linePattern().match(line).captured(1);
}

QStringList writtenLines(const QTextEdit *panel)
{
    QStringList lines;
    for (QTextBlock block = panel->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

QStringList logLines(const QTextEdit *panel)
{
    QCoreApplication::processEvents();
    return writtenLines(panel);
}

QStringList logMessages(const QTextEdit *panel)
{
    QStringList messages;
    for (const QString &line : logLines(panel))
        messages << messageOf(line);
    return messages;
}

QStringList logEntries(const QTextEdit *panel)
{
    QStringList entries;
    for (const QString &line : logLines(panel))
        entries << levelOf(line) + QStringLiteral(": ") + messageOf(line);
    return entries;
}

} // namespace WorkspaceSupport
