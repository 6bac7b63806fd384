#include "app/Dialogs.h"
#include "app/Program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStyleOptionFrame>
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
    // Where the box's text did not fit its label, as measured with the label's font; empty when whole.
    QString textCut;
    // Where the text of the focused line edit did not fit it; empty when whole.
    QString editCut;
    int width = 0;
};

// The text of a message box against its label: every word within the label's width,
// every line within its height.
QString cutOf(QWidget *box)
{
    auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    // A progress box has one label of its own.
    if (!label && qobject_cast<QProgressDialog *>(box))
        label = box->findChild<QLabel *>();
    if (!label)
        return {};
    const QRect room = label->contentsRect();
    const QFontMetrics metrics(label->font());
    const QRect needed = metrics.boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap, label->text());
    if (needed.width() > room.width() || needed.height() > room.height() || label->geometry().right() > box->width())
        return QStringLiteral("«%1» needs %2x%3, the label has %4x%5")
            .arg(label->text()).arg(needed.width()).arg(needed.height()).arg(room.width()).arg(room.height());
    return {};
}

// The text of a line edit against the room its style gives the text.
QString editCutOf(QWidget *focus)
{
    auto *edit = qobject_cast<QLineEdit *>(focus);
    if (!edit)
        return {};
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->contentsRect();
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const int room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit).width() - 4;
    const int needed = edit->fontMetrics().horizontalAdvance(edit->text());
    if (needed > room)
        return QStringLiteral("«%1» needs %2, the edit has %3").arg(edit->text()).arg(needed).arg(room);
    return {};
}

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
        seen.textCut = cutOf(box);
        seen.editCut = editCutOf(focus);
        seen.width = box->width();
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
    void scopeKeys_data();
    void scopeKeys();
    void scopeFocusOnEveryOpening();
    void plainTextBox_data();
    void plainTextBox();
    void boxesShowTheirWholeText_data();
    void boxesShowTheirWholeText();
    void plainTextBoxShowsItsWholeDefault();
    void progressKeys_data();
    void progressKeys();

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

void DialogsTest::scopeKeys_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("scope");
    QTest::newRow("Enter") << QList<int>{Qt::Key_Return} << int(Dialogs::Scope::Current);
    QTest::newRow("keypad Enter") << QList<int>{Qt::Key_Enter} << int(Dialogs::Scope::Current);
    QTest::newRow("Right, Enter") << QList<int>{Qt::Key_Right, Qt::Key_Return} << int(Dialogs::Scope::Marked);
    QTest::newRow("Right twice, Space") << QList<int>{Qt::Key_Right, Qt::Key_Right, Qt::Key_Space} << int(Dialogs::Scope::All);
    QTest::newRow("Esc") << QList<int>{Qt::Key_Escape} << int(Dialogs::Scope::Cancel);
}

void DialogsTest::scopeKeys()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, scope);
    QWidget window;
    window.resize(800, 600);
    window.show();
    QtDialogs dialogs(&window);
    Dialogs::Scope result = Dialogs::Scope(-1);
    const QList<int> moves = keys.mid(0, keys.size() - 1);
    const Seen seen = answerWithKey(
        [&] {
            // The moves go in first, on whichever button has the focus; answerWithKey presses the last key.
            auto *mover = new QTimer;
            QObject::connect(mover, &QTimer::timeout, mover, [mover, moves] {
                QWidget *box = QApplication::activeModalWidget();
                if (!box || !QApplication::focusWidget() || QApplication::focusWidget()->window() != box)
                    return;
                mover->stop();
                for (int key : moves)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
            });
            mover->start(1);
            result = dialogs.askScope();
            delete mover;
        },
        Qt::Key(keys.last()));
    QCOMPARE(seen.focusedButton.isEmpty(), false);
    QCOMPARE(int(result), scope);
}

