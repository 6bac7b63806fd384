#include "store/OutputPath.h"

#include "store/AppError.h"
#include "store/DataLink.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Beyond the kernel's own limit of symlinks in a row: a loop.
constexpr int maxLinks = 40;

// The files beside a SQLite database that it cannot lose either.
const struct
{
    const char *suffix;
    const char *what;
} databaseFiles[] = {
    {"", "файл базы данных"},
    {"-journal", "журнал базы данных"},
    {"-wal", "журнал WAL базы данных"},
    {"-shm", "файл общей памяти базы данных"},
};

[[noreturn]] void refuse(const QString &path, const QString &why)
{
    throw AppError(QStringLiteral("Файл %1 не записан: %2").arg(path, why));
}

// Where a write to `absolute` lands: symlinks followed, then the canonical folder and the name,
// so that "./a/../b", a symlink and the plain path give one text. Empty for a symlink loop.
QString landing(const QString &absolute)
{
    QString target = absolute;
    for (int links = 0; QFileInfo(target).isSymLink(); ++links) {
        if (links == maxLinks)
            return {};
        target = QFileInfo(target).symLinkTarget();
    }
    const QFileInfo info(target);
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(target) : QDir(folder).filePath(info.fileName());
}

} // namespace

QString CheckOutputPath(const QString &path, const QString &workingDir, const DataLink &link)
{
    const QDir folder(workingDir);
    const QString absolute = QDir::cleanPath(folder.absoluteFilePath(path));
    const QString target = landing(absolute);
    if (target.isEmpty())
        refuse(path, QStringLiteral("символические ссылки замыкаются в круг"));
    const QFileInfo info(target);
    if (info.isDir())
        refuse(path, QStringLiteral("это папка"));
    if (info.exists() && !info.isFile())
        refuse(path, QStringLiteral("это не обычный файл (устройство, канал или сокет)"));

    const QString udl = folder.filePath(QStringLiteral("sql.udl"));
    if (target == landing(udl))
        refuse(path, QStringLiteral("это файл связи с данными %1").arg(udl));
    if (link.engine == Engine::SQLite) {
        // SQLite names the journal after the path it was given; the canonical one is tried too.
        const QString database = folder.absoluteFilePath(link.dataSource);
        for (const QString &base : {database, landing(database)})
            for (const auto &file : databaseFiles)
                if (!base.isEmpty() && target == landing(base + QLatin1String(file.suffix)))
                    refuse(path, QStringLiteral("это %1 %2").arg(QString::fromUtf8(file.what), database));
    }
    return absolute;
}
