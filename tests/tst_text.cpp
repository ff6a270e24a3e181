// Reply text routines and the typed-number check.
#include "core/Globals.h"
#include "pages/InputChecks.h"
#include "link/TextRoutines.h"
#include "tests/TestKit.h"

#include <QLineEdit>
#include <QtTest>

class TextTest : public QObject {
    Q_OBJECT
private slots:
    void init() { InitGlobals(); }

    void separators_data() {
        QTest::addColumn<QString>("fn");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("colon CNG") << "AfterColon" << "CNG" << "CNG";
        QTest::newRow("colon lone") << "AfterColon" << ":" << "";
        QTest::newRow("colon first only") << "AfterColon" << "a:b:c" << "b:c";
        QTest::newRow("colon empty") << "AfterColon" << "" << "";
        QTest::newRow("colon keeps blank") << "AfterColon" << "VER: 1.02" << " 1.02";
        QTest::newRow("before MNTSW") << "BeforeColon" << "MNTSW" << "MNTSW";
        QTest::newRow("before leading colon") << "BeforeColon" << ":x" << "";
        QTest::newRow("before label") << "BeforeColon" << "MNTSW:0" << "MNTSW";
        QTest::newRow("dash GZ2") << "AfterDash" << "K5VS-GZ2" << "GZ2";
        QTest::newRow("dash first only") << "AfterDash" << "K5G-KO16W-2" << "KO16W-2";
        QTest::newRow("dash none") << "AfterDash" << "NONE" << "NONE";
        QTest::newRow("x hex") << "AfterX" << "EX:x00A5" << "00A5";
        QTest::newRow("x upper ignored") << "AfterX" << "EX:X00A5" << "EX:X00A5";
        QTest::newRow("dot lone") << "RemoveFirstDot" << "." << "";
        QTest::newRow("dot none") << "RemoveFirstDot" << "123" << "123";
        QTest::newRow("dot fixed") << "RemoveFirstDot" << "12.345" << "12345";
        QTest::newRow("dot first only") << "RemoveFirstDot" << "1.2.3" << "12.3";
    }
    void separators() {
        QFETCH(QString, fn);
        QFETCH(QString, in);
        QFETCH(QString, out);
        QString r;
        if (fn == "AfterColon") r = AfterColon(in);
        else if (fn == "BeforeColon") r = BeforeColon(in);
        else if (fn == "AfterDash") r = AfterDash(in);
        else if (fn == "AfterX") r = AfterX(in);
        else r = RemoveFirstDot(in);
        QCOMPARE(r, out);
    }

    void splitDottedPutsLastFieldFirst() {
        QString d4, d3, d2, d1;
        SplitDotted("192.168.0.1", d4, d3, d2, d1);
        QCOMPARE(QStringList({d1, d2, d3, d4}), QStringList({"192", "168", "0", "1"}));
        SplitDotted("10.0.0.1.5", d4, d3, d2, d1);
        QCOMPARE(d4, QString("1.5"));
        SplitDotted("1.2", d4, d3, d2, d1); // short text: missing fields come back empty
        QCOMPARE(QStringList({d1, d2, d3, d4}), QStringList({"1", "2", "", ""}));
    }

    void hexDigitValue() {
        QCOMPARE(HexDigitValue("0"), 0);
        QCOMPARE(HexDigitValue("9"), 9);
        QCOMPARE(HexDigitValue("A"), 10);
        QCOMPARE(HexDigitValue("F"), 15);
        QCOMPARE(HexDigitValue("a"), 0);
        QCOMPARE(HexDigitValue("10"), 10);
        QCOMPARE(HexDigitValue("16"), 16);
        QCOMPARE(HexDigitValue("17"), 0);
        QCOMPARE(HexDigitValue("03"), 0);
        QCOMPARE(HexDigitValue(""), 0);
        QCOMPARE(HexDigitValue("G"), 0);
    }

