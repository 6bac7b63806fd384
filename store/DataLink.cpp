#include "store/DataLink.h"
#include "store/AppError.h"
#include "store/AsciiDigits.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPair>
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
    // A whole name, not a part of one: "NotSQLiteAtAll" names no engine we have.
    static const QList<QPair<QString, Engine>> names = {
        {QStringLiteral("sqlite"), Engine::SQLite},         {QStringLiteral("sqlite3"), Engine::SQLite},
        {QStringLiteral("qsqlite"), Engine::SQLite},        {QStringLiteral("postgresql"), Engine::PostgreSQL},
        {QStringLiteral("postgres"), Engine::PostgreSQL},   {QStringLiteral("pgsql"), Engine::PostgreSQL},
        {QStringLiteral("psql"), Engine::PostgreSQL},       {QStringLiteral("qpsql"), Engine::PostgreSQL},
        {QStringLiteral("pg"), Engine::PostgreSQL},
    };
    QString name = provider.trimmed().toLower();
    // OLE DB names carry a version: "PostgreSQL.1".
    static const QRegularExpression version(QStringLiteral("\\.[0-9]+$"));
    name.remove(version);
    for (const auto &entry : names)
        if (entry.first == name)
            return entry.second;
    throw AppError(QStringLiteral("Неизвестный поставщик базы данных: %1").arg(provider));
}

// Splits `key=value;` pairs. A value in double or single quotes may hold `;` and `=`;
// its quote character doubled stands for itself.
QList<QPair<QString, QString>> pairsOf(const QString &body)
{
    QList<QPair<QString, QString>> pairs;
    int i = 0;
    const int n = body.size();
    while (i < n) {
        const int eq = body.indexOf(QLatin1Char('='), i);
        const int semicolon = body.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semicolon >= 0 && semicolon < eq)) {
            // A piece without a value is skipped, as the classic reader does.
            if (semicolon < 0)
                break;
            i = semicolon + 1;
            continue;
        }
        const QString key = body.mid(i, eq - i).trimmed().toLower();
        i = eq + 1;
        while (i < n && body.at(i).isSpace())
            ++i;
        QString value;
        if (i < n && (body.at(i) == QLatin1Char('"') || body.at(i) == QLatin1Char('\''))) {
            const QChar quote = body.at(i++);
            bool closed = false;
            while (i < n) {
                if (body.at(i) == quote) {
                    if (i + 1 < n && body.at(i + 1) == quote) {
                        value += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += body.at(i++);
            }
            if (!closed)
                throw AppError(QStringLiteral("В файле связи с данными не закрыта кавычка в значении %1").arg(key));
            while (i < n && body.at(i).isSpace())
                ++i;
            if (i < n && body.at(i) != QLatin1Char(';'))
                throw AppError(QStringLiteral("В файле связи с данными лишний текст после кавычки в значении %1").arg(key));
        } else {
            const int end = semicolon < 0 ? n : semicolon;
            value = body.mid(i, end - i).trimmed();
            i = end;
        }
        pairs.append({key, value});
        if (i < n && body.at(i) == QLatin1Char(';'))
            ++i;
    }
    return pairs;
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
    for (const auto &[key, value] : pairsOf(body)) {
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
    if (link.engine == Engine::PostgreSQL)
        link.server(); // refuses a host or port that cannot be right, before any connection is tried
    return link;
}

DataLink::Server DataLink::server() const
{
    Server server;
    QString text = dataSource.trimmed();
    QString port;
    if (text.startsWith(QLatin1Char('['))) {
        // [IPv6] or [IPv6]:port
        const int close = text.indexOf(QLatin1Char(']'));
        if (close < 0)
            throw AppError(QStringLiteral("В Data Source не закрыта скобка адреса: %1").arg(dataSource));
        server.host = text.mid(1, close - 1);
        const QString after = text.mid(close + 1);
        if (!after.isEmpty()) {
            if (!after.startsWith(QLatin1Char(':')))
                throw AppError(QStringLiteral("Лишний текст после адреса в Data Source: %1").arg(dataSource));
            port = after.mid(1);
            if (port.isEmpty())
                throw AppError(QStringLiteral("Не указан порт в Data Source: %1").arg(dataSource));
        }
    } else if (text.count(QLatin1Char(':')) > 1) {
        // A bare IPv6 address has no port: "::1" is the host ::1.
        server.host = text;
    } else {
        const int colon = text.indexOf(QLatin1Char(':'));
        server.host = colon < 0 ? text : text.left(colon);
        if (colon >= 0) {
            port = text.mid(colon + 1);
            if (port.isEmpty())
                throw AppError(QStringLiteral("Не указан порт в Data Source: %1").arg(dataSource));
        }
    }
    if (!port.isEmpty()) {
        const int number = isAsciiDigits(port) && port.size() <= 5 ? port.toInt() : 0;
        if (number < 1 || number > 65535)
            throw AppError(QStringLiteral("Неверный порт в Data Source: %1").arg(port));
        server.port = number;
    }
    if (server.host.isEmpty())
        server.host = QStringLiteral("localhost");
    return server;
}

DataLink DataLink::readFile(const QString &path)
{
    const QFileInfo info(path);
    // A directory, a pipe or a device is no data link: reading it could fail, hang or never end.
    if (info.exists() && !info.isFile())
        throw AppError(QStringLiteral("Файл %1 не является обычным файлом").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Не открывается файл %1: %2").arg(path, file.errorString()));
    const QByteArray content = file.read(MaxFileSize + 1);
    if (content.size() > MaxFileSize)
        throw AppError(QStringLiteral("Файл %1 слишком велик для файла связи с данными").arg(path));
    return parse(content);
}

// A value that the reader would split or trim is written in double quotes; the
// reader trims by QChar::isSpace, which knows more blanks than a pattern's \s.
static QString written(const QString &value)
{
    if (value.isEmpty())
        return value;
    const bool plain = !value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('"'))
                       && !value.contains(QLatin1Char('\'')) && !value.front().isSpace() && !value.back().isSpace();
    if (plain)
        return value;
    return QLatin1Char('"') + QString(value).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString DataLink::toText() const
{
    // The file is read line by line: a line break would cut the value, even in quotes.
    const std::pair<const char *, const QString *> values[] = {
        {"Data Source", &dataSource}, {"Initial Catalog", &initialCatalog}, {"User ID", &userId}, {"Password", &password}};
    for (const auto &[key, value] : values)
        if (value->contains(QLatin1Char('\r')) || value->contains(QLatin1Char('\n')))
            throw AppError(QStringLiteral("Значение %1 файла связи с данными не может содержать перевод строки")
                               .arg(QLatin1String(key)));
    QString text = QStringLiteral("Provider=%1;Data Source=%2;")
                       .arg(engine == Engine::SQLite ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL"),
                            written(dataSource));
    if (!initialCatalog.isEmpty())
        text += QStringLiteral("Initial Catalog=%1;").arg(written(initialCatalog));
    if (!userId.isEmpty())
        text += QStringLiteral("User ID=%1;").arg(written(userId));
    if (!password.isEmpty())
        text += QStringLiteral("Password=%1;").arg(written(password));
    return text + QLatin1Char('\n');
}
