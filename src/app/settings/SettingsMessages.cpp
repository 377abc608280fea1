#include "SettingsMessages.h"

#include <QDir>

#include <cerrno>
#include <cstring>

namespace tb {

namespace {

[[nodiscard]] QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// The system's words for a cause that has none of its own here.
[[nodiscard]] QString systemReason(int error, const QString& systemWords)
{
    return systemWords.isEmpty() ? QString::fromLocal8Bit(std::strerror(error)) : systemWords;
}

// What stands at a path instead of a file, as the message names it.
[[nodiscard]] QString specialName(SpecialFile special)
{
    switch (special) {
    case SpecialFile::NamedPipe:
        return QStringLiteral("a named pipe");
    case SpecialFile::Device:
        return QStringLiteral("a device");
    case SpecialFile::Socket:
        return QStringLiteral("a socket");
    case SpecialFile::None:
        break;
    }
    return {};
}

// The path itself, not what a link there leads to: moving a link moves only
// the link.
[[nodiscard]] QString notAFile(SpecialFile special, const QString& file)
{
    return QStringLiteral("%1 is %2, not a file.").arg(native(file), specialName(special));
}

// One sentence on the cause, one on what to do about it.
[[nodiscard]] QString causeAndRemedy(const AtomicWriteResult& failure, const QString& file)
{
    if (failure.special != SpecialFile::None)
        return notAFile(failure.special, file) +
               QStringLiteral(" Saving over it would destroy it. Move or rename %1.")
                   .arg(native(file));
    const QString& folder = failure.folder;
    switch (failure.error) {
    case ENOSPC:
        return QStringLiteral("The disk that holds %1 is full. Free some space on it.")
            .arg(native(folder));
#ifdef EDQUOT // not in MinGW's errno.h
    case EDQUOT:
        return QStringLiteral("Your disk quota for %1 is used up. Delete some files you no "
                              "longer need.")
            .arg(native(folder));
#endif
    case EACCES:
    case EPERM:
        return QStringLiteral("You may not write to the folder %1. Give yourself write "
                              "permission to it, or ask the administrator to.")
            .arg(native(folder));
    case EROFS:
        return QStringLiteral("The folder %1 is on a read-only file system. Make that file "
                              "system writable.")
            .arg(native(folder));
    case EISDIR:
        return QStringLiteral("%1 is a folder, not a file. Move or rename that folder.")
            .arg(native(file));
    case ENOTDIR:
        return QStringLiteral("%1 is a file where a folder is needed. Move or rename that "
                              "file.")
            .arg(native(folder));
    default:
        return QStringLiteral("%1 (in the folder %2). Remove the cause.")
            .arg(systemReason(failure.error, failure.systemWords), native(folder));
    }
}

// Why the file could not be read at start-up.
[[nodiscard]] QString readCause(const SettingsFile::LoadResult& failure)
{
    if (failure.special != SpecialFile::None)
        return notAFile(failure.special, failure.path);
    const QString file = native(failure.path);
    switch (failure.error) {
    case EISDIR:
        return QStringLiteral("%1 is a folder, not a file.").arg(file);
    case EACCES:
        return QStringLiteral("You may not read %1.").arg(file);
    case ELOOP:
        return QStringLiteral("%1 is a link that leads round in a loop, to no file.").arg(file);
    default:
        return QStringLiteral("%1: %2.").arg(file,
                                             systemReason(failure.error, failure.systemWords));
    }
}

} // namespace

QString saveFailureMessage(const AtomicWriteResult& failure, const QString& file)
{
    return causeAndRemedy(failure, file) +
           QStringLiteral("\n\nThe settings file %1 is as it was before, your fields are "
                          "kept, and the program stays open: press \"End\" again when that "
                          "is done.")
               .arg(native(file));
}

QString loadFailureMessage(const SettingsFile::LoadResult& failure, const QString& savePath)
{
    const bool special = failure.special != SpecialFile::None;
    const bool blocksSaving = (special || failure.error == EISDIR) && failure.path == savePath;
    const QString what = special ? native(failure.path) : QStringLiteral("that folder");
    return readCause(failure) + QStringLiteral("\n\nThe fields start empty. ") +
           (blocksSaving ? QStringLiteral("Move or rename %1 before you press \"End\", so "
                                          "that your fields can be saved there.")
                               .arg(what)
                         : QStringLiteral("\"End\" saves them to %1.").arg(native(savePath)));
}

} // namespace tb
