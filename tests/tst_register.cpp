#include "support/Engines.h"
#include "support/Keys.h"
#include "support/WindowFixture.h"

#include "register/RegisterKeyMap.h"
#include "register/RegisterModel.h"
#include "register/RegisterPage.h"
#include "register/SearchBox.h"
#include "store/Schema.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QPlainTextEdit>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>

#include <functional>
#include <memory>

using Modifiers = Qt::KeyboardModifiers;

namespace {

// The hand-made register, newest first as the grid lists it. The values are
// picked so that each prefix typed in the search box lands on a different row.
struct Doc
{
    const char *id;
    QDate date;
    const char *nom;
    const char *recipient;
    double amount;
    QVariant nalog;
    const char *vid;
    const char *cheked;
    const char *login;
    const char *state;
};

const QList<Doc> &currentDocs()
{
    static const QList<Doc> docs = {
        {"D1", QDate(2024, 3, 20), "12", "ООО \"Вектор\"", 1500, true, "1", "V", "1", "2"},
        {"D2", QDate(2024, 3, 15), "1234567", "ИП Д'Артаньян", 1234.5, false, "2", "", "2", "3"},
        {"D3", QDate(2024, 3, 10), "105", "ООО \"Вектор\"", 1000000, QVariant(), "9", "", "1", "3"},
        {"D4", QDate(2024, 2, 28), "105", "АО \"Гамма\"", 1234.5, true, "3", "V", "2", "1"},
        {"D5", QDate(2024, 1, 5), "7", "ООО \"Восток\"", 99.99, false, "0", "", "1", "0"},
    };
    return docs;
}

const QList<Doc> &archiveDocs()
{
    static const QList<Doc> docs = {
        {"A1", QDate(2024, 2, 1), "105", "ООО \"Вектор\"", 1234.5, false, "1", "", "1", "3"},
        {"A2", QDate(2023, 12, 1), "3", "АО \"Гамма\"", 50, true, "2", "V", "2", "3"},
    };
    return docs;
}

const QStringList allCurrent = {"D1", "D2", "D3", "D4", "D5"};

QVariantMap columnsOf(const Doc &d)
{
    return {{"ID", QString::fromUtf8(d.id)},
            {"DATE", d.date},
            {"NOM", QString::fromUtf8(d.nom)},
            {"NAME_PL1", QStringLiteral("ООО \"Плательщик\"")},
            {"NAME_POL1", QString::fromUtf8(d.recipient)},
            {"S", d.amount},
            {"NALOG", d.nalog},
            {"VID_PLAT", QString::fromUtf8(d.vid)},
            {"CHEKED", QString::fromUtf8(d.cheked)},
            {"LOGIN", QString::fromUtf8(d.login)},
            {"PRIZN_DK", QString::fromUtf8(d.state)}};
}

QTableView *gridOf(WindowFixture &f)
{
    return f.window().registerPage()->grid();
}

SearchBox *boxOf(WindowFixture &f)
{
    return f.window().registerPage()->searchBox();
}

// The IDs of the rows the grid lists, in order.
QStringList shownIds(WindowFixture &f)
{
    DataSet &q1 = f.window().q1();
    const int count = gridOf(f)->model()->rowCount();
    if (count != q1.recordCount())
        return {QStringLiteral("grid lists %1 rows, q1 has %2").arg(count).arg(q1.recordCount())};
    QStringList ids;
    const int id = q1.columnIndex(QStringLiteral("ID"));
    for (int row = 0; row < count; ++row)
        ids << q1.rawAt(row, id);
    return ids;
}

// The ID of the selected row; a text naming the disagreement when the grid's
// current row, its selection and q1's cursor are not on the same row.
QString selectedId(WindowFixture &f)
{
    QTableView *grid = gridOf(f);
    DataSet &q1 = f.window().q1();
    const int row = grid->currentIndex().row();
    const QModelIndexList selected = grid->selectionModel()->selectedRows();
    if (row != q1.recNo())
        return QStringLiteral("grid row %1, q1 row %2").arg(row).arg(q1.recNo());
    if (row < 0)
        return QStringLiteral("no row");
    if (selected.size() != 1 || selected.first().row() != row)
        return QStringLiteral("row %1 current but not the one selected").arg(row);
    return q1.text(QStringLiteral("ID"));
}

int rowOf(WindowFixture &f, const QString &id)
{
    DataSet &q1 = f.window().q1();
    const int c = q1.columnIndex(QStringLiteral("ID"));
    for (int row = 0; row < q1.recordCount(); ++row)
        if (q1.rawAt(row, c) == id)
            return row;
    return -1;
}

// Every stored value of a table, for telling whether a key wrote anything.
QString dump(WindowFixture &f, const QString &table)
{
    QSqlQuery q = f.data().db().run(QStringLiteral("select * from %1 order by ID").arg(table));
    QStringList rows;
    while (q.next()) {
        QStringList values;
        for (int c = 0; c < q.record().count(); ++c)
            values << q.value(c).toString();
        rows << values.join(QLatin1Char('|'));
    }
    return rows.join(QLatin1Char('\n'));
}

bool isYellowish(QRgb p)
{
    return qRed(p) > 190 && qGreen(p) > 190 && qBlue(p) < 64 && qAbs(qRed(p) - qGreen(p)) < 12;
}

bool isWhitish(QRgb p)
{
    return qRed(p) > 230 && qGreen(p) > 230 && qBlue(p) > 230;
}

int countPixels(const QImage &image, const QRect &rect, bool (*test)(QRgb))
{
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (test(image.pixel(x, y)))
                ++n;
    return n;
}

QImage gridImage(WindowFixture &f)
{
    return gridOf(f)->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// A pixel of the cell's own background: right of the short texts, clear of the lines.
QColor backgroundAt(WindowFixture &f, const QImage &image, int row, int column)
{
    const QRect cell = gridOf(f)->visualRect(gridOf(f)->model()->index(row, column));
    return image.pixelColor(cell.right() - 3, cell.center().y());
}

} // namespace

class RegisterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();