void DialogsTest::scopeFocusOnEveryOpening()
{
    QWidget window;
    window.resize(800, 600);
    window.show();
    QtDialogs dialogs(&window);
    const QStringList all{QStringLiteral("Esc - Отмена"), QStringLiteral("Все"), QStringLiteral("Отмеченые"), QStringLiteral("Текущую")};
    Seen first = answerWithKey([&] { dialogs.askScope(); }, Qt::Key_Escape);
    QCOMPARE(first.buttons, all);
    QCOMPARE(first.focusedButton, QStringLiteral("Текущую"));
    QWidget *form = window.findChild<QWidget *>(QStringLiteral("Form3"));
    QVERIFY(form);
    QCOMPARE(form->font().pixelSize(), 19);
    QVERIFY(form->font().bold());
    // Choosing "Все" with the keyboard leaves the focus there; the next opening is on "Текущую" again.
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box || !QApplication::focusWidget() || QApplication::focusWidget()->window() != box)
            return;
        poll->stop();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    poll->start(10);
    QCOMPARE(dialogs.askScope(), Dialogs::Scope::All);
    delete poll;
    Seen again = answerWithKey([&] { QCOMPARE(dialogs.askScope(), Dialogs::Scope::Current); }, Qt::Key_Return);
    QCOMPARE(again.focusedButton, QStringLiteral("Текущую"));
    QCOMPARE(window.findChildren<QWidget *>(QStringLiteral("Form3")).size(), 1);
}

void DialogsTest::plainTextBox_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("answered");
    QTest::newRow("Enter") << int(Qt::Key_Return) << true;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << false;
}

void DialogsTest::plainTextBox()
{
    QFETCH(int, key);
    QFETCH(bool, answered);
    QtDialogs dialogs;
    std::optional<QString> result;
    const Seen seen = answerWithKey(
        [&] { result = dialogs.askPlainText(QStringLiteral("Печать"), QStringLiteral("Количество экземпляров"), QStringLiteral("2")); },
        Qt::Key(key));
    QCOMPARE(seen.title, QStringLiteral("Печать"));
    QCOMPARE(result.has_value(), answered);
    if (answered)
        QCOMPARE(*result, QStringLiteral("2"));
}

void DialogsTest::boxesShowTheirWholeText_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::newRow("unlock") << "yesno" << QStringLiteral("Разблокирование") << QStringLiteral("Снять блокировку с документа N1234567 ?");
    QTest::newRow("delete payer") << "yesno" << QStringLiteral("Удаление") << QStringLiteral("Удалить плательщика?");
    QTest::newRow("delete recipient") << "yesno" << QStringLiteral("Удаление") << QStringLiteral("Удалить получателя?");
    QTest::newRow("quit") << "yesno" << QStringLiteral("Завершение программы") << QStringLiteral("Выйти из программы?");
    QTest::newRow("two lines") << "yesno" << QStringLiteral("Документ удалён")
                               << QStringLiteral("Документ N12 удалён или перенесён в архив с другого компьютера.\n"
                                                 "Сохранить введённое как новый документ?");
    QTest::newRow("short message") << "message" << QString() << QStringLiteral("Неверный пароль");
    QString longText;
    for (int i = 0; i < 30; ++i)
        longText += QStringLiteral("слово%1 ").arg(i);
    QTest::newRow("long message") << "message" << QString() << longText.trimmed();
    QTest::newRow("long error") << "error" << QString()
                                << QStringLiteral("Запись изменена с другого компьютера: таблица PL. Введённое вами не записано "
                                                  "и осталось в форме; запишите ещё раз, чтобы заменить им чужие изменения, "
                                                  "или отмените правку.");
    QTest::newRow("long path") << "message" << QString()
                               << QStringLiteral("Не записывается файл /home/buh/Документы/Платежи/2026/выгрузка_за_декабрь.txt");
    QStringList problems;
    for (int i = 0; i < 10; ++i)
        problems << QStringLiteral("документ № %1 от 01.12.2026 (ID 0112261015%2): Получатель: КПП «7710010011» неверен: "
                                   "нужно 9 знаков (цифры, в 5-6 знаках и латинские буквы) или «0»")
                        .arg(200 + i).arg(i, 5, 10, QLatin1Char('0'));
    QTest::newRow("problems before the export") << "yesno" << QStringLiteral("Выгрузка в банк")
                                                << QStringLiteral("Ошибки в документах:\n%1\n… и ещё 5\n\nВыгрузить всё равно?")
                                                       .arg(problems.join(QLatin1Char('\n')));
    QTest::newRow("bank directory loaded") << "message" << QString()
        << QStringLiteral("Загружено банков: 2561\nСправочник банков заменён целиком полным справочником "
                          "/home/buh/Загрузки/20261201_ED807_full.xml (ED807): банков в нём 2561. Изменилось банков: 14 "
                          "(добавлено 3, изменено 9, удалено 2), без изменений 2547\n"
                          "Из записанных банков с отозванной лицензией: 120; пропущено записей: 0");
}

