#include "geo/CoordEdit.h"
#include "ui/CoordinateEdit.h"
#include "ui/NumberEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace kx;
using ui::CoordinateEdit;
using ui::NumberEdit;

// The number and coordinate edits of the catalogue forms, driven by keys.
class TestFormEdits : public QObject
{
    Q_OBJECT
private slots:
    void typingAndTakingANumber_data();
    void typingAndTakingANumber();
    void roundingHalvesToEven_data();
    void roundingHalvesToEven();
    void emptyNumberIsNull();
    void typedCommaShowsAsTheUsersSeparator();

    void blanksStayInPlace();
    void hemisphereLetters_data();
    void hemisphereLetters();
    void puttingCoordinateTexts_data();
    void puttingCoordinateTexts();
    void editingOverASelection_data();
    void editingOverASelection();
    void pastingAWholePosition_data();
    void pastingAWholePosition();
    void pastingFromTheContextMenu();

private:
    // One shown edit of each axis for the cases that need a window: every
    // case needs only a fresh text, and under Wine a new window takes seconds
    // to show.
    CoordinateEdit &shownEdit(bool latitude);

    std::unique_ptr<CoordinateEdit> m_latitude;
    std::unique_ptr<CoordinateEdit> m_longitude;
};

namespace {

// Keys as a person presses them: "^A" is Ctrl+A, "^X" Ctrl+X, "^V" Ctrl+V,
// "<del" Delete, "<bs" Backspace, "<home"/"<end" with "+" for Shift
// ("+<end" selects to the end); other characters are typed.
void press(QWidget *widget, const QString &keys)
{
    for (const QString &step : keys.split(u' ', Qt::SkipEmptyParts)) {
        const bool shift = step.startsWith(u'+');
        const QString key = shift ? step.mid(1) : step;
        const Qt::KeyboardModifiers modifiers = shift ? Qt::ShiftModifier : Qt::NoModifier;
        if (key.size() == 2 && key.front() == u'^')
            QTest::keyClick(widget, key.at(1).toLatin1(), Qt::ControlModifier);
        else if (key == QLatin1String("<del"))
            QTest::keyClick(widget, Qt::Key_Delete, modifiers);
        else if (key == QLatin1String("<bs"))
            QTest::keyClick(widget, Qt::Key_Backspace, modifiers);
        else if (key == QLatin1String("<home"))
            QTest::keyClick(widget, Qt::Key_Home, modifiers);
        else if (key == QLatin1String("<end"))
            QTest::keyClick(widget, Qt::Key_End, modifiers);
        else
            QTest::keyClicks(widget, key);
    }
}

CoordinateEdit::Axis axisOf(bool latitude)
{
    return latitude ? CoordinateEdit::Axis::Latitude : CoordinateEdit::Axis::Longitude;
}

} // namespace

void TestFormEdits::typingAndTakingANumber_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("typed");  // what the edit holds after typing
    QTest::addColumn<QString>("shown");  // after leaving it
    QTest::addColumn<QVariant>("value");

    // The runway dialog's ILS course, whole degrees 1 to 360.
    QTest::newRow("ILS 0 becomes 1") << 0 << 1.0 << 360.0 << "0" << "0" << "1" << QVariant(qlonglong(1));
    QTest::newRow("ILS 361 becomes 360") << 0 << 1.0 << 360.0 << "361" << "361" << "360" << QVariant(qlonglong(360));
    QTest::newRow("ILS 075 is 75") << 0 << 1.0 << 360.0 << "075" << "075" << "75" << QVariant(qlonglong(75));
    // A runway's track angle, 0.1 to 360 with one decimal.
    QTest::newRow("track 0 becomes 0.1") << 1 << 0.1 << 360.0 << "0" << "0" << "0.1" << QVariant(0.1);
    QTest::newRow("track second decimal refused") << 1 << 0.1 << 360.0 << "12.55" << "12.5" << "12.5" << QVariant(12.5);
    // Feet take whole numbers only: no separator, so no digit after one.
    QTest::newRow("feet refuse a separator") << 0 << 0.0 << 32800.0 << "1001.5" << "10015" << "10015"
                                             << QVariant(qlonglong(10015));
    QTest::newRow("feet beyond the range") << 0 << 0.0 << 32800.0 << "40000" << "40000" << "32800"
                                           << QVariant(qlonglong(32800));
    // A frequency: one separator, two decimals; letters and signs are refused.
    QTest::newRow("one separator only") << 2 << 0.0 << 10000.0 << "1.2.3" << "1.23" << "1.23" << QVariant(1.23);
    QTest::newRow("letters and minus refused") << 2 << 0.0 << 10000.0 << "-1a2" << "12" << "12.00" << QVariant(12.0);
    QTest::newRow("comma types the separator") << 2 << 0.0 << 10000.0 << "114,5" << "114.5" << "114.50"
                                               << QVariant(114.5);
    QTest::newRow("leading separator") << 2 << 0.0 << 10000.0 << ".5" << ".5" << "0.50" << QVariant(0.5);
    QTest::newRow("above ten thousand") << 2 << 0.0 << 10000.0 << "10000.01" << "10000.01" << "10000.00"
                                        << QVariant(10000.0);
}

