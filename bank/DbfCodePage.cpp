#include "bank/DbfCodePage.h"

#include "bank/DbfTable.h"
#include "store/AppError.h"

#include <QStringDecoder>

#include <algorithm>
#include <climits>

namespace {

const char *const cp866 = "IBM866";
const char *const cp1251 = "windows-1251";

// Language driver bytes that writers of Russian tables put in the header.
const struct
{
    uchar driver;
    const char *codePage;
} languageDrivers[] = {
    {0x26, cp866},
    {0x65, cp866},
    {0x57, cp1251},
    {0xC9, cp1251},
};

const char *markedCodePage(uchar driver)
{
    for (const auto &d : languageDrivers)
        if (d.driver == driver)
            return d.codePage;
    return nullptr;
}

// Capital Cyrillic letters, which bank names are written in, count for a reading; box drawing
// and the other symbols the wrong code page turns them into count against; ASCII, small
// letters and the signs names do carry say nothing.
int russianScore(QStringView text)
{
    int score = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= u'А' && u <= u'Я') || u == u'Ё')
            ++score;
        else if (u >= 0x80 && !(u >= u'а' && u <= u'я') && u != u'ё' && u != u'№' && u != u'«' && u != u'»')
            --score;
    }
    return score;
}

bool scored(const DbfTable &table, int record)
{
    return table.hasRecordFlag(record) && !table.isDeleted(record);
}

// Bytes of ASCII alone read the same in either code page.
bool asciiOnly(const DbfTable &table, const QList<int> &fields)
{
    for (int r = 0; r < table.recordCount(); ++r)
        for (const int f : fields)
            if (f >= 0 && scored(table, r))
                for (const char c : table.raw(r, f))
                    if (uchar(c) >= 0x80)
                        return false;
    return true;
}

// How Russian the fields read in a code page over the whole table; INT_MIN where bytes do not decode.
int tableScore(const DbfTable &table, const QList<int> &fields, const char *codePage)
{
    QStringDecoder decoder(codePage);
    long long score = 0;
    for (int r = 0; r < table.recordCount(); ++r)
        for (const int f : fields)
            if (f >= 0 && scored(table, r))
                score += russianScore(QString(decoder.decode(table.raw(r, f))));
    return decoder.hasError() ? INT_MIN : int(std::clamp<long long>(score, INT_MIN + 1, INT_MAX));
}

QString shown(const char *codePage)
{
    return codePage == cp866 ? QStringLiteral("866 (DOS)") : QStringLiteral("1251 (Windows)");
}

} // namespace

const char *DbfCodePage(const DbfTable &table, const QList<int> &textFields)
{
    const int score866 = tableScore(table, textFields, cp866);
    const int score1251 = tableScore(table, textFields, cp1251);
    const char *const readable = score866 > score1251 && score866 > 0 ? cp866 : score1251 > score866 && score1251 > 0 ? cp1251 : nullptr;
    const uchar driver = table.languageDriver();
    if (const char *marked = markedCodePage(driver)) {
        // A mislabelled table would be stored garbled; the header gives way only to texts that say so plainly.
        if (readable && readable != marked && (marked == cp866 ? score866 : score1251) < 0)
            throw AppError(QStringLiteral("BNKSEEK.DBF: заголовок называет кодовую страницу %1 (байт 29 = 0x%2), "
                                          "а названия банков читаются только в кодовой странице %3; файл не загружен")
                               .arg(shown(marked)).arg(driver, 2, 16, QLatin1Char('0')).arg(shown(readable)));
        return marked;
    }
    if (asciiOnly(table, textFields))
        return cp866;
    if (!readable)
        throw AppError(QStringLiteral("BNKSEEK.DBF: заголовок не называет кодовую страницу (байт 29 = 0x%1), а названия банков "
                                      "не читаются по-русски ни в кодовой странице 866, ни в 1251; файл не загружен")
                           .arg(driver, 2, 16, QLatin1Char('0')));
    return readable;
}
