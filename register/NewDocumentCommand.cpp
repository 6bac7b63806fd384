#include "register/NewDocumentCommand.h"
#include "register/DocumentState.h"
#include "session/Session.h"
#include "store/BankLookup.h"
#include "store/Clock.h"
#include "store/DateText.h"
#include "store/Schema.h"
#include "store/TimestampId.h"

namespace {

struct Copied
{
    const char *document;
    const char *payer;
};

// What a new document takes from the default payer.
const QList<Copied> &payerColumns()
{
    static const QList<Copied> columns = {
        {"NAME_PL1", "NAME1"}, {"NAME_PL2", "NAME2"}, {"NAME_PL3", "NAME3"}, {"NAME_PL4", "NAME4"},
        {"SCH_DT", "SCHET"},   {"INN_PL", "INN"},     {"KPP_PL", "KPP"},     {"MFOBANK_PL", "BIK"},
    };
    return columns;
}

struct Numbering
{
    bool automatic = false;
    QString number;
    QDate date;
};

// The number and date by the user's settings, checked before anything is written.
Numbering numberingOf(Session &session)
{
    DataSet &user = session.user();
    Numbering n;
    n.automatic = user.logical(QStringLiteral("P0"));
    if (!n.automatic) {
        n.date = Clock::today();
        return n;
    }
    const QString next = user.text(QStringLiteral("P1")).trimmed();
    bool whole = false;
    const qlonglong value = next.toLongLong(&whole);
    const int width = Schema::column(*Schema::table(QStringLiteral("PL")), QStringLiteral("NOM"))->width;
    if (!whole || value < 0 || QString::number(value).size() > width)
        throw AppError(QStringLiteral("Следующий номер документа в настройках («%1») должен быть целым числом "
                                      "не длиннее %2 цифр. Документ не создан.")
                           .arg(next)
                           .arg(width));
    n.number = QString::number(value);
    n.date = ReadDateText(user.text(QStringLiteral("P2")), Clock::today());
    return n;
}

} // namespace

bool NewDocumentCommand(Session &session, DataSet &general, DataSet &bank)
{
    if (session.isArchive())
        return false;
    general.close();
    general.setSql(QStringLiteral("select * from S_PLAT where PRIOR='v'"));
    general.open();
    if (general.isEmpty()) {
        session.dialogs().message(QStringLiteral("Не заполнен справочник плательщиков"));
        return false;
    }
    general.first();
    QHash<QString, QString> payer;
    for (const Copied &c : payerColumns())
        payer.insert(QLatin1String(c.document), general.text(QLatin1String(c.payer)));

    const BankDetails payerBank = LookupBank(bank, general, payer.value(QStringLiteral("MFOBANK_PL")));
    if (!payerBank.found) {
        session.dialogs().message(QStringLiteral("Вашего Банка не существует, измените БИК в справочнике плательщиков"));
        return false;
    }
    const Numbering numbering = numberingOf(session);
    if (numbering.automatic) {
        // The number is used up only once the document can be made.
        DataSet &user = session.user();
        user.edit();
        user.setValue(QStringLiteral("P1"), QString::number(numbering.number.toLongLong() + 1));
        user.post();
    }

    DataSet &documents = session.documents();
    documents.insert();
    documents.setValue(QStringLiteral("NALOG"), false);
    documents.setValue(QStringLiteral("OCHER_PL"), QStringLiteral("5"));
    documents.setValue(QStringLiteral("VID_OP"), QStringLiteral("01"));
    documents.setValue(QStringLiteral("NDS"), QStringLiteral("0"));
    documents.setValue(QStringLiteral("LOGIN"), session.userPas());
    documents.setValue(QStringLiteral("ID"), NewTimestampId());
    for (auto it = payer.cbegin(); it != payer.cend(); ++it)
        documents.setValue(it.key(), it.value());
    documents.setValue(QStringLiteral("BANK_PL1"), payerBank.name);
    documents.setValue(QStringLiteral("K_SBANK_DT"), payerBank.correspondent);
    documents.setValue(QStringLiteral("NNP_PL"), payerBank.settlement);
    documents.setValue(QStringLiteral("TNP_PL"), payerBank.settlementType);
    documents.setValue(QStringLiteral("PRIZN_DK"), DocumentState::Open);
    documents.setValue(QStringLiteral("VID_PLAT"), QStringLiteral("1"));
    if (numbering.automatic)
        documents.setValue(QStringLiteral("NOM"), numbering.number);
    documents.setValue(QStringLiteral("DATE"), numbering.date);
    return true;
}
