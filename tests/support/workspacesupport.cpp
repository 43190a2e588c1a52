#include "workspacesupport.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <DockWidget.h>

namespace WorkspaceSupport {

ads::CDockWidget *dockTitled(const QWidget *window, const QString &title)
{
    for (auto *dock : window->findChildren<ads::CDockWidget *>()) {
        if (dock->windowTitle() == title)
            return dock;
    }
    return nullptr;
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