    void columns_data();
    void columns();
    void legend();
    void cellTexts_data();
    void cellTexts();
    void textColours_data();
    void textColours();
    void paintsRowsOverGridBackground();
    void archiveSwitch();

    void searchBoxOpens_data();
    void searchBoxOpens();
    void typingLocates_data();
    void typingLocates();
    void enterFilters_data();
    void enterFilters();
    void f9RemovesFilter_data();
    void f9RemovesFilter();
    void escapeInBoxReturnsToGrid_data();
    void escapeInBoxReturnsToGrid();
    void enterOnEmptyRegister_data();
    void enterOnEmptyRegister();
    void filterStaysAcrossArchiveSwitch_data();
    void filterStaysAcrossArchiveSwitch();
    void refreshKeepsDocumentAndFilter_data();
    void refreshKeepsDocumentAndFilter();
    void refreshOfEmptyListShowsOthersDocuments();

    void escapeAsksBeforeQuitting_data();
    void escapeAsksBeforeQuitting();
    void keyMap_data();
    void keyMap();
    void keysWithoutCommandsChangeNothing_data();
    void keysWithoutCommandsChangeNothing();

private:
    // The main window signed in over the hand-made register; prepare runs on
    // the database before sign-in.
    std::unique_ptr<WindowFixture> signedIn(const QString &password = QStringLiteral("1"),
                                            const std::function<void(TempDatabase &)> &prepare = {});
};

void RegisterTest::initTestCase_data()
{
    Engines::addRows();
}

std::unique_ptr<WindowFixture> RegisterTest::signedIn(const QString &password,
                                                      const std::function<void(TempDatabase &)> &prepare)
{
    return WindowFixture::signedInOver(password, [&](TempDatabase &d) {
        for (const Doc &doc : currentDocs())
            d.addDocument(QStringLiteral("PL"), columnsOf(doc));
        for (const Doc &doc : archiveDocs())
            d.addDocument(QStringLiteral("PL_A"), columnsOf(doc));
        if (prepare)
            prepare(d);
    });
}

// ---------------------------------------------------------------------------
// What the screen shows

void RegisterTest::columns_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("widest"); // what must show whole, where the design width may be too narrow
    QTest::newRow("date") << 0 << "Дата" << 79 << "";
    QTest::newRow("number") << 1 << "Номер" << 0 << "0000000";
    QTest::newRow("payer") << 2 << "Плательщик" << 127 << "";
    QTest::newRow("tax") << 3 << "Налог" << 60 << "";
    QTest::newRow("recipient") << 4 << "Получатель" << 219 << "";
    QTest::newRow("kind") << 5 << "Вид платежа" << 67 << "";
    // The largest amount the words are made for.
    QTest::newRow("amount") << 6 << "Сумма" << 103 << "999999999999999,99";
    QTest::newRow("mark") << 7 << "V" << 21 << "";
    QTest::newRow("creator") << 8 << "L" << 15 << "";
}

void RegisterTest::columns()
{
    QFETCH(int, column);
    QFETCH(QString, caption);
    QFETCH(int, width);
    QFETCH(QString, widest);
    SIGNED_IN(f);
    QTableView *grid = gridOf(*f);
    QCOMPARE(grid->model()->columnCount(), 9);
    QVERIFY(!grid->horizontalHeader()->isHidden());
    for (const QFont &font : {grid->font(), grid->horizontalHeader()->font()}) {
        QVERIFY(font.bold());
        QCOMPARE(font.pixelSize(), 13);
    }
    QCOMPARE(grid->model()->headerData(column, Qt::Horizontal).toString(), caption);
    if (widest.isEmpty()) {
        QCOMPARE(grid->columnWidth(column), width);
    } else {
        // Drawn 2 pixels in, it must not be cut by the column's edge.
        const int needed = QFontMetrics(grid->font()).horizontalAdvance(widest) + 2;
        QVERIFY(grid->columnWidth(column) >= width);
        QVERIFY2(grid->columnWidth(column) > needed,
                 qPrintable(QStringLiteral("width %1, %2 needs %3").arg(grid->columnWidth(column)).arg(widest).arg(needed)));
    }
}

