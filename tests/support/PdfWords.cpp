#include "support/PdfWords.h"

#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace PdfWords {

namespace {
constexpr double mmPerPoint = 25.4 / 72.0;
}

QList<Word> read(const QString &pdf, QString *error)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) {
        if (error)
            *error = QStringLiteral("pdftotext failed: ") + QString::fromUtf8(tool.readAllStandardError());
        return {};
    }
    QList<Word> words;
    QXmlStreamReader xml(tool.readAllStandardOutput());
    int page = -1;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page")) {
            ++page;
        } else if (xml.name() == QLatin1String("word")) {
            const auto a = xml.attributes();
            Word word{page, {}, a.value("xMin").toDouble() * mmPerPoint, a.value("yMin").toDouble() * mmPerPoint,
                      a.value("xMax").toDouble() * mmPerPoint, a.value("yMax").toDouble() * mmPerPoint};
            word.text = xml.readElementText();
            words << word;
        }
    }
    if (xml.hasError() && error)
        *error = QStringLiteral("pdftotext output unreadable: ") + xml.errorString();
    return words;
}

int pageCount(const QString &pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdfinfo"), {pdf});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return -1;
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    const auto m = pages.match(QString::fromUtf8(tool.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace PdfWords
