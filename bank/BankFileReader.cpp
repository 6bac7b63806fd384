#include "bank/BankFileReader.h"

#include "bank/DbfCodePage.h"
#include "bank/DbfTable.h"
#include "bank/Ed807Reader.h"
#include "document/CheckDigits.h"
#include "store/AppError.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

namespace {

// The REAL codes of a bank that may no longer take payments.
bool revokedCode(const QString &real)
{
    static const QStringList codes = {QStringLiteral("ОТЗВ"), QStringLiteral("ЛИКВ"), QStringLiteral("ИСКЛ")};
    return codes.contains(real.trimmed().toUpper());
}

bool looksLikeXml(QByteArray start)
{
    if (start.startsWith("\xEF\xBB\xBF"))
        start.remove(0, 3);
    return start.trimmed().startsWith('<');
}

} // namespace

BankFile ReadBnkseek(const QByteArray &data, const BankProgress &progress)
{
    const DbfTable table(data);
    const int bik = table.fieldIndex("NEWNUM");
    const int name = table.fieldIndex("NAMEP");
    if (bik < 0 || name < 0)
        throw AppError(QStringLiteral("Таблица dBASE без полей NEWNUM и NAMEP: это не BNKSEEK.DBF"));
    const int correspondent = table.fieldIndex("KSNP");
    const int settlement = table.fieldIndex("NNP");
    const int settlementType = table.fieldIndex("TNP");
    const int real = table.fieldIndex("REAL");
    const char *const codePage = DbfCodePage(table, {name, settlement});
    QStringDecoder decoder(codePage);
    if (!decoder.isValid())
        throw AppError(QStringLiteral("Нет кодовой страницы %1 для чтения BNKSEEK.DBF").arg(QLatin1String(codePage)));
    const auto text = [&](int record, int field) -> QString {
        if (field < 0)
            return {};
        const QString value = decoder.decode(table.raw(record, field));
        if (decoder.hasError())
            throw AppError(QStringLiteral("BNKSEEK.DBF, запись %1: поле %2 не читается в кодовой странице %3")
                               .arg(record + 1).arg(QString::fromLatin1(table.fields().at(field).name), QLatin1String(codePage)));
        return value;
    };

    BankFile file;
    file.format = QStringLiteral("BNKSEEK.DBF");
    QSet<QString> seen;
    for (int r = 0; r < table.recordCount(); ++r) {
        if (!table.hasRecordFlag(r))
            throw AppError(QStringLiteral("BNKSEEK.DBF, запись %1: запись повреждена (нет признака удаления в её начале)").arg(r + 1));
        if (table.isDeleted(r)) {
            file.skipped << QStringLiteral("запись %1 помечена удалённой").arg(r + 1);
            continue;
        }
        BankRecord bank;
        bank.bik = text(r, bik);
        if (!CheckDigits::isBik(bank.bik))
            throw AppError(QStringLiteral("BNKSEEK.DBF, запись %1: БИК «%2» не из девяти цифр").arg(r + 1).arg(bank.bik));
        bank.name = text(r, name);
        if (bank.name.isEmpty())
            throw AppError(QStringLiteral("BNKSEEK.DBF, запись %1: у БИК %2 нет названия банка").arg(r + 1).arg(bank.bik));
        bank.correspondent = text(r, correspondent);
        if (!bank.correspondent.isEmpty() && !CheckDigits::isAccount(bank.correspondent))
            throw AppError(QStringLiteral("BNKSEEK.DBF, запись %1: у БИК %2 корреспондентский счёт «%3» не из двадцати цифр")
                               .arg(r + 1).arg(bank.bik, bank.correspondent));
        bank.settlement = text(r, settlement);
        bank.settlementType = text(r, settlementType);
        bank.settlementTypeIsCode = true;
        bank.revoked = revokedCode(text(r, real));
        if (seen.contains(bank.bik)) {
            file.skipped << QStringLiteral("запись %1: БИК %2 уже был выше").arg(r + 1).arg(bank.bik);
            continue;
        }
        seen.insert(bank.bik);
        file.banks << std::move(bank);
        if (progress && (r + 1) % 1000 == 0)
            progress(r + 1, table.recordCount());
    }
    if (progress)
        progress(table.recordCount(), table.recordCount());
    return file;
}

BankFile ReadBankFile(const QString &path, const BankProgress &progress)
{
    // A directory, a pipe or a device: opening a pipe waits for a writer, a device may never end.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw AppError(QStringLiteral("Файл %1 не является обычным файлом").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Не открывается файл %1: %2").arg(path, file.errorString()));
    const QByteArray start = file.peek(64);
    BankFile read;
    if (DbfTable::looksLikeDbf(start))
        read = ReadBnkseek(file.readAll(), progress);
    else if (looksLikeXml(start))
        read = ReadEd807(file, progress);
    else
        throw AppError(QStringLiteral("Файл %1 не является ни справочником БИК ED807 (XML), ни таблицей BNKSEEK.DBF").arg(path));
    read.source = path;
    return read;
}