void RegisterTest::legend()
{
    SIGNED_IN(f);
    auto *memo = f->window().registerPage()->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
    QVERIFY(memo);
    QVERIFY(memo->isVisible());
    const QStringList expected = {
        QStringLiteral("F1-помощь, Esc-выход,Enter-изменить,F2-меню,F4-Печать,F5-копировать,"),
        QStringLiteral("фильтры:F6-по сумме,Ctrl+F6-по номеру док,Alt+F6-по получателю,F9-Снять"),
        QStringLiteral("F7/Ins-создать,F8/Del-Удалить,F10-Убрать отметки, F11-Обновить,Space-Отметить"),
        QStringLiteral("Ctrl+Enter-просмотр,Ctrl+F3-снять блок, Alt+F5-Архив/текущие,F12-в архив/из архива"),
    };
    QCOMPARE(memo->toPlainText().split(QLatin1Char('\n')), expected);
    QCOMPARE(memo->height(), 96);
    QCOMPARE(memo->focusPolicy(), Qt::NoFocus);
}

void RegisterTest::cellTexts_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("date") << "D1" << 0 << "20.03.24";
    QTest::newRow("date, January") << "D5" << 0 << "05.01.24";
    QTest::newRow("number") << "D2" << 1 << "1234567";
    QTest::newRow("payer") << "D1" << 2 << "ООО \"Плательщик\"";
    QTest::newRow("tax true") << "D1" << 3 << "Налог";
    QTest::newRow("tax false") << "D2" << 3 << "Нет";
    QTest::newRow("tax without a code row") << "D3" << 3 << "";
    QTest::newRow("recipient") << "D2" << 4 << "ИП Д'Артаньян";
    QTest::newRow("kind 1") << "D1" << 5 << "Электронно";
    QTest::newRow("kind 3") << "D4" << 5 << "Телеграфом";
    QTest::newRow("kind without a code row") << "D3" << 5 << "";
    QTest::newRow("whole amount") << "D1" << 6 << "1500";
    QTest::newRow("amount with a fraction") << "D2" << 6 << "1234,5";
    QTest::newRow("amount of a million") << "D3" << 6 << "1000000";
    QTest::newRow("amount with kopecks") << "D5" << 6 << "99,99";
    QTest::newRow("marked") << "D1" << 7 << "V";
    QTest::newRow("unmarked") << "D2" << 7 << "";
    QTest::newRow("creator") << "D2" << 8 << "2";
}

void RegisterTest::cellTexts()
{
    QFETCH(QString, id);
    QFETCH(int, column);
    QFETCH(QString, text);
    SIGNED_IN(f);
    const int row = rowOf(*f, id);
    QVERIFY(row >= 0);
    RegisterModel *model = f->window().registerPage()->model();
    QCOMPARE(model->data(model->index(row, column)).toString(), text);
}

void RegisterTest::textColours_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QStringList>("colours");
    // User 1 sees everyone's documents; user 2 only his own.
    QTest::newRow("all documents") << "1" << allCurrent
                                   << QStringList{"white", "yellow", "white", "yellow", "white"};
    QTest::newRow("own documents") << "2" << QStringList{"D2", "D4"} << QStringList{"white", "white"};
}

void RegisterTest::textColours()
{
    QFETCH(QString, password);
    QFETCH(QStringList, ids);
    QFETCH(QStringList, colours);
    SIGNED_IN(f, password);
    QCOMPARE(shownIds(*f), ids);
    RegisterModel *model = f->window().registerPage()->model();
    for (int row = 0; row < ids.size(); ++row) {
        const QColor expected = colours.at(row) == QLatin1String("white") ? QColor(255, 255, 255)
                                                                          : QColor(255, 255, 0);
        QCOMPARE(model->textColor(row), expected);
        for (int column = 0; column < model->columnCount(); ++column)
            QCOMPARE(model->data(model->index(row, column), Qt::ForegroundRole).value<QColor>(), expected);
    }
}

void RegisterTest::paintsRowsOverGridBackground()
{
    SIGNED_IN(f);
    QCOMPARE(selectedId(*f), QStringLiteral("D1"));
    QImage image = gridImage(*f);
    QTableView *grid = gridOf(*f);
    // Row 1 (D2) is user 2's, row 2 (D3) the signed-in user's; neither is selected.
    const QRect other = grid->visualRect(grid->model()->index(1, 0));
    const QRect own = grid->visualRect(grid->model()->index(2, 0));
    QVERIFY(countPixels(image, other, isYellowish) > 0);
    QCOMPARE(countPixels(image, other, isWhitish), 0);
    QVERIFY(countPixels(image, own, isWhitish) > 0);
    QCOMPARE(countPixels(image, own, isYellowish), 0);
    QCOMPARE(backgroundAt(*f, image, 1, 4), QColor(128, 128, 128));

    Keys::press(Qt::Key_F5, Qt::AltModifier);
    QCOMPARE(shownIds(*f), (QStringList{"A1", "A2"}));
    image = gridImage(*f);
    QCOMPARE(backgroundAt(*f, image, 1, 4), QColor(0, 128, 0));
    // A2 is user 2's: yellow on green.
    QVERIFY(countPixels(image, grid->visualRect(grid->model()->index(1, 0)), isYellowish) > 0);

    Keys::press(Qt::Key_F5, Qt::AltModifier);
    QCOMPARE(backgroundAt(*f, gridImage(*f), 1, 4), QColor(128, 128, 128));
}

