#include "store/DataLink.h"
#include "store/AppError.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringConverter>

namespace {

QString decode(const QByteArray &content)
{
    if (content.startsWith("\xFF\xFE") || content.startsWith("\xFE\xFF")
        || content.startsWith("\xEF\xBB\xBF")) {
        auto encoding = QStringConverter::encodingForData(content);
        QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
        return decoder(content);
    }
    // Without a mark: UTF-16 shows itself by zero bytes, else take UTF-8.
    if (content.size() >= 2 && content.at(1) == '\0')
        return QStringDecoder(QStringConverter::Utf16LE)(content);
    return QString::fromUtf8(content);
}

Engine engineOf(const QString &provider)
{
    const QString p = provider.trimmed().toLower();
    if (p.contains(QLatin1String("sqlite")))
        return Engine::SQLite;
    if (p.contains(QLatin1String("postgres")) || p.contains(QLatin1String("pgsql"))
        || p.contains(QLatin1String("psql")) || p == QLatin1String("pg"))
        return Engine::PostgreSQL;
    throw AppError(QStringLiteral("Неизвестный поставщик базы данных: %1").arg(provider));
}

} // namespace

DataLink DataLink::parse(const QByteArray &content)
{
    QString body;
    const QStringList lines = decode(content).split(QRegularExpression(QStringLiteral("[\r\n]+")));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('[')))
            continue;
        body += line + QLatin1Char(';');
    }

    DataLink link;
    bool haveProvider = false;
    for (const QString &pair : body.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int eq = pair.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = pair.left(eq).trimmed().toLower();
        QString value = pair.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        if (key == QLatin1String("provider")) {
            link.engine = engineOf(value);
            haveProvider = true;
        } else if (key == QLatin1String("data source")) {
            link.dataSource = value;
        } else if (key == QLatin1String("initial catalog")) {
            link.initialCatalog = value;
        } else if (key == QLatin1String("user id")) {
            link.userId = value;
        } else if (key == QLatin1String("password")) {
            link.password = value;
        }
    }
    if (!haveProvider)
        throw AppError(QStringLiteral("В файле связи с данными не указан Provider"));
    if (link.dataSource.isEmpty() && link.engine == Engine::SQLite)
        throw AppError(QStringLiteral("В файле связи с данными не указан Data Source"));
    return link;
}

DataLink DataLink::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Не открывается файл %1: %2").arg(path, file.errorString()));
    return parse(file.readAll());
}

QString DataLink::toText() const
{
    QString text = QStringLiteral("Provider=%1;Data Source=%2;")
                       .arg(engine == Engine::SQLite ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL"),
                            dataSource);
    if (!initialCatalog.isEmpty())
        text += QStringLiteral("Initial Catalog=%1;").arg(initialCatalog);
    if (!userId.isEmpty())
        text += QStringLiteral("User ID=%1;").arg(userId);
    if (!password.isEmpty())
        text += QStringLiteral("Password=%1;").arg(password);
    return text + QLatin1Char('\n');
}
