#include "app/Dialogs.h"
#include "app/Program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// What a real box showed before the test answered it.
struct Seen
{
    QString title;
    QStringList buttons;
    QString focusedButton;
};

QString plain(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// Runs `show`, which opens a real modal box; once the box is up, records it and
// presses `key` on the widget that has the keyboard focus, as a user would.
Seen answerWithKey(const std::function<void()> &show, Qt::Key key, const QString &typed = QString())
{
    Seen seen;
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [&seen, poll, key, typed] {
        QWidget *box = QApplication::activeModalWidget();
        QWidget *focus = QApplication::focusWidget();
        if (!box || !box->isVisible() || !focus || focus->window() != box)
            return;
        poll->stop();
        seen.title = box->windowTitle();
        for (QAbstractButton *button : box->findChildren<QAbstractButton *>())
            if (button->isVisible())
                seen.buttons << plain(button->text());
        seen.buttons.sort();
        if (auto *button = qobject_cast<QAbstractButton *>(focus))
            seen.focusedButton = plain(button->text());
        if (!typed.isEmpty())
            QTest::keyClicks(focus, typed);
        QTest::keyClick(QApplication::focusWidget(), key);
    });
    poll->start(10);
    // Closes a box the key failed to close, so that a fault fails the test instead of hanging it.
    QTimer::singleShot(5000, poll, [] {
        if (QWidget *box = QApplication::activeModalWidget())
            box->close();
    });
    show();
    delete poll;
    return seen;
}

} // namespace

class DialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void noProgramNameInTitles();
    void passwordBox_data();
    void passwordBox();
    void yesNoKeys_data();
    void yesNoKeys();
    void yesNoSpeaksRussian();
    void messageTitle_data();
    void messageTitle();
    void missingTranslation();

private:
    bool m_russian = false;
};

void DialogsTest::initTestCase()
{
    m_russian = setUpApplication(*qApp);
}

void DialogsTest::noProgramNameInTitles()
{
    // Qt appends a display name, once one is set, to every window title.
    QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
}

void DialogsTest::passwordBox_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("answer");
    QTest::newRow("Enter") << QStringLiteral("1") << int(Qt::Key_Return) << QStringLiteral("1");
    QTest::newRow("Esc") << QStringLiteral("1") << int(Qt::Key_Escape) << QString();
}

void DialogsTest::passwordBox()
{
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, answer);
    QtDialogs dialogs;
    QString result = QStringLiteral("unanswered");
    const Seen seen = answerWithKey(
        [&] { result = dialogs.askText(QStringLiteral("Ввод пароля"), QStringLiteral("Введите пароль"), QString()); },
        Qt::Key(key), typed);
    QCOMPARE(seen.title, QStringLiteral("Ввод пароля"));
    QCOMPARE(result, answer);
}

void DialogsTest::yesNoKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("answer");
    QTest::newRow("Enter") << int(Qt::Key_Return) << true;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << false;
}

void DialogsTest::yesNoKeys()
{
    QFETCH(int, key);
    QFETCH(bool, answer);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Добрый день, Иванова Анна!"));
    QtDialogs dialogs(&window);
    bool result = !answer;
    const Seen seen = answerWithKey(
        [&] { result = dialogs.askYesNo(QStringLiteral("Завершение программы"), QStringLiteral("Выйти из программы?")); },
        Qt::Key(key));
    QCOMPARE(seen.title, QStringLiteral("Завершение программы"));
    QCOMPARE(result, answer);
}

void DialogsTest::yesNoSpeaksRussian()
{
    if (!m_russian)
        QSKIP("Qt's Russian translation (qt6-translations-l10n) is not installed");
    QtDialogs dialogs;
    const Seen seen = answerWithKey([&] { dialogs.askYesNo(QStringLiteral("Разблокирование"), QStringLiteral("?")); },
                                    Qt::Key_Escape);
    QCOMPARE(seen.buttons, (QStringList{QStringLiteral("Да"), QStringLiteral("Нет")}));
    QCOMPARE(seen.focusedButton, QStringLiteral("Да"));
    const Seen password = answerWithKey([&] { dialogs.askText(QStringLiteral("Ввод пароля"), QString(), QString()); },
                                        Qt::Key_Escape);
    QCOMPARE(password.buttons, (QStringList{QStringLiteral("OK"), QStringLiteral("Отмена")}));
}

void DialogsTest::messageTitle_data()
{
    QTest::addColumn<bool>("error");
    QTest::addColumn<bool>("hasWindow");
    QTest::addColumn<QString>("windowTitle");
    QTest::addColumn<QString>("boxTitle");
    const QString greeting = QStringLiteral("Добрый день, Петров Сергей!");
    const QString program = QStringLiteral("Платёжные поручения");
    QTest::newRow("message, signed in") << false << true << greeting << greeting;
    QTest::newRow("message, untitled window") << false << true << QString() << program;
    QTest::newRow("message, no window") << false << false << QString() << program;
    QTest::newRow("error, signed in") << true << true << greeting << greeting;
    QTest::newRow("error, no window") << true << false << QString() << program;
}

void DialogsTest::messageTitle()
{
    QFETCH(bool, error);
    QFETCH(bool, hasWindow);
    QFETCH(QString, windowTitle);
    QFETCH(QString, boxTitle);
    QWidget window;
    window.setWindowTitle(windowTitle);
    QWidget child(&window);
    // A dialog's parent may be any widget inside the main window.
    QtDialogs dialogs(hasWindow ? &child : nullptr);
    const Seen seen = answerWithKey(
        [&] {
            if (error)
                dialogs.error(QStringLiteral("Ошибка"));
            else
                dialogs.message(QStringLiteral("Неверный пароль"));
        },
        Qt::Key_Return);
    QCOMPARE(seen.title, boxTitle);
    if (m_russian)
        QCOMPARE(seen.buttons, QStringList{QStringLiteral("OK")});
}

void DialogsTest::missingTranslation()
{
    QTemporaryDir empty;
    QVERIFY(!setUpApplication(*qApp, empty.path()));
    QtDialogs dialogs;
    bool result = false;
    const Seen seen = answerWithKey([&] { result = dialogs.askYesNo(QStringLiteral("Завершение программы"), QStringLiteral("?")); },
                                    Qt::Key_Return);
    QCOMPARE(seen.buttons, (QStringList{QStringLiteral("No"), QStringLiteral("Yes")}));
    QVERIFY(result);
    // Back to Russian for whatever runs after.
    QCOMPARE(setUpApplication(*qApp), m_russian);
}

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
