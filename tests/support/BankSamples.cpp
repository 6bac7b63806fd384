#include "support/BankSamples.h"

#include <QStringEncoder>

namespace BankSamples {

QVariantMap order(const QString &id, const QString &number, const QDate &date)
{
    return {{"ID", id}, {"NOM", number}, {"DATE", date}, {"S", 175000.0}, {"PRIZN_DK", "3"}, {"CHEKED", "V"},
            {"LOGIN", "1"}, {"NALOG", false}, {"VID_PLAT", "1"}, {"VID_OP", "01"}, {"OCHER_PL", "5"}, {"NDS", "20"},
            {"NAME_PL1", QStringLiteral("ООО \"Ромашка\"")}, {"INN_PL", "7707083893"}, {"KPP_PL", "770701001"},
            {"SCH_DT", "40702810200000000001"}, {"BANK_PL1", QStringLiteral("ПАО СБЕРБАНК")},
            {"K_SBANK_DT", "30101810400000000225"}, {"MFOBANK_PL", "044525225"}, {"TNP_PL", QStringLiteral("г.")},
            {"NNP_PL", QStringLiteral("МОСКВА")},
            {"NAME_POL1", QStringLiteral("АО \"Лютик\"")}, {"INN_POL", "7710140679"}, {"KPP_POL", "771001001"},
            {"SCH_KT", "40702810000000000002"}, {"BANK_POL1", QStringLiteral("БАНК ВТБ (ПАО)")},
            {"K_SBANK_KT", "30101810700000000187"}, {"MFOBANKPOL", "044525187"}, {"TNP_POL", QStringLiteral("г.")},
            {"NNP_POL", QStringLiteral("МОСКВА")},
            {"NAZNACH1", QStringLiteral("Оплата по счёту № %1 за товар").arg(number)},
            {"NAZNACH5", QStringLiteral("В т.ч. НДС 20% - 29166-67")}};
}

QVariantMap taxOrder(const QString &id, const QString &number, const QDate &date)
{
    QVariantMap d = order(id, number, date);
    d.insert({{"NALOG", true}, {"S", 12500.0}, {"NDS", "0"}, {"KPP_PL", "0"},
              {"NAME_POL1", QStringLiteral("Казначейство России")}, {"NAME_POL2", QStringLiteral("(ФНС России)")},
              {"INN_POL", "7727406020"},
              {"KPP_POL", "770701001"}, {"SCH_KT", "03100643000000018500"},
              {"BANK_POL1", QStringLiteral("ОТДЕЛЕНИЕ ТУЛА БАНКА РОССИИ//УФК по Тульской области г Тула")},
              {"K_SBANK_KT", "40102810445370000059"}, {"MFOBANKPOL", "017003983"}, {"NNP_POL", QStringLiteral("ТУЛА")},
              {"NAZNACH1", QStringLiteral("Единый налоговый платеж")}, {"NAZNACH5", QString()},
              {"P101_STATU", "01"}, {"P104_KBK", "18201061201010000510"}, {"P105_OKATO", "0"}, {"P106_OSNOV", "0"},
              {"P107_PERIO", "0"}, {"P108_N_DOC", "0"}, {"P109_D_DOC", "0"}, {"P22_KOD", "0"}});
    return d;
}

QByteArray ed807(const QList<Bank> &banks)
{
    QString entries;
    for (const Bank &b : banks) {
        entries += QStringLiteral("  <BICDirectoryEntry BIC=\"%1\">\n"
                                  "    <ParticipantInfo NameP=\"%2\" Tnp=\"г\" Nnp=\"Москва\" PtType=\"20\" ParticipantStatus=\"PSAC\"/>\n")
                       .arg(b.bik, QString(b.name).replace(QLatin1Char('"'), QLatin1String("&quot;")));
        if (!b.correspondent.isEmpty())
            entries += QStringLiteral("    <Accounts Account=\"%1\" RegulationAccountType=\"CRSA\" AccountStatus=\"ACAC\"/>\n")
                           .arg(b.correspondent);
        entries += QStringLiteral("  </BICDirectoryEntry>\n");
    }
    const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n"
                                        "<ED807 xmlns=\"urn:cbr-ru:ed:v2.0\" EDNo=\"1\" EDDate=\"2026-12-01\" InfoTypeCode=\"FIRR\">\n"
                                        "%1</ED807>\n")
                             .arg(entries);
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

QList<Bank> manyBanks(int count)
{
    QList<Bank> banks;
    for (int i = 0; i < count; ++i) {
        const QString tail = QStringLiteral("%1").arg(i + 100, 3, 10, QLatin1Char('0')).right(3);
        banks << Bank{QStringLiteral("0442%1%2").arg(i / 1000 + 10, 2, 10, QLatin1Char('0')).arg(tail),
                      QStringLiteral("БАНК № %1").arg(i + 1), QStringLiteral("30101810000000000%1").arg(tail)};
    }
    return banks;
}

} // namespace BankSamples
