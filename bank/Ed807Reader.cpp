#include "bank/Ed807Reader.h"

#include "document/CheckDigits.h"
#include "store/AppError.h"

#include <QIODevice>
#include <QSet>
#include <QXmlStreamReader>

namespace {

const QString ns = QStringLiteral("urn:cbr-ru:ed:v2.0");

// Restriction codes and participant statuses that end a bank's right to make payments.
bool endsParticipation(QStringView rstr)
{
    return rstr == u"LWRS";
}

bool excludedStatus(QStringView status)
{
    return status == u"PSDL";
}

[[noreturn]] void fail(const QXmlStreamReader &xml, const QString &what)
{
    throw AppError(QStringLiteral("ED807, строка %1, позиция %2: %3").arg(xml.lineNumber()).arg(xml.columnNumber()).arg(what));
}

// The elements of one BICDirectoryEntry, the reader left on its end.
BankRecord readEntry(QXmlStreamReader &xml)
{
    BankRecord bank;
    bank.bik = xml.attributes().value(QStringLiteral("BIC")).toString();
    const qint64 line = xml.lineNumber();
    if (!CheckDigits::isBik(bank.bik))
        fail(xml, QStringLiteral("БИК «%1» не из девяти цифр").arg(bank.bik));
    bool haveInfo = false;
    QString anyCorrespondent;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        const QXmlStreamAttributes a = xml.attributes();
        const QStringView name = xml.name();
        if (name == u"ParticipantInfo") {
            haveInfo = true;
            bank.name = a.value(QStringLiteral("NameP")).toString();
            bank.settlementType = a.value(QStringLiteral("Tnp")).toString();
            bank.settlement = a.value(QStringLiteral("Nnp")).toString();
            if (excludedStatus(a.value(QStringLiteral("ParticipantStatus"))))
                bank.revoked = true;
        } else if (name == u"RstrList") {
            if (endsParticipation(a.value(QStringLiteral("Rstr"))))
                bank.revoked = true;
        } else if (name == u"Accounts" && a.value(QStringLiteral("RegulationAccountType")) == u"CRSA") {
            // A closed correspondent account gives way to an open one.
            const QString account = a.value(QStringLiteral("Account")).toString();
            if (a.value(QStringLiteral("AccountStatus")) == u"ACDL")
                anyCorrespondent = account;
            else if (bank.correspondent.isEmpty())
                bank.correspondent = account;
        }
    }
    if (xml.hasError())
        return bank;
    if (bank.correspondent.isEmpty())
        bank.correspondent = anyCorrespondent;
    if (!haveInfo || bank.name.trimmed().isEmpty())
        throw AppError(QStringLiteral("ED807, строка %1: у БИК %2 нет названия банка (ParticipantInfo/@NameP)").arg(line).arg(bank.bik));
    if (!bank.correspondent.isEmpty() && !CheckDigits::isAccount(bank.correspondent))
        throw AppError(QStringLiteral("ED807, строка %1: у БИК %2 корреспондентский счёт «%3» не из двадцати цифр")
                           .arg(line).arg(bank.bik, bank.correspondent));
    return bank;
}

} // namespace

BankFile ReadEd807(QIODevice &device, const BankProgress &progress)
{
    BankFile file;
    file.format = QStringLiteral("ED807");
    QXmlStreamReader xml(&device);
    QSet<QString> seen;
    const qint64 total = device.size();
    bool rootSeen = false;
    int entries = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (!rootSeen) {
            if (xml.name() != u"ED807" || xml.namespaceUri() != ns)
                fail(xml, QStringLiteral("это не справочник БИК ED807 (корень %1 в пространстве имён «%2»)")
                              .arg(xml.name().toString(), xml.namespaceUri().toString()));
            rootSeen = true;
            // FIRR is the whole directory; any other type, or none, only changes it.
            file.fullDirectory = xml.attributes().value(QStringLiteral("InfoTypeCode")) == u"FIRR";
            continue;
        }
        if (xml.name() != u"BICDirectoryEntry") {
            xml.skipCurrentElement();
            continue;
        }
        const qint64 line = xml.lineNumber();
        BankRecord bank = readEntry(xml);
        if (xml.hasError())
            break;
        if (seen.contains(bank.bik)) {
            file.skipped << QStringLiteral("строка %1: БИК %2 уже был выше").arg(line).arg(bank.bik);
        } else {
            seen.insert(bank.bik);
            file.banks << std::move(bank);
        }
        if (progress && ++entries % 1000 == 0)
            progress(device.pos(), total);
    }
    if (xml.hasError())
        fail(xml, xml.error() == QXmlStreamReader::PrematureEndOfDocumentError
                      ? QStringLiteral("файл обрывается раньше конца (%1)").arg(xml.errorString())
                      : xml.errorString());
    if (!rootSeen)
        throw AppError(QStringLiteral("ED807: в файле нет ни одного элемента"));
    if (progress)
        progress(total, total);
    return file;
}
