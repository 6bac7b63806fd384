#include "register/NewDocumentCommand.h"
#include "document/DocumentColumns.h"
#include "document/DocumentState.h"
#include "session/Session.h"
#include "store/AsciiDigits.h"
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

// A document number as the settings hold it: digits only, as wide as NOM at most.
bool isDocumentNumber(const QString &text, int width)
{
    return text.size() <= width && isAsciiDigits(text);
}

// Another computer signed in as the same user may have taken a number since;
// a few tries are enough, as a number is taken in one short update.
constexpr int numberingTries = 5;

// The number and date by the user's settings as stored now; automatic numbering
// uses the number up at once, with an update that names the number it saw.
Numbering takeNumbering(Session &session)
{
    DataSet &user = session.user();
    const QString p1 = QStringLiteral("P1");
    const int width = Schema::column(*Schema::table(DocumentTable::Current), DocumentColumn::Number)->width;
    // A setting typed but not saved yet goes to the table with the number, not lost by the reread.
    if (user.state() == DataSet::State::Edit)
        user.post();
    for (int attempt = 0; attempt < numberingTries; ++attempt) {
        user.open();
        if (user.isEmpty())
            throw AppError(QStringLiteral("Настройки пользователя удалены с другого компьютера. Документ не создан."));
        Numbering n;
        n.automatic = user.logical(QStringLiteral("P0"));
        if (!n.automatic) {
            n.date = Clock::today();
            return n;
        }
        const QString seen = user.text(p1);
        const QString number = seen.trimmed();
        if (!isDocumentNumber(number, width))
            throw AppError(QStringLiteral("Следующий номер документа в настройках («%1») должен быть целым числом "
                                          "не длиннее %2 цифр. Документ не создан.")
                               .arg(seen)
                               .arg(width));
        n.number = number;
        n.date = ReadDateText(user.text(QStringLiteral("P2")), Clock::today());
        user.edit();
        // Left pending after a failure, the editor's next store of P2 would write the number along.
        if (user.changeOrDrop([&] {
                user.setValue(p1, QString::number(number.toLongLong() + 1));
                return user.postExpecting(p1, seen);
            }))
            return n;
    }
    throw AppError(QStringLiteral("Номер документа всё время занимают с другого компьютера. Документ не создан."));
}

} // namespace

bool NewDocumentCommand(Session &session, DataSet &general, DataSet &bank)
{
    if (session.isArchive())
        return false;
    general.close();
    general.setQuery({QStringLiteral("S_PLAT"), {{QStringLiteral("PRIOR"), QStringLiteral("v")}}});
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
    if (payerBank.revoked) {
        session.dialogs().message(QStringLiteral("Лицензия Вашего Банка отозвана, измените БИК в справочнике плательщиков"));
        return false;
    }
    // The number is used up only once the document can be made.
    const Numbering numbering = takeNumbering(session);

    DataSet &documents = session.documents();
    documents.insert();
    // Not shown in the editor after a failure, the new row must not be stored by a later row move.
    documents.changeOrDrop([&] {
        documents.setValue(DocumentColumn::Tax, false);
        documents.setValue(QStringLiteral("OCHER_PL"), QStringLiteral("5"));
        documents.setValue(QStringLiteral("VID_OP"), QStringLiteral("01"));
        documents.setValue(DocumentColumn::VatRate, QStringLiteral("0"));
        documents.setValue(DocumentColumn::Login, session.userPas());
        documents.setValue(DocumentColumn::Id, NewTimestampId());
        for (auto it = payer.cbegin(); it != payer.cend(); ++it)
            documents.setValue(it.key(), it.value());
        documents.setValue(QStringLiteral("BANK_PL1"), payerBank.name);
        documents.setValue(QStringLiteral("K_SBANK_DT"), payerBank.correspondent);
        documents.setValue(QStringLiteral("NNP_PL"), payerBank.settlement);
        documents.setValue(QStringLiteral("TNP_PL"), payerBank.settlementType);
        documents.setValue(DocumentColumn::State, DocumentState::Open);
        documents.setValue(DocumentColumn::PaymentKind, QStringLiteral("1"));
        if (numbering.automatic)
            documents.setValue(DocumentColumn::Number, numbering.number);
        documents.setValue(DocumentColumn::Date, numbering.date);
    });
    return true;
}
