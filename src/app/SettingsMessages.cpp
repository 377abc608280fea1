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

[[nodiscard]] QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// One sentence on the cause, one on what to do about it.
[[nodiscard]] QString causeAndRemedy(int error, const QString& folder, const QString& file)
{
    switch (error) {
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
            .arg(systemReason(error), native(folder));
    }
}

} // namespace

QString saveFailureMessage(const AtomicWriteResult& failure, const QString& file)
{
    return causeAndRemedy(failure.error, failure.folder, file) +
           QStringLiteral("\n\nThe settings file %1 is as it was before, your fields are "
                          "kept, and the program stays open: press \"End\" again when that "
                          "is done.")
               .arg(native(file));
}

QString loadFailureMessage(const SettingsFile::LoadResult& failure, const QString& savePath)
{
    const QString file = native(failure.path);
    QString cause;
    switch (failure.error) {
    case EISDIR:
        cause = QStringLiteral("%1 is a folder, not a file.").arg(file);
        break;
    case EACCES:
        cause = QStringLiteral("You may not read %1.").arg(file);
        break;
    default:
        cause = QStringLiteral("%1: %2.").arg(file, systemReason(failure.error));
        break;
    }
    const bool blocksSaving = failure.error == EISDIR && failure.path == savePath;
    return cause + QStringLiteral("\n\nThe fields start empty. ") +
           (blocksSaving ? QStringLiteral("Move or rename that folder before you press "
                                          "\"End\", so that your fields can be saved there.")
                         : QStringLiteral("\"End\" saves them to %1.").arg(native(savePath)));
}

} // namespace tb