void RegisterTest::archiveSwitch()
{
    SIGNED_IN(f);
    RegisterPage *page = f->window().registerPage();
    QTableView *grid = gridOf(*f);
    QVERIFY(!f->window().session().isArchive());
    QCOMPARE(page->gridBackground(), QColor(128, 128, 128));
    Keys::press(Qt::Key_Down);
    Keys::press(Qt::Key_Down);
    QCOMPARE(selectedId(*f), QStringLiteral("D3"));

    Keys::press(Qt::Key_F5, Qt::AltModifier);
    QVERIFY(f->window().session().isArchive());
    QCOMPARE(page->gridBackground(), QColor(0, 128, 0));
    QCOMPARE(grid->palette().color(QPalette::Base), QColor(0, 128, 0));
    QCOMPARE(shownIds(*f), (QStringList{"A1", "A2"}));
    QCOMPARE(selectedId(*f), QStringLiteral("A1"));
    QCOMPARE(focusName(), QStringLiteral("grid_m"));

    Keys::press(Qt::Key_Down);
    Keys::press(Qt::Key_F5, Qt::AltModifier);
    QVERIFY(!f->window().session().isArchive());
    QCOMPARE(page->gridBackground(), QColor(128, 128, 128));
    QCOMPARE(grid->palette().color(QPalette::Base), QColor(128, 128, 128));
    QCOMPARE(shownIds(*f), allCurrent);
    QCOMPARE(selectedId(*f), QStringLiteral("D1"));
    QCOMPARE(f->dialogs().log.size(), 1); // the password prompt only
}

// ---------------------------------------------------------------------------
// The search box

void RegisterTest::searchBoxOpens_data()
{
    QTest::addColumn<Modifiers>("modifiers");
    QTest::addColumn<int>("column"); // the grid column the box lies over
    QTest::newRow("F6") << Modifiers(Qt::NoModifier) << 6;
    QTest::newRow("Ctrl+F6") << Modifiers(Qt::ControlModifier) << 1;
    QTest::newRow("Alt+F6") << Modifiers(Qt::AltModifier) << 4;
    QTest::newRow("Ctrl+Shift+F6") << Modifiers(Qt::ControlModifier | Qt::ShiftModifier) << 6;
    QTest::newRow("Shift+F6") << Modifiers(Qt::ShiftModifier) << 6;
    QTest::newRow("Ctrl+Alt+F6") << Modifiers(Qt::ControlModifier | Qt::AltModifier) << 6;
    QTest::newRow("Alt+Shift+F6") << Modifiers(Qt::AltModifier | Qt::ShiftModifier) << 6;
}

void RegisterTest::searchBoxOpens()
{
    QFETCH(Modifiers, modifiers);
    QFETCH(int, column);
    SIGNED_IN(f);
    SearchBox *box = boxOf(*f);
    QCOMPARE(box->objectName(), QStringLiteral("e_find"));
    QVERIFY(!box->isVisible());

    // Leave the box elsewhere, with text in it, before opening it again.
    Keys::press(Qt::Key_F6, column == 1 ? Qt::AltModifier : Qt::ControlModifier);
    Keys::type(QStringLiteral("1"));
    QCOMPARE(box->text(), QStringLiteral("1"));
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));

    Keys::press(Qt::Key_F6, modifiers);
    QVERIFY(box->isVisible());
    QCOMPARE(box->size(), QSize(122, 24));
    QCOMPARE(box->y(), 0);
    QCOMPARE(box->parentWidget(), f->window().registerPage());
    QCOMPARE(focusName(), QStringLiteral("e_find"));
    QCOMPARE(box->text(), QString());
    QVERIFY(f->dialogs().errors().isEmpty());

    // Its middle stands over the title of the column it searches.
    QHeaderView *header = gridOf(*f)->horizontalHeader();
    const int left = header->mapTo(f->window().registerPage(), QPoint(header->sectionViewportPosition(column), 0)).x();
    const int middle = box->geometry().center().x();
    QVERIFY2(middle > left && middle < left + header->sectionSize(column),
             qPrintable(QStringLiteral("box middle %1, column from %2 to %3")
                            .arg(middle).arg(left).arg(left + header->sectionSize(column))));
    // It begins where its column begins, not over the column before.
    QCOMPARE(box->x(), left);
    QCOMPARE(box->grab().toImage().pixelColor(box->width() - 6, box->height() / 2), QColor(255, 255, 0));
}

void RegisterTest::typingLocates_data()
{
    QTest::addColumn<Modifiers>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("selected"); // after each character
    // Every case starts with D2 selected; the register lists D1..D5.
    QTest::newRow("amount")
        << Modifiers(Qt::NoModifier) << "10" << QStringList{"D1", "D3"};
    QTest::newRow("amount, then no match keeps the row")
        << Modifiers(Qt::NoModifier) << "109" << QStringList{"D1", "D3", "D3"};
    QTest::newRow("amount with a comma")
        << Modifiers(Qt::NoModifier) << "99," << QStringList{"D5", "D5", "D5"};
    QTest::newRow("amount that starts no value")
        << Modifiers(Qt::NoModifier) << "5" << QStringList{"D2"};
    QTest::newRow("amount, Ctrl+Shift+F6")
        << Modifiers(Qt::ControlModifier | Qt::ShiftModifier) << "12" << QStringList{"D1", "D2"};
    QTest::newRow("number")
        << Modifiers(Qt::ControlModifier) << "10" << QStringList{"D1", "D3"};
    QTest::newRow("number, last row") << Modifiers(Qt::ControlModifier) << "7" << QStringList{"D5"};
    QTest::newRow("recipient")
        << Modifiers(Qt::AltModifier) << "ООО \"Во"
        << QStringList{"D1", "D1", "D1", "D1", "D1", "D1", "D5"};
    QTest::newRow("recipient, then no match keeps the row")
        << Modifiers(Qt::AltModifier) << "АИ" << QStringList{"D4", "D4"};
}

