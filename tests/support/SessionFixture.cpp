#include "support/SessionFixture.h"
#include "support/Engines.h"

#include "register/NewDocumentCommand.h"

#include <QTest>

namespace {

TempDatabase::Options demoWithoutDocuments()
{
    TempDatabase::Options o;
    o.engine = Engines::current();
    o.demo = true;
    o.documents = 0;
    return o;
}

} // namespace

SessionFixture::SessionFixture(const std::function<void(TempDatabase &)> &prepare)
    : m_data(demoWithoutDocuments()), m_session(m_data.db(), m_dialogs), m_general(m_data.db()), m_bank(m_data.db()),
      m_recipients(m_data.db())
{
    if (!m_data.isValid()) {
        QTest::qFail(qPrintable(m_data.reason()), __FILE__, __LINE__);
        return;
    }
    if (prepare)
        prepare(m_data);
    DataSet &user = m_session.user();
    user.setQuery({QStringLiteral("PARAM"), {{QStringLiteral("PAS"), QStringLiteral("1")}}});
    user.open();
    if (user.isEmpty()) {
        QTest::qFail("user 1 is not in PARAM", __FILE__, __LINE__);
        return;
    }
    m_session.loadCodeNames();
    m_session.ReloadRegister();
    m_valid = true;
}

bool SessionFixture::startNew()
{
    return NewDocumentCommand(m_session, m_general, m_bank);
}
