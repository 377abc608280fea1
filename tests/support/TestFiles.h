#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

namespace tb::test {

// True only when every byte reached the file.
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

// A settings file's bytes: the lines, each ended by CR LF but the last by
// lastEnd.
inline QByteArray lines(const QList<QByteArray>& fields, const QByteArray& lastEnd = "\r\n")
{
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i)
        out += fields[i] + (i + 1 < fields.size() ? QByteArray("\r\n") : lastEnd);
    return out;
}

// Sixteen lines, prefix0 to prefix15.
inline QList<QByteArray> sixteen(const QByteArray& prefix)
{
    QList<QByteArray> fields;
    for (int i = 0; i < 16; ++i)
        fields << prefix + QByteArray::number(i);
    return fields;
}

} // namespace tb::test