void TestFormEdits::typingAndTakingANumber()
{
    QFETCH(int, decimals);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(QString, keys);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QVariant, value);

    NumberEdit edit(decimals, minimum, maximum);
    QSignalSpy taken(&edit, &NumberEdit::valueTaken);
    QTest::keyClicks(&edit, keys);
    QCOMPARE(edit.text(), typed);
    QCOMPARE(edit.value(), value);
    QCOMPARE(edit.value().typeId(), value.typeId());
    edit.takeValue();
    QCOMPARE(edit.text(), shown);
    QCOMPARE(taken.count(), 1);
    QCOMPARE(taken.at(0).at(0), value);
}

void TestFormEdits::roundingHalvesToEven_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value");
    // Ties in decimal go to the even neighbour; anything past a tie goes up.
    QTest::newRow("0.125") << 2 << "0.125" << QVariant(0.12);
    QTest::newRow("0.135") << 2 << "0.135" << QVariant(0.14);
    QTest::newRow("2.675 is a decimal tie") << 2 << "2.675" << QVariant(2.68);
    QTest::newRow("0.1251") << 2 << "0.1251" << QVariant(0.13);
    QTest::newRow("9.995 carries") << 2 << "9.995" << QVariant(10.0);
    QTest::newRow("whole 2.5") << 0 << "2.5" << QVariant(qlonglong(2));
    QTest::newRow("whole 3.5") << 0 << "3.5" << QVariant(qlonglong(4));
    QTest::newRow("whole 0.5") << 0 << "0.5" << QVariant(qlonglong(0));
}

void TestFormEdits::roundingHalvesToEven()
{
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    const NumberEdit edit(decimals, 0, 100);
    QCOMPARE(edit.valueOf(text), value);
}

void TestFormEdits::emptyNumberIsNull()
{
    NumberEdit edit(1, 0.1, 360);
    QVERIFY(edit.value().isNull());
    edit.takeValue();
    QCOMPARE(edit.text(), QString());
    edit.setValue(QVariant());
    QCOMPARE(edit.text(), QString());
    edit.setValue(305.14);
    QCOMPARE(edit.text(), QStringLiteral("305.1"));
}

void TestFormEdits::typedCommaShowsAsTheUsersSeparator()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    {
        NumberEdit edit(2, 0, 10000);
        QTest::keyClicks(&edit, QStringLiteral("1.5"));
        QCOMPARE(edit.text(), QStringLiteral("1,5"));
        QCOMPARE(edit.value(), QVariant(1.5));
        edit.takeValue();
        QCOMPARE(edit.text(), QStringLiteral("1,50"));
    }
    QLocale::setDefault(saved);
}

