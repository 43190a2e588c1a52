// Times the configuration reader on generated files of 100 options per category:
//   (a) a bare QXmlStreamReader pass,
//   (b) readConfigurations with a logger whose sink discards every line,
//   (c) the same with the colour sink writing into a QTextEdit kept to 500 lines.
// Usage: QT_QPA_PLATFORM=offscreen build/bench/bench_models [options ...]   (default: 25000 50000 100000)

#include "Logging/qtcolorsink.h"
#include "Widgets/Models/configurationtree.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QXmlStreamReader>

#include <spdlog/sinks/null_sink.h>
#include <spdlog/spdlog.h>

#include <algorithm>
#include <cstdio>
#include <functional>

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
    QList<int> sizes;
    for (const QString &argument : app.arguments().mid(1))
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