void RegisterTest::typingLocates()
{
    QFETCH(Modifiers, modifiers);
    QFETCH(QString, text);
    QFETCH(QStringList, selected);
    SIGNED_IN(f);
    Keys::press(Qt::Key_Down);
    QCOMPARE(selectedId(*f), QStringLiteral("D2"));
    Keys::press(Qt::Key_F6, modifiers);
    QCOMPARE(selectedId(*f), QStringLiteral("D2")); // opening the box moves nothing
    QCOMPARE(text.size(), selected.size());
    for (int i = 0; i < text.size(); ++i) {
        Keys::type(QString(text.at(i)));
        QCOMPARE(boxOf(*f)->text(), text.left(i + 1));
        QCOMPARE(focusName(), QStringLiteral("e_find"));
        QVERIFY2(selectedId(*f) == selected.at(i),
                 qPrintable(QStringLiteral("after \"%1\": %2, expected %3")
                                .arg(text.left(i + 1), selectedId(*f), selected.at(i))));
    }
    QCOMPARE(shownIds(*f), allCurrent);
    QVERIFY(!f->window().q1().isFiltered());
    QVERIFY(f->dialogs().errors().isEmpty());
}

void RegisterTest::enterFilters_data()
{
    QTest::addColumn<Modifiers>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value"); // what the box holds afterwards
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("selected");
    QTest::newRow("amount") << Modifiers(Qt::NoModifier) << "12" << "1234,5" << QStringList{"D2", "D4"} << "D2";
    QTest::newRow("amount of a million")
        << Modifiers(Qt::NoModifier) << "10" << "1000000" << QStringList{"D3"} << "D3";
    QTest::newRow("amount, nothing typed")
        << Modifiers(Qt::NoModifier) << "" << "1234,5" << QStringList{"D2", "D4"} << "D2";
    QTest::newRow("number") << Modifiers(Qt::ControlModifier) << "10" << "105" << QStringList{"D3", "D4"} << "D3";
    QTest::newRow("number, prefix of another")
        << Modifiers(Qt::ControlModifier) << "12" << "12" << QStringList{"D1"} << "D1";
    QTest::newRow("recipient")
        << Modifiers(Qt::AltModifier) << "ООО" << "ООО \"Вектор\"" << QStringList{"D1", "D3"} << "D1";
    QTest::newRow("recipient with an apostrophe")
        << Modifiers(Qt::AltModifier) << "ИП" << "ИП Д'Артаньян" << QStringList{"D2"} << "D2";
}

void RegisterTest::enterFilters()
{
    QFETCH(Modifiers, modifiers);
    QFETCH(QString, text);
    QFETCH(QString, value);
    QFETCH(QStringList, shown);
    QFETCH(QString, selected);
    SIGNED_IN(f);
    Keys::press(Qt::Key_Down); // D2, for the case where nothing is typed
    Keys::press(Qt::Key_F6, modifiers);
    Keys::type(text);
    Keys::press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QCOMPARE(boxOf(*f)->text(), value);
    QVERIFY(boxOf(*f)->isVisible());
    QVERIFY(f->window().q1().isFiltered());
    QCOMPARE(shownIds(*f), shown);
    QCOMPARE(selectedId(*f), selected);
    QVERIFY(f->dialogs().errors().isEmpty());

    // The grid keeps working inside the filtered list.
    Keys::press(Qt::Key_PageDown);
    QCOMPARE(selectedId(*f), shown.last());
}

void RegisterTest::f9RemovesFilter_data()
{
    QTest::addColumn<bool>("inBox");
    QTest::newRow("in the grid") << false;
    QTest::newRow("in the box") << true;
}

void RegisterTest::f9RemovesFilter()
{
    QFETCH(bool, inBox);
    SIGNED_IN(f);
    Keys::press(Qt::Key_F6, Qt::ControlModifier);
    Keys::type(QStringLiteral("10"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(shownIds(*f), (QStringList{"D3", "D4"}));
    // The box is shown in both cases, focused only in the second.
    Keys::press(Qt::Key_F6);
    if (!inBox)
        Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), inBox ? QStringLiteral("e_find") : QStringLiteral("grid_m"));
    QVERIFY(boxOf(*f)->isVisible());

    Keys::press(Qt::Key_F9);
    QVERIFY(!boxOf(*f)->isVisible());
    QVERIFY(!f->window().q1().isFiltered());
    QCOMPARE(shownIds(*f), allCurrent);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QVERIFY(selectedId(*f).startsWith(QLatin1Char('D')));

    // The grid answers keys again: a second filter works.
    Keys::press(Qt::Key_F6);
    Keys::type(QStringLiteral("9"));
    Keys::press(Qt::Key_Return);
    QCOMPARE(shownIds(*f), QStringList{"D5"});
}

