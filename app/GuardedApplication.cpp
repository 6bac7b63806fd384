#include "app/GuardedApplication.h"
#include "session/Dialogs.h"
#include "store/AppError.h"

#include <exception>

namespace {

const QString unknownFailure = QStringLiteral("Неизвестная ошибка! Обратитесь к разработчику");

} // namespace

GuardedApplication::GuardedApplication(int &argc, char **argv) : QApplication(argc, argv) {}

void GuardedApplication::setDialogs(Dialogs *dialogs)
{
    m_dialogs = dialogs;
}

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const AppError &error) {
        report(error.message());
    } catch (const std::exception &error) {
        qWarning("%s", error.what());
        report(unknownFailure);
    }
    return false;
}

void GuardedApplication::report(const QString &text)
{
    qWarning("%s", qPrintable(text));
    if (m_dialogs)
        m_dialogs->error(text);
}