void TestFormEdits::blanksStayInPlace()
{
    CoordinateEdit lat(CoordinateEdit::Axis::Latitude);
    QCOMPARE(lat.fieldText(), QStringLiteral("N  *  .  "));
    CoordinateEdit lon(CoordinateEdit::Axis::Longitude);
    QCOMPARE(lon.fieldText(), QStringLiteral("E   *  .  "));

    // Only the first degree digit and the first minutes digit typed.
    lat.setCursorPosition(1);
    QTest::keyClick(&lat, Qt::Key_5);
    lat.setCursorPosition(4);
    QTest::keyClick(&lat, Qt::Key_3);
    QCOMPARE(lat.fieldText(), QStringLiteral("N5 *3 .  "));
    const geo::EditCheck check = geo::CheckLatEdit(lat.fieldText());
    QVERIFY(check.valid);
    QCOMPARE(check.text, QStringLiteral("N50*30.00"));
    lat.setFieldText(check.text);
    QCOMPARE(lat.fieldText(), QStringLiteral("N50*30.00"));

    // Digits typed at the letter go to the digit places after it.
    CoordinateEdit fresh(CoordinateEdit::Axis::Latitude);
    fresh.setCursorPosition(0);
    QTest::keyClicks(&fresh, QStringLiteral("5720"));
    QCOMPARE(fresh.fieldText(), QStringLiteral("N57*20.  "));

    // Typing runs over the fixed "*" and "."; letters are refused in digit places.
    lon.setCursorPosition(1);
    QTest::keyClicks(&lon, QStringLiteral("0612x55"));
    QCOMPARE(lon.fieldText(), QStringLiteral("E061*25.5 "));
}

void TestFormEdits::hemisphereLetters_data()
{
    QTest::addColumn<bool>("latitude");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::newRow("s sets south") << true << "s" << "S57*20.00";
    QTest::newRow("S then N") << true << "SN" << "N57*20.00";
    QTest::newRow("minus toggles") << true << "-" << "S57*20.00";
    QTest::newRow("minus twice") << true << "--" << "N57*20.00";
    QTest::newRow("other letter ignored") << true << "E" << "N57*20.00";
    QTest::newRow("w sets west") << false << "w" << "W061*55.00";
    QTest::newRow("lon minus") << false << "-" << "W061*55.00";
    QTest::newRow("N is no longitude") << false << "N" << "E061*55.00";
}

void TestFormEdits::hemisphereLetters()
{
    QFETCH(bool, latitude);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    CoordinateEdit edit(latitude ? CoordinateEdit::Axis::Latitude : CoordinateEdit::Axis::Longitude);
    edit.setFieldText(latitude ? QStringLiteral("N57*20.00") : QStringLiteral("E061*55.00"));
    edit.setCursorPosition(2);
    QTest::keyClicks(&edit, keys);
    QCOMPARE(edit.fieldText(), text);
    QCOMPARE(edit.cursorPosition(), 2); // the letter changes where it is
}

void TestFormEdits::puttingCoordinateTexts_data()
{
    QTest::addColumn<bool>("latitude");
    QTest::addColumn<QString>("put");
    QTest::addColumn<QString>("field");
    QTest::newRow("stored latitude") << true << "N57*20.00" << "N57*20.00";
    QTest::newRow("south") << true << "S33*56.80" << "S33*56.80";
    QTest::newRow("blanks kept") << true << "N5 *3 .  " << "N5 *3 .  ";
    QTest::newRow("stored longitude") << false << "E061*55.00" << "E061*55.00";
    QTest::newRow("west") << false << "W000*27.70" << "W000*27.70";
    QTest::newRow("longer fraction cut to the mask") << false << "E037*24.875" << "E037*24.87";
    QTest::newRow("nothing") << true << "" << "N  *  .  ";
}

void TestFormEdits::puttingCoordinateTexts()
{
    QFETCH(bool, latitude);
    QFETCH(QString, put);
    QFETCH(QString, field);
    CoordinateEdit edit(latitude ? CoordinateEdit::Axis::Latitude : CoordinateEdit::Axis::Longitude);
    edit.setFieldText(put);
    QCOMPARE(edit.fieldText(), field);
}

void TestFormEdits::editingOverASelection_data()
{
    QTest::addColumn<bool>("latitude");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("field");
    // As after a failed check, which selects the whole text.
    QTest::newRow("digits over all") << true << "N95*00.00" << -1 << "5558" << "N55*58.  ";
    QTest::newRow("delete all") << true << "N95*00.00" << -1 << "<del" << "N  *  .  ";
    QTest::newRow("backspace all") << true << "N95*00.00" << -1 << "<bs" << "N  *  .  ";
    QTest::newRow("delete all, then digits") << true << "N95*00.00" << -1 << "<del 5720" << "N57*20.  ";
    QTest::newRow("south kept") << true << "S33*56.80" << -1 << "12" << "S12*  .  ";
    QTest::newRow("longitude over all") << false << "W181*00.00" << -1 << "0375" << "W037*5 .  ";
    // Selected by the person.
    QTest::newRow("ctrl+a, delete") << true << "N57*20.00" << 3 << "^A <del" << "N  *  .  ";
    QTest::newRow("ctrl+a, digits") << false << "E061*55.00" << 3 << "^A 1" << "E1  *  .  ";
    QTest::newRow("shift+end over minutes") << true << "N57*20.00" << 4 << "+<end 3" << "N57*3 .  ";
    QTest::newRow("shift+home, digit") << true << "N57*20.00" << 4 << "+<home 6" << "N6 *20.00";
    QTest::newRow("ctrl+x cuts the digits") << true << "N57*20.00" << 0 << "^A ^X" << "N  *  .  ";
    QTest::newRow("letter over a selection keeps it") << true << "N57*20.00" << 0 << "^A s" << "S57*20.00";
}

