// Times the configuration reader on generated files of 100 options per category:
//   (a) a bare QXmlStreamReader pass,
//   (b) readConfigurations with a logger whose sink discards every line,
//   (c) the same with the colour sink writing into a QTextEdit kept to 500 lines.
// Usage: QT_QPA_PLATFORM=offscreen build/bench/bench_models [options ...]   (default: 25000 50000 100000)
//
// With --burst N it instead logs N lines through the colour sink before the event loop runs, and prints how much
// the resident memory grew and how long logging and the one drain took.
//
// With --long-name BYTES it reads a file whose one category name is BYTES letters without a space through the colour
// sink into a shown text edit, and prints how long the read, the drain and the layout took, how long a resize then
// took, and the peak resident memory. With --full-panel CHARS it logs 500 lines of CHARS letters without a space, and
// prints how long they took to be written and laid out, and then a resize.

#include "Logging/qtcolorsink.h"
#include "Widgets/Models/configurationtree.h"

#include <QAbstractTextDocumentLayout>
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

// The peak resident memory of the process (VmHWM), in MB.
double peakResidentMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return -1;
}

// The text edit lays its document out lazily, as far as it is seen, and paints later: this runs the event loop
// (where the sink writes), then lays out the whole document and paints what is shown.
void layOut(QTextEdit &edit)
{
    QCoreApplication::processEvents();
    edit.document()->documentLayout()->documentSize();
    edit.viewport()->repaint();
}

// A text edit of a log dock's size in a maximized window, shown, logged to by the colour sink as the window does.
struct ShownPanel
{
    QTextEdit edit;
    std::shared_ptr<spdlog::logger> logger;

    explicit ShownPanel(const std::string &name)
    {
        edit.resize(1200, 250);
        edit.show();
        logger = spdlog::qt_color_logger_mt(name, &edit, 500, true);
        layOut(edit);
    }

    // Milliseconds for the panel to take a new width and show it.
    double timeResize()
    {
        QElapsedTimer timer;
        timer.start();
        edit.resize(800, 300);
        layOut(edit);
        return timer.nsecsElapsed() / 1e6;
    }

    int longestLine() const
    {
        int longest = 0;
        for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next())
            longest = std::max(longest, block.length() - 1);
        return longest;
    }
};

int longName(qint64 bytes)
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("long-name.xml"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<slmconfigs>\n  <config category=\"");
        const QByteArray letters(1 << 16, 'x');
        for (qint64 left = bytes; left > 0; left -= letters.size())
            file.write(letters.constData(), std::min<qint64>(left, letters.size()));
        file.write("\">\n    <option name=\"Gain\" type=\"int\" stepsize=\"1\" default=\"12\"/>\n  </config>\n"
                   "</slmconfigs>\n");
    }
    ShownPanel panel("bench_long_name");
    QElapsedTimer timer;
    timer.start();
    if (readWith(path, panel.logger) != 1)
        qFatal("wrong category count");
    layOut(panel.edit);
    const double read = timer.nsecsElapsed() / 1e6;
    const double resize = panel.timeResize();
    std::printf("name of %lld bytes: read, drain and layout %.0f ms, resize %.0f ms, longest line shown %d "
                "characters, peak resident %.0f MB\n",
                bytes, read, resize, panel.longestLine(), peakResidentMB());
    return 0;
}

int fullPanel(int characters)
{
    ShownPanel panel("bench_full_panel");
    const std::string letters(size_t(characters), 'y');
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 500; ++i)
        panel.logger->info(letters);
    layOut(panel.edit);
    const double fill = timer.nsecsElapsed() / 1e6;
    const double resize = panel.timeResize();
    std::printf("500 lines of %d letters: logging, drain and layout %.0f ms, resize %.0f ms, longest line shown %d "
                "characters\n",
                characters, fill, resize, panel.longestLine());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.value(0) == QLatin1String("--burst"))
        return burst(arguments.value(1, QStringLiteral("1000000")).toInt());
    if (arguments.value(0) == QLatin1String("--long-name"))
        return longName(arguments.value(1, QStringLiteral("1000000")).toLongLong());
    if (arguments.value(0) == QLatin1String("--full-panel"))
        return fullPanel(arguments.value(1, QStringLiteral("2000")).toInt());
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
