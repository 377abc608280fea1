#include "LineReader.h"

#include <algorithm>
#include <utility>

namespace tb {

LineReader::LineReader(int keep, qsizetype lineLimit) noexcept
    : m_keep(keep)
    , m_lineLimit(lineLimit)
{
}

void LineReader::take(QByteArrayView piece)
{
    const char* const end = piece.data() + piece.size();
    const char* at = piece.data();
    while (at != end) {
        if (std::exchange(m_afterCr, false) && *at == '\n') {
            ++at;
            continue;
        }
        const char* const lineEnd =
            std::find_if(at, end, [](char c) { return c == '\r' || c == '\n'; });
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