void TestFormEdits::editingOverASelection()
{
    QFETCH(bool, latitude);
    QFETCH(QString, start);
    QFETCH(int, cursor);
    QFETCH(QString, keys);
    QFETCH(QString, field);
    CoordinateEdit &edit = shownEdit(latitude);
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.setFieldText(start);
    if (cursor < 0)
        edit.selectAll(); // what the form does after a failed check
    else
        edit.setCursorPosition(cursor);
    press(&edit, keys);
    QCOMPARE(edit.fieldText(), field);
}

void TestFormEdits::pastingAWholePosition_data()
{
    QTest::addColumn<bool>("latitude");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("field");
    QTest::newRow("own text over all") << true << "N95*00.00" << "^A" << "N55*58.27" << "N55*58.27";
    QTest::newRow("flight plan form") << true << "N95*00.00" << "^A" << "N55* 58.27'" << "N55*58.27";
    QTest::newRow("degrees and minutes") << true << "N95*00.00" << "^A" << "55 58.27" << "N55*58.27";
    QTest::newRow("no letter keeps south") << true << "S10*00.00" << "" << "33 56.8" << "S33*56.80";
    QTest::newRow("degree sign, comma, letter after") << true << "N00*00.00" << "" << "33°56,8' S" << "S33*56.80";
    QTest::newRow("longitude padded") << false << "E000*00.00" << "^A" << "E37* 24.88'" << "E037*24.88";
    QTest::newRow("west") << false << "E061*55.00" << "" << " W0* 27.7' " << "W000*27.70";
    QTest::newRow("longer fraction cut") << false << "E000*00.00" << "" << "E037*24.875" << "E037*24.87";
    QTest::newRow("out of range still pasted") << true << "N00*00.00" << "" << "N95*00.00" << "N95*00.00";
    QTest::newRow("wrong axis letter: digits only") << true << "N  *  .  " << "<home" << "E037*24.88" << "N  *  .  ";
    QTest::newRow("plain digits typed in") << true << "N  *  .  " << "<home" << "5720" << "N57*20.  ";
}

void TestFormEdits::pastingAWholePosition()
{
    QFETCH(bool, latitude);
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QString, clipboard);
    QFETCH(QString, field);
    CoordinateEdit &edit = shownEdit(latitude);
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.setFieldText(start);
    press(&edit, keys);
    QGuiApplication::clipboard()->setText(clipboard);
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.fieldText(), field);
}

void TestFormEdits::pastingFromTheContextMenu()
{
    CoordinateEdit edit(CoordinateEdit::Axis::Longitude);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.setFieldText(QStringLiteral("E000*00.00"));
    QGuiApplication::clipboard()->setText(QStringLiteral("E37* 24.88'"));

    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5), edit.mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(&edit, &menuEvent);
    QMenu *menu = nullptr;
    QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) != nullptr);
    QAction *paste = nullptr;
    for (QAction *action : menu->actions())
        if (action->text().startsWith(QCoreApplication::translate("QLineEdit", "&Paste")))
            paste = action;
    QVERIFY(paste && paste->isEnabled());
    // Down to the action, Enter.
    while (menu->activeAction() != paste)
        QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    QCOMPARE(edit.fieldText(), QStringLiteral("E037*24.88"));
}

CoordinateEdit &TestFormEdits::shownEdit(bool latitude)
{
    std::unique_ptr<CoordinateEdit> &edit = latitude ? m_latitude : m_longitude;
    if (!edit) {
        edit = std::make_unique<CoordinateEdit>(axisOf(latitude));
        edit->show();
    }
    return *edit;
}

QTEST_MAIN(TestFormEdits)
#include "tst_formedits.moc"