void DialogsTest::boxesShowTheirWholeText()
{
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    QWidget window;
    window.resize(800, 600);
    window.show();
    QtDialogs dialogs(&window);
    const Seen seen = answerWithKey(
        [&] {
            if (kind == QLatin1String("yesno"))
                dialogs.askYesNo(caption, text);
            else if (kind == QLatin1String("error"))
                dialogs.error(text);
            else
                dialogs.message(text);
        },
        Qt::Key_Escape);
    QVERIFY2(seen.textCut.isEmpty(), qPrintable(seen.textCut));
}

void DialogsTest::plainTextBoxShowsItsWholeDefault()
{
    QWidget window;
    window.resize(800, 600);
    window.show();
    QtDialogs dialogs(&window);
    const QString path = QStringLiteral("/home/buh/Документы/Платежи/2026/декабрь/1c_to_kl.txt");
    std::optional<QString> result;
    const Seen seen = answerWithKey(
        [&] { result = dialogs.askPlainText(QStringLiteral("Выгрузка в банк"), QStringLiteral("Имя файла"), path); },
        Qt::Key_Return);
    QCOMPARE(seen.title, QStringLiteral("Выгрузка в банк"));
    QVERIFY2(seen.editCut.isEmpty(), qPrintable(seen.editCut));
    QCOMPARE(result, std::optional<QString>(path));

    // With nothing to show, the box is still as wide as its caption, which the title bar would cut.
    const QString caption = QStringLiteral("Справочник банков");
    const Seen empty = answerWithKey([&] { dialogs.askPlainText(caption, QStringLiteral("Файл ED807 или BNKSEEK.DBF"), QString()); },
                                     Qt::Key_Escape);
    // A title bar draws it in bold beside an icon and three buttons.
    QFont bold = QApplication::font();
    bold.setBold(true);
    const int needed = QFontMetrics(bold).horizontalAdvance(caption) + 6 * QFontMetrics(QApplication::font()).height();
    QVERIFY2(empty.width >= needed, qPrintable(QStringLiteral("%1 < %2").arg(empty.width).arg(needed)));
}

void DialogsTest::progressKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Esc") << int(Qt::Key_Escape);
    QTest::newRow("Enter on its one button") << int(Qt::Key_Return);
}

void DialogsTest::progressKeys()
{
    QFETCH(int, key);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Добрый день, Иванова Анна!"));
    window.resize(800, 600);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QtDialogs dialogs(&window);
    const QString label = QStringLiteral("Чтение файла /home/buh/Загрузки/Банк России/справочники/20261201_ED807_full.xml");
    bool cancelled = false;
    int reports = 0;
    // Reports for three seconds at most: a key that does not cancel lets them run out, before
    // the answering helper's own five-second close.
    const Seen seen = answerWithKey(
        [&] {
            const auto progress = dialogs.progress(QStringLiteral("Справочник банков"), label);
            for (; reports < 300 && !cancelled; ++reports) {
                QTest::qWait(10);
                cancelled = !progress->report(reports, 300);
            }
            // Once cancelled, it stays so.
            if (cancelled)
                QVERIFY(!progress->report(reports, 300));
        },
        Qt::Key(key));
    QCOMPARE(seen.title, QStringLiteral("Справочник банков"));
    QVERIFY2(seen.textCut.isEmpty(), qPrintable(seen.textCut));
    QVERIFY2(cancelled, qPrintable(QStringLiteral("%1 reports").arg(reports)));
    // Closed, and the keyboard back on the window it was shown over.
    QVERIFY(!QApplication::activeModalWidget());
    QTRY_COMPARE(QApplication::activeWindow(), &window);
}

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
