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

// Where the user's settings would be, had the system named a full path.
[[nodiscard]] QString noSettingsFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Windows names no full path for your application data folder "
                          "(%APPDATA%), where your settings are kept.");
#else
    return QStringLiteral("There is no full path for the folder where your settings are kept "
                          "($XDG_CONFIG_HOME, or .config in your home folder).");
#endif
}

// Causes that read as one whether the file is read or replaced.
[[nodiscard]] QString inUse(const QString& file)
{
#ifdef Q_OS_WIN
    return QStringLiteral("%1 is in use by another program.").arg(native(file));
#else
    return QStringLiteral("%1 is in use by the system (a mount point, for example).")
        .arg(native(file));
#endif
}

#ifdef ESTALE
[[nodiscard]] QString staleHandle(const QString& file)
{
    return QStringLiteral("The network share that holds %1 no longer knows it (a stale file "
                          "handle).")
        .arg(native(file));
}
#endif

[[nodiscard]] QString foreignLinkOnTheWay(const QString& file, const QString& link)
{
    return QStringLiteral("The way to %1 leads through %2, a link made by another user.")
        .arg(native(file), native(link));
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
    if (failure.obstacle == Obstacle::NoSettingsFolder)
        return noSettingsFolder() + QStringLiteral(" Ask the administrator to set it up.");
    const QString& folder = failure.folder;
    if (failure.obstacle == Obstacle::ForeignLink)
        return foreignLinkOnTheWay(file, folder) +
               QStringLiteral(" It is not followed, so that no file of yours is written through "
                              "it. Ask its owner or the administrator to remove it.");
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
        return QStringLiteral("You may not write to the folder %1. Give yourself write "
                              "permission to it, or ask the administrator to.")
            .arg(native(folder));
    case EPERM:
        return QStringLiteral("The system does not let you replace %1: it belongs to another "
                              "user in a folder that keeps each user's files to their owner, "
                              "or it is marked as never to be changed. Ask its owner or the "
                              "administrator to remove it.")
            .arg(native(file));
    case EBUSY:
        return inUse(file) + QStringLiteral(" Close that program, or wait until it is done.");
#ifdef ESTALE // not in MinGW's errno.h
    case ESTALE:
        return staleHandle(file) + QStringLiteral(" Connect the share again.");
#endif
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
    case ENOENT:
        return QStringLiteral("The folder %1 does not exist. Make that folder.")
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
    switch (failure.obstacle) {
    case Obstacle::ForeignLink: {
        const QString& further = failure.link.isEmpty() ? failure.folder : failure.link;
        return (further.isEmpty() ? QStringLiteral("%1 is a link made by another user.").arg(file)
                                  : foreignLinkOnTheWay(failure.path, further)) +
               QStringLiteral(" It is not followed, so that no file of yours is read or "
                              "written through it.");
    }
    case Obstacle::NoSettingsFolder:
        return noSettingsFolder();
    case Obstacle::None:
        break;
    }
    switch (failure.error) {
    case EISDIR:
        return QStringLiteral("%1 is a folder, not a file.").arg(file);
    case EACCES:
        if (!failure.folder.isEmpty())
            return QStringLiteral("You may not open the folder %1, so %2 cannot be read.")
                .arg(native(failure.folder), file);
        return QStringLiteral("You may not read %1.").arg(file);
    case ENOTDIR:
        return QStringLiteral("%1 is a file where a folder is needed to reach %2.")
            .arg(native(failure.folder), file);
    case ELOOP:
        return QStringLiteral("%1 is a link that leads round in a loop, to no file.").arg(file);
    case EBUSY:
        return inUse(failure.path);
#ifdef ESTALE
    case ESTALE:
        return staleHandle(failure.path);
#endif
    default:
        return QStringLiteral("%1: %2.").arg(file,
                                             systemReason(failure.error, failure.systemWords));
    }
}

// What "End" does with the fields after the file could not be read.
[[nodiscard]] QString whatEndDoes(const SettingsFile::LoadResult& failure, const QString& savePath)
{
    if (failure.obstacle == Obstacle::NoSettingsFolder)
        return QStringLiteral("\"End\" cannot save them.");
    const bool here = failure.path == savePath;
    const bool special = failure.special != SpecialFile::None;
    if ((special || failure.error == EISDIR) && here)
        return QStringLiteral("Move or rename %1 before you press \"End\", so that your fields "
                              "can be saved there.")
            .arg(special ? native(failure.path) : QStringLiteral("that folder"));
    if (failure.obstacle == Obstacle::ForeignLink && here) {
        // Nothing is saved behind that link, nor the way to the file through it.
        if (!failure.folder.isEmpty())
            return QStringLiteral("\"End\" cannot save them there while that link stands.");
        if (!failure.link.isEmpty())
            return QStringLiteral("\"End\" saves them to %1 in place of the link there; "
                                  "nothing behind %2 is touched.")
                .arg(native(savePath), native(failure.link));
        return QStringLiteral("\"End\" saves them to %1 in place of the link, where the folder "
                              "allows it.")
            .arg(native(savePath));
    }
    return QStringLiteral("\"End\" saves them to %1.").arg(native(savePath));
}

} // namespace

QString saveFailureMessage(const AtomicWriteResult& failure, const QString& file,
                           SettingsFile::Role role, const QString& again)
{
    // The folder is looked for once, at start-up.
    if (failure.obstacle == Obstacle::NoSettingsFolder)
        return causeAndRemedy(failure, file) +
               QStringLiteral("\n\nNothing was saved, your fields are kept, and the program "
                              "stays open: start it again once that is done.");
    const QString subject = role == SettingsFile::Role::Design ? QStringLiteral("design file")
                                                               : QStringLiteral("settings file");
    return causeAndRemedy(failure, file) +
           QStringLiteral("\n\nThe %1 %2 is as it was before, your fields are kept, and the "
                          "program stays open: %3 when that is done.")
               .arg(subject, native(file),
                    again.isEmpty() ? QStringLiteral("press \"End\" again") : again);
}

QString saveFailureCause(const AtomicWriteResult& failure, const QString& file)
{
    return causeAndRemedy(failure, file);
}

QString loadFailureMessage(const SettingsFile::LoadResult& failure, const QString& savePath)
{
    return readCause(failure) + QStringLiteral("\n\nThe fields start empty. ") +
           whatEndDoes(failure, savePath);
}

} // namespace tb
