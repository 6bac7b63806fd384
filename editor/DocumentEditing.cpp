#include "editor/DocumentEditing.h"
#include "document/DocumentColumns.h"
#include "document/DocumentState.h"
#include "document/TaxFields.h"
#include "editor/AmountEntry.h"
#include "editor/VatLine.h"
#include "session/Session.h"
#include "store/AppError.h"
#include "store/Clock.h"
#include "store/DataSet.h"
#include "store/DateText.h"
#include "store/TimestampId.h"

namespace DocumentEditing {

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