void RegisterTest::escapeInBoxReturnsToGrid_data()
{
    QTest::addColumn<bool>("filtered");
    QTest::newRow("no filter") << false;
    QTest::newRow("filter on") << true;
}

void RegisterTest::escapeInBoxReturnsToGrid()
{
    QFETCH(bool, filtered);
    SIGNED_IN(f);
    QStringList shown = allCurrent;
    if (filtered) {
        Keys::press(Qt::Key_F6, Qt::AltModifier);
        Keys::type(QStringLiteral("ООО"));
        Keys::press(Qt::Key_Return);
        shown = QStringList{"D1", "D3"};
        QCOMPARE(shownIds(*f), shown);
    }
    Keys::press(Qt::Key_F6, Qt::ControlModifier);
    Keys::type(QStringLiteral("10"));
    QCOMPARE(selectedId(*f), QStringLiteral("D3"));
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QVERIFY(boxOf(*f)->isVisible());
    QCOMPARE(boxOf(*f)->text(), QStringLiteral("10"));
    QCOMPARE(f->window().q1().isFiltered(), filtered);
    QCOMPARE(shownIds(*f), shown);
    QCOMPARE(selectedId(*f), QStringLiteral("D3"));
    QVERIFY(f->window().isVisible()); // Esc in the box does not ask to quit
    QCOMPARE(f->dialogs().log.size(), 1);
}

void RegisterTest::enterOnEmptyRegister_data()
{
    QTest::addColumn<Modifiers>("modifiers");
    QTest::newRow("amount") << Modifiers(Qt::NoModifier);
    QTest::newRow("number") << Modifiers(Qt::ControlModifier);
    QTest::newRow("recipient") << Modifiers(Qt::AltModifier);
}

void RegisterTest::enterOnEmptyRegister()
{
    QFETCH(Modifiers, modifiers);
    SIGNED_IN(f, QStringLiteral("1"), [](TempDatabase &d) { d.db().execute(QStringLiteral("delete from PL_A")); });
    Keys::press(Qt::Key_F5, Qt::AltModifier);
    QCOMPARE(shownIds(*f), QStringList());
    Keys::press(Qt::Key_F6, modifiers);
    Keys::type(QStringLiteral("1"));
    Keys::press(Qt::Key_Return);
    QVERIFY(f->dialogs().errors().isEmpty());
    QCOMPARE(boxOf(*f)->text(), QString());
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QVERIFY(f->window().q1().isFiltered());
    // The filter on the empty value holds for the current documents too.
    Keys::press(Qt::Key_F5, Qt::AltModifier);
    QCOMPARE(shownIds(*f), QStringList());
    Keys::press(Qt::Key_F9);
    QCOMPARE(shownIds(*f), allCurrent);
    QCOMPARE(selectedId(*f), QStringLiteral("D1"));
    QVERIFY(f->dialogs().errors().isEmpty());
}

void RegisterTest::filterStaysAcrossArchiveSwitch_data()
{
    QTest::addColumn<Modifiers>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("current");
    QTest::addColumn<QStringList>("archive");
    QTest::newRow("amount") << Modifiers(Qt::NoModifier) << "1234" << QStringList{"D2", "D4"} << QStringList{"A1"};
    QTest::newRow("number") << Modifiers(Qt::ControlModifier) << "10" << QStringList{"D3", "D4"}
                            << QStringList{"A1"};
    QTest::newRow("recipient") << Modifiers(Qt::AltModifier) << "АО" << QStringList{"D4"} << QStringList{"A2"};
}

void RegisterTest::filterStaysAcrossArchiveSwitch()
{
    QFETCH(Modifiers, modifiers);
    QFETCH(QString, text);
    QFETCH(QStringList, current);
    QFETCH(QStringList, archive);
    SIGNED_IN(f);
    Keys::press(Qt::Key_F6, modifiers);
    Keys::type(text);
    Keys::press(Qt::Key_Return);
    QCOMPARE(shownIds(*f), current);
    Keys::press(Qt::Key_F5, Qt::AltModifier);
    QCOMPARE(shownIds(*f), archive);
    QCOMPARE(selectedId(*f), archive.first());
    Keys::press(Qt::Key_F5, Qt::AltModifier);
    QCOMPARE(shownIds(*f), current);
    Keys::press(Qt::Key_F9);
    QCOMPARE(shownIds(*f), allCurrent);
    QVERIFY(f->dialogs().errors().isEmpty());
}

void RegisterTest::refreshKeepsDocumentAndFilter_data()
{
    QTest::addColumn<bool>("filtered");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("no filter") << false << allCurrent << QStringList{"D6", "D7", "D1", "D2", "D3", "D4", "D5"};
    QTest::newRow("filter on number") << true << QStringList{"D3", "D4"} << QStringList{"D6", "D3", "D4"};
}

