#include "support/WindowFixture.h"
#include "support/Engines.h"

#include <QApplication>
#include <QGuiApplication>
#include <QStackedWidget>
#include <QTest>

WindowFixture::WindowFixture(const TempDatabase::Options &options) : m_data(options)
{
    m_window = std::make_unique<MainWindow>(m_appDb, m_dialogs);
    m_window->session().setPrintForm(&m_printForm);
}

WindowFixture::~WindowFixture()
{
    m_window.reset();
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

bool WindowFixture::signIn(const QString &password)
{
    m_dialogs.textAnswers.enqueue(password);
    const bool ok = m_window->ConnectAndSignIn(m_data.folder());
    if (ok) {
        m_window->resize(1024, 700);
        m_window->show();
        m_window->activateWindow();
        if (!QTest::qWaitForWindowActive(m_window.get()))
            qWarning("the main window did not become active");
        if (QWidget *page = m_window->pages()->currentWidget())
            if (QWidget *focus = page->focusWidget())
                focus->setFocus();
    }
    return ok;
}

Database &WindowFixture::otherComputer()
{
    if (!m_other) {
        m_other = std::make_unique<Database>();
        m_other->open(m_data.link(), m_data.folder());
    }
    return *m_other;
}

std::unique_ptr<WindowFixture> WindowFixture::signedInOver(const QString &password,
                                                           const std::function<void(TempDatabase &)> &prepare)
{
    TempDatabase::Options o;
    o.engine = Engines::current();
    o.demo = true;
    o.documents = 0;
    auto f = std::make_unique<WindowFixture>(o);
    if (!f->data().isValid()) {
        QTest::qFail(qPrintable(f->data().reason()), __FILE__, __LINE__);
        return nullptr;
    }
    if (prepare)
        prepare(f->data());
    if (!f->signIn(password)) {
        QTest::qFail("sign-in failed", __FILE__, __LINE__);
        return nullptr;
    }
    return f;
}

QString focusName()
{
    QWidget *w = QApplication::focusWidget();
    return w ? w->objectName() : QStringLiteral("(nothing)");
}
