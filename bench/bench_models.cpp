// Times the configuration reader on generated files of 100 options per category:
//   (a) a bare QXmlStreamReader pass,
//   (b) readConfigurations with a logger whose sink discards every line,
//   (c) the same with the colour sink writing into a QTextEdit kept to 500 lines.
// Usage: QT_QPA_PLATFORM=offscreen build/bench/bench_models [options ...]   (default: 25000 50000 100000)
//
// With --burst N it instead logs N lines through the colour sink before the event loop runs, and prints how much
// the resident memory grew and how long logging and the one drain took.

#include "Logging/qtcolorsink.h"
#include "Widgets/Models/configurationtree.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QXmlStreamReader>

#include <spdlog/sinks/null_sink.h>
#include <spdlog/spdlog.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include <unistd.h>

namespace {

constexpr int OptionsPerCategory = 100;
constexpr int Repeats = 3;

void writeConfiguration(const QString &path, int options)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    static const char *types[] = {"int", "double", "dropdown", "check", "slider"};
    static const char *defaults[] = {"12", "1.5", "Fast", "true", "0.25"};
    QByteArray text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<slmconfigs>\n";
    for (int option = 0; option < options; ++option) {
        if (option % OptionsPerCategory == 0) {
            if (option > 0)
                text += "  </config>\n";
            text += "  <config category=\"Category " + QByteArray::number(option / OptionsPerCategory) + "\">\n";
        }
        const int type = option % 5;
        text += "    <option name=\"Option " + QByteArray::number(option) + "\" type=\"" + types[type] +
                "\" stepsize=\"" + QByteArray::number(option % 7) + "\" default=\"" + defaults[type] + "\"/>\n";
    }
    text += "  </config>\n</slmconfigs>\n";
    file.write(text);
}

// Best of a few runs, in milliseconds.
double timeBest(const std::function<void()> &run)
{
    double best = 1e300;
    for (int i = 0; i < Repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

long residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

int burst(int lines)
{
    QTextEdit edit;
    auto logger = spdlog::qt_color_logger_mt("bench_burst", &edit, 500, true);
    const long before = residentKiB();
    QElapsedTimer timer;
    timer.start();
    for (int i = 1; i <= lines; ++i)
        logger->info("burst line {}", i);
    const double logged = timer.nsecsElapsed() / 1e6;
    const long after = residentKiB();
    timer.restart();
    QCoreApplication::processEvents();
    const double drained = timer.nsecsElapsed() / 1e6;
    const QString last = edit.document()->lastBlock().text();
    if (edit.document()->blockCount() != std::min(lines, 500) || !last.endsWith(QString::number(lines)))
        qFatal("text edit holds %d lines, the last \"%s\"", edit.document()->blockCount(), qPrintable(last));
    std::printf("%d lines before the event loop: resident %+.1f MB (%.1f -> %.1f MB), logging %.0f ms, drain %.1f ms\n",
                lines, (after - before) / 1024.0, before / 1024.0, after / 1024.0, logged, drained);
    return 0;
}

size_t readWith(const QString &path, const std::shared_ptr<spdlog::logger> &logger)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    QXmlStreamReader xml(&file);
    return readConfigurations(xml, logger).size();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.value(0) == QLatin1String("--burst"))
        return burst(arguments.value(1, QStringLiteral("1000000")).toInt());
    QList<int> sizes;
    for (const QString &argument : arguments)
        sizes << argument.toInt();
    if (sizes.isEmpty())
        sizes = {25000, 50000, 100000};

    QTemporaryDir directory;
    std::printf("%9s %10s %10s %10s %8s %8s %8s %12s\n", "options", "a: xml ms", "b: null ms", "c: edit ms", "b/a",
                "c/a", "c/b", "c us/line");
    for (int options : sizes) {
        const QString path = directory.filePath(QStringLiteral("bench-%1.xml").arg(options));
        writeConfiguration(path, options);
        const int categories = (options + OptionsPerCategory - 1) / OptionsPerCategory;

        const double bare = timeBest([&path] {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                qFatal("cannot read %s", qPrintable(path));
            QXmlStreamReader xml(&file);
            while (!xml.atEnd())
                xml.readNext();
        });

        auto discard = std::make_shared<spdlog::logger>("discard", std::make_shared<spdlog::sinks::null_sink_mt>());
        const double nullSink = timeBest([&] {
            if (readWith(path, discard) != size_t(categories))
                qFatal("wrong category count");
        });

        QTextEdit edit;
        edit.resize(800, 300);
        edit.show();
        auto colour = spdlog::qt_color_logger_mt("bench_colour", &edit, 500, true);
        for (int i = 0; i < 500; ++i)
            colour->info("filler line {}", i);
        QCoreApplication::processEvents();
        // The sink writes on the GUI thread's event loop: the time includes that.
        const double editSink = timeBest([&] {
            if (readWith(path, colour) != size_t(categories))
                qFatal("wrong category count");
            QCoreApplication::processEvents();
        });
        if (edit.document()->blockCount() != 500)
            qFatal("text edit holds %d lines", edit.document()->blockCount());
        spdlog::drop("bench_colour");

        const int lines = options + categories;
        std::printf("%9d %10.1f %10.1f %10.1f %8.2f %8.2f %8.2f %12.2f\n", options, bare, nullSink, editSink,
                    nullSink / bare, editSink / bare, editSink / nullSink, editSink * 1000.0 / lines);
    }
    return 0;
}