    void checkIntegerAcceptsQuietly() {
        ScriptedUi ui;
        ui.recordOnly();
        QCOMPARE(CheckInteger(""), 0);
        QCOMPARE(CheckInteger("0"), 0);
        QCOMPARE(CheckInteger("12345"), 12345);
        QCOMPARE(CheckInteger("32767"), 32767);
        QCOMPARE(CheckInteger("1234-"), 0); // sign after the third character: not a number
        QLineEdit field("255");
        QCOMPARE(CheckInteger(&field), 255);
        QCOMPARE(field.text(), QString("255")); // never changes the field
        QCOMPARE(ui.messages.size(), 1);
    }

    void checkIntegerRejectsWithMessage_data() {
        QTest::addColumn<QString>("in");
        QTest::newRow("minus") << "-5";
        QTest::newRow("plus") << "+5";
        QTest::newRow("dot") << ".5";
        QTest::newRow("sign in third place") << "1-2";
        QTest::newRow("over 16 bits") << "40000";
        QTest::newRow("letters") << "abc";
        QTest::newRow("blank") << " ";
    }
    void checkIntegerRejectsWithMessage() {
        QFETCH(QString, in);
        ScriptedUi ui;
        ui.expect("Please enter number.", "VIREO", MsgIcon::Information);
        QCOMPARE(CheckInteger(in), 0);
        QVERIFY2(ui.problems().isEmpty(), qPrintable(ui.problems()));
    }

    void integerConversionShowsNothing() {
        ScriptedUi ui;
        QCOMPARE(CheckIntegerValue(""), std::optional<int>(0));
        QCOMPARE(CheckIntegerValue("12345"), std::optional<int>(12345));
        QCOMPARE(CheckIntegerValue("32767"), std::optional<int>(32767));
        QCOMPARE(CheckIntegerValue("122.5"), std::optional<int>(122)); // halves to even, as before
        for (const char *bad : {"-5", "+5", ".5", "1-2", "40000", "abc", " ", "1e9"})
            QVERIFY2(!CheckIntegerValue(bad), bad);
        QVERIFY(ui.messages.isEmpty());
    }

    void liveValueRule() {
        QCOMPARE(LiveValueText("CH0:012.34"), std::optional<QString>("01234"));
        QCOMPARE(LiveValueText("-1.5"), std::optional<QString>("-15"));
        QCOMPARE(LiveValueText("CH0:1.2.3"), std::optional<QString>("12.3"));
        QCOMPARE(LiveValueText(""), std::nullopt);
        QCOMPARE(LiveValueText("CNG"), std::nullopt);
        QCOMPARE(LiveValueText("NEEDLESS"), std::nullopt);
        QCOMPARE(LiveValueText("CH0:"), std::nullopt);
        QCOMPARE(LiveValueText("CH0:OVER"), std::nullopt);
    }

    void numericTestAndRounding() {
        QVERIFY(IsNumeric("12.5"));
        QVERIFY(IsNumeric(" -3 "));
        QVERIFY(IsNumeric("1e3"));
        QVERIFY(!IsNumeric(""));
        QVERIFY(!IsNumeric("abc"));
        QVERIFY(!IsNumeric("12a"));
        QVERIFY(!IsNumeric("inf"));
        QVERIFY(!IsNumeric("nan"));
        QVERIFY(!IsNumeric("&H10"));
        QCOMPARE(RoundHalfEven(12.5), 12.0);
        QCOMPARE(RoundHalfEven(13.5), 14.0);
        QCOMPARE(RoundHalfEven(-12.5), -12.0);
        QCOMPARE(RoundHalfEven(12.51), 13.0);
        QCOMPARE(TrimBlanks("  1.02 "), QString("1.02"));
        QCOMPARE(TrimBlanks("\t1 "), QString("\t1"));
    }
};

QTEST_MAIN(TextTest)
#include "tst_text.moc"
