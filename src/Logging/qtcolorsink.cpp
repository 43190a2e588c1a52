#include "Logging/qtcolorsink.h"

#include <QBrush>
#include <QCoreApplication>
#include <QLocale>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <utility>

namespace {

QTextCharFormat foreground(Qt::GlobalColor color, bool bold = false)
{
    QTextCharFormat format;
    format.setForeground(QBrush(color));
    if (bold)
        format.setFontWeight(QFont::Bold);
    return format;
}

bool startsUtf8Character(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// Where a line of `size` bytes is cut to `maxCharacters` characters, and how many
// characters that leaves out. Cutting UTF-8 before the first byte of a character
// never splits one.
struct Cut
{
    size_t bytes;
    size_t leftOut = 0;
};

Cut cutLine(const char *data, size_t size, size_t maxCharacters, bool isUtf8)
{
    if (size <= maxCharacters)
        return {size};
    if (!isUtf8)
        return {maxCharacters, size - maxCharacters};
    size_t characters = 0;
    size_t at = 0;
    for (; at < size; ++at) {
        if (startsUtf8Character(data[at]) && ++characters > maxCharacters)
            break;
    }
    Cut cut{at};
    for (; at < size; ++at)
        cut.leftOut += startsUtf8Character(data[at]);
    return cut;
}

QString leftOutMark(size_t characters)
{
    QLocale grouped = QLocale::c();
    grouped.setNumberOptions(QLocale::DefaultNumberOptions);
    return QStringLiteral(u" \u2026 [%1 %2 left out]")
        .arg(grouped.toString(qulonglong(characters)),
             characters == 1 ? QStringLiteral("character") : QStringLiteral("characters"));
}

} // namespace

QtColorSink::QtColorSink(QTextEdit *textEdit, int maxLines, bool darkColors, bool isUtf8)
    : m_isUtf8(isUtf8)
    , m_outbox(std::make_shared<Outbox>())
{
    m_outbox->textEdit = textEdit;
    m_outbox->maxLines = maxLines > 0 ? size_t(maxLines) : 0;
    if (textEdit) {
        m_outbox->defaultFormat = textEdit->currentCharFormat();
        // The document drops its oldest blocks itself, one at a time from the top.
        textEdit->document()->setMaximumBlockCount(maxLines > 0 ? maxLines : 0);
    }

    using namespace spdlog::level;
    if (darkColors) {
        m_levelFormats[trace] = foreground(Qt::darkGray);
        m_levelFormats[debug] = foreground(Qt::darkCyan);
        m_levelFormats[info] = foreground(Qt::darkGreen);
        m_levelFormats[warn] = foreground(Qt::darkYellow);
        m_levelFormats[err] = foreground(Qt::darkRed);
    } else {
        m_levelFormats[trace] = foreground(Qt::gray);
        m_levelFormats[debug] = foreground(Qt::cyan);
        m_levelFormats[info] = foreground(Qt::green);
        m_levelFormats[warn] = foreground(Qt::yellow);
        m_levelFormats[err] = foreground(Qt::red);
    }
    m_levelFormats[critical] = foreground(Qt::white, true);
    m_levelFormats[critical].setBackground(QBrush(darkColors ? Qt::darkRed : Qt::red));
    m_levelFormats[off] = m_outbox->defaultFormat;
}

QtColorSink::~QtColorSink() = default;

void QtColorSink::sink_it_(const spdlog::details::log_msg &msg)
{
    spdlog::memory_buf_t formatted;
    formatter_->format(msg, formatted);

    // One line per block: the line break comes from the document, not the text.
    size_t size = formatted.size();
    while (size > 0 && (formatted[size - 1] == '\n' || formatted[size - 1] == '\r'))
        --size;
    const char *data = formatted.data();
    // Cut before decoding, so that an overlong line costs neither the memory nor
    // the time of the whole of it.
    const Cut cut = cutLine(data, size, MaxLineCharacters, m_isUtf8);
    size = cut.bytes;
    const size_t colorStart = std::min(msg.color_range_start, size);
    const size_t colorEnd = std::min(msg.color_range_end, size);

    Line line;
    line.colorFormat = m_levelFormats.at(static_cast<size_t>(msg.level));
    if (m_isUtf8) {
        line.text = QString::fromUtf8(data, qsizetype(size));
        // The colour range counts bytes; the document counts UTF-16 units.
        line.colorStart = int(QString::fromUtf8(data, qsizetype(colorStart)).size());
        line.colorEnd = int(QString::fromUtf8(data, qsizetype(colorEnd)).size());
    } else {
        line.text = QString::fromLatin1(data, qsizetype(size));
        line.colorStart = int(colorStart);
        line.colorEnd = int(colorEnd);
    }
    if (cut.leftOut > 0)
        line.text += leftOutMark(cut.leftOut);

    // Lines are written by the GUI thread's event loop, in batches: whatever
    // thread logs, the order is the order of logging, and a burst of lines costs
    // one layout of the text edit rather than one per line. The application
    // object lives on the GUI thread, as the text edit does. Without one nothing
    // is posted, and a later line posts the drain that takes this one too.
    QCoreApplication *app = QCoreApplication::instance();
    bool postDrain = false;
    {
        std::lock_guard<std::mutex> lock(m_outbox->mutex);
        std::deque<Line> &lines = m_outbox->lines;
        // A line the text edit would drop goes at once, so a burst logged before
        // the event loop runs holds no more than the text edit keeps.
        if (m_outbox->maxLines > 0 && lines.size() >= m_outbox->maxLines)
            lines.pop_front();
        lines.push_back(std::move(line));
        postDrain = app && !std::exchange(m_outbox->drainPosted, true);
    }
    if (postDrain)
        QMetaObject::invokeMethod(
            app, [outbox = m_outbox] { outbox->drain(); }, Qt::QueuedConnection);
}

void QtColorSink::Outbox::drain()
{
    std::deque<Line> pending;
    {
        std::lock_guard<std::mutex> lock(mutex);
        pending.swap(lines);
        drainPosted = false;
    }
    if (!textEdit)
        return;
    QTextDocument *document = textEdit->document();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const Line &line : pending) {
        if (!document->isEmpty())
            cursor.insertBlock();
        const int start = std::clamp(line.colorStart, 0, int(line.text.size()));
        const int end = std::clamp(line.colorEnd, start, int(line.text.size()));
        cursor.insertText(line.text.left(start), defaultFormat);
        cursor.insertText(line.text.mid(start, end - start), line.colorFormat);
        cursor.insertText(line.text.mid(end), defaultFormat);
    }
    cursor.endEditBlock();
}
