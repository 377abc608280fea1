#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace tb {

// The lines of a file given a piece at a time, as the settings file and a
// design are read: CR LF ends a line, and so does a bare LF or a bare CR (a
// file edited elsewhere), so that no line ever holds a line break. The first
// keep lines are kept, each cut on its own at lineLimit bytes: the rest of a
// long line is passed over, and the next line is still the next one. Every
// line is counted, kept or not.
class LineReader {
public:
    LineReader(int keep, qsizetype lineLimit) noexcept;

    void take(QByteArrayView piece);
    // The end of the file: a last line without its line end counts too.
    void finish();

    [[nodiscard]] const QList<QByteArray>& lines() const noexcept { return m_lines; }
    // Whether the lines to keep are all complete: no more is needed of them.
    [[nodiscard]] bool keptAll() const noexcept { return m_lines.size() >= m_keep; }
    [[nodiscard]] qint64 lineCount() const noexcept { return m_count; }
    // The number (from 1) of the first line longer than lineLimit, or 0.
    [[nodiscard]] qint64 firstLongLine() const noexcept { return m_firstLong; }
    [[nodiscard]] bool hasNul() const noexcept { return m_nul; }

private:
    void addToLine(QByteArrayView part);
    void endLine();

    int m_keep;
    qsizetype m_lineLimit;
    QList<QByteArray> m_lines;
    QByteArray m_current;          // the kept part of the line being read
    qsizetype m_currentLength = 0; // all of it, kept or not
    bool m_afterCr = false;        // an LF now ends nothing: it belongs to that CR
    qint64 m_count = 0;
    qint64 m_firstLong = 0;
    bool m_nul = false;
};

} // namespace tb
