// Loads or saves a settings file and prints what came of it, in one line,
// for the tests that watch from outside: as another user (setpriv), under
// strace, or under Wine.
//
//   tubebridge_settings_probe load|save <path>
//
// A load prints "read <first field>", "missing", "a link made by another
// user" or its error; a save "saved" (sixteen lines, the first "saved") or
// its error. An error is the system's words, with "(at <folder>)" when a
// folder is named; another user's link has "(at <link>)" when it is not the
// one at the path.
#include "SettingsFile.h"

#include <QFile>
#include <QTextStream>

#include <cstring>

namespace {

QString failed(int error, const QString& folder, tb::Obstacle obstacle = tb::Obstacle::None)
{
    const QString words = obstacle == tb::Obstacle::ForeignLink
                              ? QStringLiteral("a link made by another user")
                              : QString::fromLocal8Bit(std::strerror(error));
    return folder.isEmpty() ? words : QStringLiteral("%1 (at %2)").arg(words, folder);
}

QString loadOf(const tb::SettingsFile& settings)
{
    const tb::SettingsFile::LoadResult loaded = settings.load();
    if (loaded.status == tb::SettingsFile::LoadStatus::Loaded)
        return "read " + loaded.fields.value(0);
    if (loaded.status == tb::SettingsFile::LoadStatus::Missing)
        return QStringLiteral("missing");
    return failed(loaded.error, loaded.link + loaded.folder, loaded.obstacle);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const tb::SettingsFile settings(QFile::decodeName(argv[2]));
    QTextStream out(stdout);
    if (std::strcmp(argv[1], "load") == 0) {
        out << loadOf(settings) << '\n';
        return 0;
    }
    const tb::AtomicWriteResult saved = settings.save({QStringLiteral("saved")});
    out << (saved.ok() ? QStringLiteral("saved")
                       : failed(saved.error, saved.folder, saved.obstacle))
        << '\n';
    return 0;
}
