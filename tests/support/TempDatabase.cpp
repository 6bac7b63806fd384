#include "support/TempDatabase.h"
#include "support/PgCluster.h"

#include "setup/DemoData.h"
#include "store/AppError.h"
#include "store/Installer.h"
#include "store/Schema.h"

#include <QFile>
#include <QSqlQuery>

TempDatabase::TempDatabase(const Options &options)
{
    try {
        if (options.engine == Engine::SQLite) {
            Installer::writeDefaultDataLink(folder());
            Installer::createSqliteFileIfMissing(folder());
            m_link = DataLink::readFile(folder() + QStringLiteral("/sql.udl"));
        } else {
            QString why;
            PgCluster *cluster = PgCluster::instance(&why);
            if (!cluster) {
                m_error = why;
                return;
            }
            m_link.engine = Engine::PostgreSQL;
            m_link.dataSource = QStringLiteral("%1:%2").arg(cluster->host()).arg(cluster->port());
            m_link.initialCatalog = cluster->createDatabase();
            m_link.userId = cluster->user();
            QFile udl(folder() + QStringLiteral("/sql.udl"));
            udl.open(QIODevice::WriteOnly);
            udl.write(m_link.toText().toUtf8());
        }
        m_db.open(m_link, folder());
        Installer::createSchema(m_db);
        Installer::loadInstallationData(m_db, Installer::dataDir());
        if (options.demo) {
            DemoData::Options demo;
            demo.documents = options.documents;
            demo.years = options.years;
            demo.archiveEvery = options.archiveEvery;
            DemoData::add(m_db, demo);
        }
    } catch (const AppError &error) {
        m_error = error.message();
    }
}

QVariant TempDatabase::scalar(const QString &sql)
{
    QSqlQuery q = m_db.run(sql);
    return q.next() ? q.value(0) : QVariant();
}

void TempDatabase::addDocument(const QString &table, const QVariantMap &columns)
{
    const TableDef &def = *Schema::table(table);
    QStringList names, marks;
    QVariantList values;
    for (const ColumnDef &c : def.columns) {
        names << QLatin1String(c.name);
        marks << QStringLiteral("?");
        QVariant v;
        for (auto it = columns.begin(); it != columns.end(); ++it)
            if (it.key().compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
                v = it.value();
        values << m_db.dialect().toDb(c.kind, v);
    }
    m_db.run(QStringLiteral("insert into %1 (%2) values (%3)")
                 .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
             values);
}