void RegisterTest::refreshKeepsDocumentAndFilter()
{
    QFETCH(bool, filtered);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    SIGNED_IN(f);
    if (filtered) {
        Keys::press(Qt::Key_F6, Qt::ControlModifier);
        Keys::type(QStringLiteral("10"));
        Keys::press(Qt::Key_Return);
    }
    QCOMPARE(shownIds(*f), before);
    while (selectedId(*f) != QLatin1String("D4") && f->window().q1().recNo() + 1 < before.size())
        Keys::press(Qt::Key_Down);
    QCOMPARE(selectedId(*f), QStringLiteral("D4"));

    // Another computer adds two documents, newer than all the others.
    Doc d6 = currentDocs().at(2);
    d6.id = "D6";
    d6.date = QDate(2024, 4, 2);
    Doc d7 = currentDocs().at(0);
    d7.id = "D7";
    d7.date = QDate(2024, 4, 1);
    d7.nom = "999";
    f->data().addDocument(QStringLiteral("PL"), columnsOf(d6));
    const QVariantMap d7columns = columnsOf(d7);
    const TableDef &pl = *Schema::table(QStringLiteral("PL"));
    QStringList names;
    QStringList marks;
    QVariantList values;
    for (auto it = d7columns.begin(); it != d7columns.end(); ++it) {
        names << it.key();
        marks << QStringLiteral("?");
        values << f->otherComputer().dialect().toDb(Schema::column(pl, it.key())->kind, it.value());
    }
    f->otherComputer().run(QStringLiteral("insert into PL (%1) values (%2)")
                               .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                           values);
    QCOMPARE(shownIds(*f), before); // a snapshot until refreshed

    Keys::press(Qt::Key_F11);
    QCOMPARE(shownIds(*f), after);
    QCOMPARE(selectedId(*f), QStringLiteral("D4"));
    QCOMPARE(f->window().q1().isFiltered(), filtered);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QVERIFY(f->dialogs().errors().isEmpty());
}

// ---------------------------------------------------------------------------
// Keys of the grid

void RegisterTest::escapeAsksBeforeQuitting_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("no") << false;
    QTest::newRow("yes") << true;
}

void RegisterTest::escapeAsksBeforeQuitting()
{
    QFETCH(bool, answer);
    SIGNED_IN(f);
    const QString before = dump(*f, QStringLiteral("PL"));
    f->dialogs().yesNoAnswers.enqueue(answer);
    Keys::press(Qt::Key_Escape);
    QCOMPARE(f->dialogs().log.mid(1),
             QStringList{QStringLiteral("yesno:Завершение программы|Выйти из программы?")});
    QCOMPARE(f->dialogs().unanswered, 0);
    QCOMPARE(f->window().isVisible(), !answer);
    if (!answer)
        QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QCOMPARE(dump(*f, QStringLiteral("PL")), before);
}

void RegisterTest::keyMap_data()
{
    using C = RegisterCommand;
    QTest::addColumn<int>("key");
    QTest::addColumn<Modifiers>("modifiers");
    QTest::addColumn<int>("command"); // -1: the grid keeps the key
    const Modifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier, alt = Qt::AltModifier,
                    shift = Qt::ShiftModifier, keypad = Qt::KeypadModifier;
    QTest::newRow("Enter") << int(Qt::Key_Return) << none << int(C::Open);
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << ctrl << int(C::View);
    QTest::newRow("Ctrl+Shift+Enter") << int(Qt::Key_Return) << (ctrl | shift) << int(C::Open);
    QTest::newRow("Ctrl+Alt+Enter") << int(Qt::Key_Return) << (ctrl | alt) << int(C::Open);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << keypad << int(C::Open);
    QTest::newRow("Ctrl+keypad Enter") << int(Qt::Key_Enter) << (ctrl | keypad) << int(C::View);
    QTest::newRow("Esc") << int(Qt::Key_Escape) << none << int(C::Quit);
    QTest::newRow("Shift+Esc") << int(Qt::Key_Escape) << shift << int(C::Quit);
    QTest::newRow("Space") << int(Qt::Key_Space) << none << int(C::Mark);
    QTest::newRow("Insert") << int(Qt::Key_Insert) << none << int(C::NewDocument);
    QTest::newRow("F7") << int(Qt::Key_F7) << ctrl << int(C::NewDocument);
    QTest::newRow("Delete") << int(Qt::Key_Delete) << none << int(C::Delete);
    QTest::newRow("F8") << int(Qt::Key_F8) << none << int(C::Delete);
    QTest::newRow("F1") << int(Qt::Key_F1) << none << int(C::Help);
    QTest::newRow("F2") << int(Qt::Key_F2) << alt << int(C::Menu);
    QTest::newRow("Ctrl+F3") << int(Qt::Key_F3) << ctrl << int(C::Unlock);
    QTest::newRow("F3") << int(Qt::Key_F3) << none << int(C::Nothing);
    QTest::newRow("Ctrl+Alt+F3") << int(Qt::Key_F3) << (ctrl | alt) << int(C::Nothing);
    QTest::newRow("Ctrl+Shift+F3") << int(Qt::Key_F3) << (ctrl | shift) << int(C::Nothing);
    QTest::newRow("F4") << int(Qt::Key_F4) << none << int(C::Print);
    QTest::newRow("Alt+F4") << int(Qt::Key_F4) << alt << int(C::Nothing);
    QTest::newRow("Alt+Shift+F4") << int(Qt::Key_F4) << (alt | shift) << int(C::Print);
    QTest::newRow("Alt+F5") << int(Qt::Key_F5) << alt << int(C::SwitchArchive);
    QTest::newRow("F5") << int(Qt::Key_F5) << none << int(C::Copy);
    QTest::newRow("Shift+F5") << int(Qt::Key_F5) << shift << int(C::Copy);
    QTest::newRow("Ctrl+Alt+F5") << int(Qt::Key_F5) << (ctrl | alt) << int(C::Copy);
    QTest::newRow("F6") << int(Qt::Key_F6) << none << int(C::FindAmount);
    QTest::newRow("Ctrl+F6") << int(Qt::Key_F6) << ctrl << int(C::FindNumber);
    QTest::newRow("Alt+F6") << int(Qt::Key_F6) << alt << int(C::FindRecipient);
    QTest::newRow("Ctrl+Shift+F6") << int(Qt::Key_F6) << (ctrl | shift) << int(C::FindAmount);
    QTest::newRow("Alt+Shift+F6") << int(Qt::Key_F6) << (alt | shift) << int(C::FindAmount);
    QTest::newRow("F9") << int(Qt::Key_F9) << ctrl << int(C::RemoveFilter);
    QTest::newRow("F10") << int(Qt::Key_F10) << none << int(C::ClearMarks);
    QTest::newRow("F11") << int(Qt::Key_F11) << none << int(C::Refresh);
    QTest::newRow("F12") << int(Qt::Key_F12) << shift << int(C::MoveArchive);
    QTest::newRow("Down") << int(Qt::Key_Down) << none << -1;
    QTest::newRow("Page Up") << int(Qt::Key_PageUp) << none << -1;
    QTest::newRow("Page Down") << int(Qt::Key_PageDown) << none << -1;
}

