#include "editor/DocumentEditing.h"
#include "document/DocumentColumns.h"
#include "document/DocumentState.h"
#include "document/TaxFields.h"
#include "editor/AmountEntry.h"
#include "editor/RecipientAccount.h"
#include "editor/VatLine.h"
#include "session/Session.h"
#include "store/AppError.h"
#include "store/BankLookup.h"
#include "store/Clock.h"
#include "store/DataSet.h"
#include "store/DateText.h"
#include "store/TextWidth.h"
#include "store/TimestampId.h"

namespace DocumentEditing {

namespace {

const QString recipientTable = QStringLiteral("S_POL");
const QString accountColumn = QStringLiteral("SCHET");

// The recipient's columns in the document and in the directory.
const struct
{
    const char *document;
    const char *directory;
} recipientColumns[] = {
    {"INN_POL", "INN"},     {"KPP_POL", "KPP"},     {"NAME_POL1", "NAME1"}, {"NAME_POL2", "NAME2"},
    {"NAME_POL3", "NAME3"}, {"NAME_POL4", "NAME4"}, {"MFOBANKPOL", "BIK"},
};

// The bank's details by the document's BIK; an unusable bank's go no further into the
// document than an unknown one's.
LookupAnswer fillBank(DataSet &doc, DataSet &general, DataSet &bank)
{
    BankDetails details = LookupBank(bank, general, doc.text(DocumentColumn::RecipientBik));
    LookupAnswer answer;
    answer.bankUsable = details.usable();
    if (!answer.bankUsable) {
        answer.message = BankRefusal(details);
        details = BankDetails{};
    }
    doc.setValue(QStringLiteral("BANK_POL1"), details.name);
    doc.setValue(QStringLiteral("K_SBANK_KT"), details.correspondent);
    doc.setValue(QStringLiteral("NNP_POL"), details.settlement);
    doc.setValue(QStringLiteral("TNP_POL"), details.settlementType);
    return answer;
}

} // namespace

QString ConfirmDate(Session &session, const QString &typed)
{
    QString text = typed;
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    const QDate date = ReadDateText(text, Clock::today());
    session.documents().setValue(DocumentColumn::Date, date.isValid() ? QVariant(date) : QVariant());
    const QString shown = WriteDateText(date);
    DataSet &user = session.user();
    // The last date is the program's own note: the row as stored now, a number taken elsewhere included.
    user.refreshRow();
    user.edit();
    user.setValue(QStringLiteral("P2"), shown);
    user.post();
    return shown;
}

void WritePaymentType(Session &session, bool tax)
{
    DataSet &doc = session.documents();
    doc.setValue(DocumentColumn::Tax, tax);
    if (tax)
        return;
    for (const TaxField &field : taxFields())
        doc.setValue(QLatin1String(field.column), QString());
}

void WriteAmount(Session &session, double amount)
{
    DataSet &doc = session.documents();
    doc.setValue(DocumentColumn::Amount, amount);
    doc.setValue(DocumentColumn::AmountInWords, AmountWordsOf(amount));
}

void WriteVatLine(Session &session)
{
    DataSet &doc = session.documents();
    doc.setValue(DocumentColumn::VatLine, VatLine(doc.text(DocumentColumn::VatRate), doc.value(DocumentColumn::Amount),
                                                  session.setting(QStringLiteral("P5"))));
}

LookupAnswer FillRecipientByAccount(Session &session, DataSet &general, DataSet &bank)
{
    DataSet &doc = session.documents();
    if (!RecipientAccountPasses(doc.text(DocumentColumn::RecipientAccount)))
        return {false, true, QStringLiteral("счет должен состоять из цифр")};
    general.close();
    general.setQuery({recipientTable, {{accountColumn, doc.text(DocumentColumn::RecipientAccount)}}});
    general.open();
    if (general.isEmpty())
        return {};
    general.first();
    for (const auto &c : recipientColumns)
        doc.setValue(QLatin1String(c.document), general.text(QLatin1String(c.directory)));
    // Its bank is looked up too; whatever it finds, the editor goes on to the INN.
    return fillBank(doc, general, bank);
}

LookupAnswer FillRecipientBank(Session &session, DataSet &general, DataSet &bank, DataSet &recipients)
{
    DataSet &doc = session.documents();
    LookupAnswer answer = fillBank(doc, general, bank);
    answer.goesOn = answer.bankUsable;
    if (answer.goesOn)
        RememberRecipient(session, recipients);
    return answer;
}

bool RememberRecipient(Session &session, DataSet &recipients)
{
    DataSet &doc = session.documents();
    const QString account = doc.text(DocumentColumn::RecipientAccount);
    recipients.close();
    recipients.setQuery({recipientTable, {{accountColumn, account}}});
    recipients.open();
    if (!recipients.isEmpty())
        return false;
    // The directory grows from the documents: a new account joins it once its bank is known.
    recipients.insert();
    for (const auto &c : recipientColumns)
        recipients.setValue(QLatin1String(c.directory), doc.text(QLatin1String(c.document)));
    recipients.setValue(accountColumn, account);
    recipients.setValue(QStringLiteral("NAME"), leftCharacters(doc.text(QStringLiteral("NAME_POL1")), 20));
    recipients.post();
    return true;
}

Leaving Leave(Session &session, bool finished)
{
    DataSet &doc = session.documents();
    const QString &state = DocumentColumn::State;
    const QString before = doc.text(state);
    doc.setValue(state, finished || before != DocumentState::Open ? DocumentState::Completed : DocumentState::Saved);
    try {
        doc.post();
    } catch (const RowChangedError &error) {
        // Changed on another computer: he is told, and stays with what he typed to store it again.
        doc.setValue(state, before);
        session.dialogs().message(error.message());
        return Leaving::Stays;
    } catch (const RowDeletedError &) {
        // Storing again cannot help: what he typed is kept as a new document, or dropped.
        const QString question = QStringLiteral("Документ N%1 удалён или перенесён в архив с другого компьютера.\n"
                                                "Сохранить введённое как новый документ?")
                                     .arg(doc.text(DocumentColumn::Number));
        if (session.dialogs().askYesNo(QStringLiteral("Документ удалён"), question)) {
            doc.setValue(DocumentColumn::Id, NewTimestampId());
            doc.postAsNew();
        } else {
            doc.cancel();
            session.ReloadRegister();
        }
        return Leaving::Closed;
    } catch (const AppError &error) {
        qWarning("%s", qPrintable(error.message()));
        if (finished)
            throw;
        // Back to the editor with everything typed, the lock still held.
        doc.setValue(state, before);
        session.dialogs().message(QStringLiteral("Неизвестная ошибка! Обратитесь к разработчику"));
        return Leaving::Stays;
    }
    return Leaving::Closed;
}

} // namespace DocumentEditing
