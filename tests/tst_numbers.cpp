// The number routines every page shares, and the lists written back to the unit.
#include "link/Numbers.h"
#include "pages/PageParts.h"

#include <QComboBox>
#include <QtTest>

class NumbersTest : public QObject {
    Q_OBJECT
private slots:
    void standardForm_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("standard");
        QTest::newRow("leading zeros") << "0010" << "10";
        QTest::newRow("exponent") << "1e3" << "1000";
        QTest::newRow("blanks and plus") << " +7 " << "7";
        QTest::newRow("trailing zeros") << "1.50" << "1.5";
        QTest::newRow("negative zero") << "-0" << "0";
        QTest::newRow("fraction") << ".25" << "0.25";
        QTest::newRow("large count stays plain") << "4294967295" << "4294967295";
        QTest::newRow("billion stays plain") << "1e9" << "1000000000";
        QTest::newRow("negative") << "-2100000000" << "-2100000000";
        QTest::newRow("shortest of a double") << "0.1" << "0.1";
        QTest::newRow("tiny keeps exponent") << "0.0000025" << "2.5E-06";
        QTest::newRow("huge keeps exponent") << "1e15" << "1E+15";
    }
    void standardForm() {
        QFETCH(QString, typed);
        QFETCH(QString, standard);
        QCOMPARE(StandardText(typed).value_or("<not numeric>"), standard);
    }

    void numericTest() {
        for (const char *yes : {"12.5", " -3 ", "1e3", "1E-2", ".5", "5."}) QVERIFY2(IsNumeric(yes), yes);
        // Only the unit's decimal point counts: grouping would reach the unit as typed.
        for (const char *no : {"", " ", "abc", "12a", "inf", "nan", "&H10", "1,000", "1.000,5", "--1", "e3", "0x10"})
            QVERIFY2(!IsNumeric(no), no);
        QVERIFY(!StandardText("1,5"));
    }

    void roundingHalvesToEven() {
        QCOMPARE(RoundHalfEven(0.5), 0.0);
        QCOMPARE(RoundHalfEven(1.5), 2.0);
        QCOMPARE(RoundHalfEven(-2.5), -2.0);
        QCOMPARE(RoundHalfEven(32000.4), 32000.0);
        QCOMPARE(RoundHalfEven(-32000.5), -32000.0);
    }

    // A list the unit reported an index for that it has no entry for: nothing is selected, and the
    // index read is what goes back, never -1.
    void listIndexWrittenBack() {
        QComboBox list;
        list.addItems({"a", "b", "c"});
        QCOMPARE(IndexForUnit(&list), QString("0")); // a fresh list selects its first entry
        SelectFromUnit(&list, 7);
        QCOMPARE(list.currentIndex(), -1);
        QCOMPARE(IndexForUnit(&list), QString("7"));
        list.setCurrentIndex(2); // the person's choice wins
        QCOMPARE(IndexForUnit(&list), QString("2"));
        SelectFromUnit(&list, 1);
        QCOMPARE(list.currentText(), QString("b"));
        QComboBox never;
        never.addItems({"a"});
        never.setCurrentIndex(-1);
        QCOMPARE(IndexForUnit(&never), QString()); // nothing read, nothing chosen: nothing to write
    }
};

QTEST_MAIN(NumbersTest)
#include "tst_numbers.moc"
