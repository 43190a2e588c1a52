#pragma once

#include <QPointer>
#include <QTextCharFormat>

#include <spdlog/details/synchronous_factory.h>
#include <spdlog/sinks/base_sink.h>

#include <array>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

class QTextEdit;

/// spdlog sink that appends each formatted line to a QTextEdit, drawing the
/// level text in the level's colour. It may be called from any thread: lines are
/// queued and written by the GUI thread's event loop, in the order they were
/// logged. The text edit keeps only the last `maxLines` lines (0: no limit), and
/// no more than these wait for the event loop. Once the text edit is destroyed
/// the sink drops what it is given.
///
/// A line longer than MaxLineCharacters is cut there and ends in a mark telling
/// how many characters were left out. Characters are Unicode code points when
/// the sink is given UTF-8, bytes when it is given Latin-1.
class QtColorSink final : public spdlog::sinks::base_sink<std::mutex>
{
public:
    /// The text edit wraps a line without spaces in time that grows with the
    /// square of its length: at this length a panel of 500 such lines still
    /// takes a new width in a fraction of a second.
    static constexpr size_t MaxLineCharacters = 2000;

    QtColorSink(QTextEdit *textEdit, int maxLines, bool darkColors = false, bool isUtf8 = false);
    ~QtColorSink() override;

protected:
    void sink_it_(const spdlog::details::log_msg &msg) override;
    void flush_() override {}

private:
    struct Line
    {
        QString text;
        int colorStart = 0;
        int colorEnd = 0;
        QTextCharFormat colorFormat;
    };

    // Shared with the queued drain calls, which may still be pending when the
    // sink goes away.
    struct Outbox
    {
        std::mutex mutex;
        std::deque<Line> lines;
        size_t maxLines = 0;
        bool drainPosted = false;
        QPointer<QTextEdit> textEdit;
        QTextCharFormat defaultFormat;

        void drain();
    };

    bool m_isUtf8;
    std::array<QTextCharFormat, spdlog::level::n_levels> m_levelFormats;
    std::shared_ptr<Outbox> m_outbox;
};

namespace spdlog {

/// Builds a QtColorSink over `textEdit` and registers a logger named `name` on it.
template <typename Factory = spdlog::synchronous_factory>
std::shared_ptr<logger> qt_color_logger_mt(const std::string &name, QTextEdit *textEdit, int max_lines,
                                           bool is_utf8 = false, bool dark_colors = false)
{
    return Factory::template create<QtColorSink>(name, textEdit, max_lines, dark_colors, is_utf8);
}

} // namespace spdlog