void RegisterTest::keyMap()
{
    QFETCH(int, key);
    QFETCH(Modifiers, modifiers);
    QFETCH(int, command);
    const std::optional<RegisterCommand> found = registerCommandFor(key, modifiers);
    QCOMPARE(found ? int(*found) : -1, command);
}

void RegisterTest::keysWithoutCommandsChangeNothing_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Modifiers>("modifiers");
    QTest::addColumn<QString>("text"); // typed instead of the key when given
    QTest::newRow("Ctrl+Alt+F3") << int(Qt::Key_F3) << Modifiers(Qt::ControlModifier | Qt::AltModifier) << QString();
    QTest::newRow("Alt+F4") << int(Qt::Key_F4) << Modifiers(Qt::AltModifier) << QString();
    QTest::newRow("Tab") << int(Qt::Key_Tab) << Modifiers(Qt::NoModifier) << QString();
    // The grid's own keyboard search would jump to the row whose date starts with the digit.
    QTest::newRow("digit of another row's date") << 0 << Modifiers() << QStringLiteral("0");
    QTest::newRow("letter") << 0 << Modifiers() << QStringLiteral("A");
}

void RegisterTest::keysWithoutCommandsChangeNothing()
{
    QFETCH(int, key);
    QFETCH(Modifiers, modifiers);
    QFETCH(QString, text);
    SIGNED_IN(f);
    // D1, selected, is locked in an editor elsewhere and marked.
    QCOMPARE(selectedId(*f), QStringLiteral("D1"));
    const QString pl = dump(*f, QStringLiteral("PL"));
    const QString archive = dump(*f, QStringLiteral("PL_A"));
    // F6 opened and left the box once, so that Tab would have somewhere to go.
    Keys::press(Qt::Key_F6);
    Keys::press(Qt::Key_Escape);
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    if (text.isEmpty())
        Keys::press(Qt::Key(key), modifiers);
    else
        Keys::type(text);
    QCOMPARE(dump(*f, QStringLiteral("PL")), pl);
    QCOMPARE(dump(*f, QStringLiteral("PL_A")), archive);
    QCOMPARE(f->data().scalar(QStringLiteral("select PRIZN_DK from PL where ID='D1'")).toString(),
             QStringLiteral("2"));
    QCOMPARE(f->window().pages()->currentWidget()->objectName(), QStringLiteral("all"));
    QCOMPARE(focusName(), QStringLiteral("grid_m"));
    QCOMPARE(selectedId(*f), QStringLiteral("D1"));
    QCOMPARE(shownIds(*f), allCurrent);
    QCOMPARE(f->dialogs().log.size(), 1);
}

void RegisterTest::refreshOfEmptyListShowsOthersDocuments()
{
    SIGNED_IN(f, QStringLiteral("1"), [](TempDatabase &d) { d.db().execute(QStringLiteral("delete from PL")); });
    QCOMPARE(shownIds(*f), QStringList());
    // Another computer makes a document meanwhile; F11 on the empty list shows it.
    const QVariantMap columns = columnsOf(currentDocs().first());
    QStringList names, marks;
    QVariantList values;
    for (auto it = columns.begin(); it != columns.end(); ++it) {
        names << it.key();
        marks << QStringLiteral("?");
        values << f->otherComputer().dialect().toDb(Schema::column(*Schema::table(QStringLiteral("PL")), it.key())->kind,
                                                    it.value());
    }
    f->otherComputer().run(QStringLiteral("insert into PL (%1) values (%2)").arg(names.join(','), marks.join(',')),
                           values);
    Keys::press(Qt::Key_F11);
    QCOMPARE(shownIds(*f), QStringList{QStringLiteral("D1")});
    QCOMPARE(selectedId(*f), QStringLiteral("D1"));
}

QTEST_MAIN(RegisterTest)
#include "tst_register.moc"
