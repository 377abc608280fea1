#include "LineReader.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tb {

LineReader::LineReader(int keep, qsizetype lineLimit) noexcept
    : m_keep(keep)
    , m_lineLimit(lineLimit)
{
}

void LineReader::take(QByteArrayView piece)
{
    if (piece.isEmpty())
        return;
    const char* const end = piece.data() + piece.size();
    const auto next = [end](const char* from, char c) {
        const void* found = std::memchr(from, c, std::size_t(end - from));
        return found != nullptr ? static_cast<const char*>(found) : end;
    };
    // The next CR and the next LF, each looked for again only once passed,
    // so that a piece is scanned about twice, however many lines it holds.
    const char* at = piece.data();
    const char* cr = next(at, '\r');
    const char* lf = next(at, '\n');
    while (at != end) {
        if (std::exchange(m_afterCr, false) && *at == '\n') {
            ++at;
            continue;
        }
        if (cr < at)
            cr = next(at, '\r');
        if (lf < at)
            lf = next(at, '\n');
        const char* const lineEnd = std::min(cr, lf);
        addToLine(QByteArrayView(at, lineEnd - at));
        if (lineEnd == end)
            break;
        endLine();
        m_afterCr = *lineEnd == '\r';
        at = lineEnd + 1;
    }
}

void LineReader::finish()
{
    if (m_currentLength > 0)
        endLine();
    m_afterCr = false;
}

void LineReader::addToLine(QByteArrayView part)
{
    if (part.isEmpty())
        return;
    if (!m_nul && part.contains('\0'))
        m_nul = true;
    if (!keptAll() && m_currentLength < m_lineLimit)
        m_current.append(part.first(qMin(part.size(), m_lineLimit - m_currentLength)));
    m_currentLength += part.size();
    if (m_currentLength > m_lineLimit && m_firstLong == 0)
        m_firstLong = m_count + 1;
}

void LineReader::endLine()
{
    if (!keptAll())
        m_lines.append(std::exchange(m_current, QByteArray()));
    m_currentLength = 0;
    ++m_count;
}

} // namespace tb
