// The session stands alone: without a main window it connects to the simulated unit, identifies
// it, runs the page's Init and ReadingData, tells each change, and saves the very file the
// window saves after an Upload of the same unit.
#include "app/frmVireo.h"
#include "core/Globals.h"
#include "core/Session.h"
#include "config/PageStore.h"
#include "tests/TestKit.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class SessionTest : public QObject {
    Q_OBJECT
private slots:
    void withoutTheWindow_data() {
        QTest::addColumn<QString>("model");
        for (const char *m : {"K5A-QK4", "K5N-NX2", "K5G-NX16"}) QTest::newRow(m) << m;
    }
    void withoutTheWindow() {
        QFETCH(QString, model);
        QTemporaryDir dir;
        const sim::UnitConfig c = StillUnit(model);
        QStringList windowLines;
        QByteArray windowFile;
        {
            AppRig r(c);
            r.connectViaSetting();
            windowLines = r.lines();
            r.ui.onSaveFile(dir.filePath("window.uJx"));
            r.press("mnuFilesSave");
            windowFile = ReadBytes(dir.filePath("window.uJx"));
            NO_SURPRISES(r);
        }

        ScriptedUi ui;
        Session s;
        PageStore pages;
        s.setPages(&pages);
        auto unit = std::make_shared<sim::SimUnit>(c);
        AttachSim(s.link(), unit);
        s.link().setTimings(0, 60);
        QSignalSpy status(&s, &Session::statusChanged), modelShown(&s, &Session::modelChanged),
            placed(&s, &Session::pageToShow), buttons(&s, &Session::buttonsChanged);
        s.load();
        Await(s.commandConnect());
        QVERIFY(g.Connected);
        QCOMPARE(unit->received(), windowLines);
        QCOMPARE(status.last().first().toString(), QString("Connected"));
        QCOMPARE(modelShown.last().first().toString(), model);
        QCOMPARE(placed.last().first().toInt(), g.modelnum);
        QCOMPARE(s.buttons(), QString("TFFTTTTT"));
        QCOMPARE(buttons.last().first().toString(), s.buttons());
        QCOMPARE(s.lamp(), Session::Lamp::Connected);
        QVERIFY(Await(s.saveFile(dir.filePath("alone.uJx"))));
        QCOMPARE(ReadBytes(dir.filePath("alone.uJx")), windowFile);
        for (QWidget *w : QApplication::topLevelWidgets()) QVERIFY(!qobject_cast<frmVireo *>(w));
        NO_SURPRISES(ui);
    }
};

QTEST_MAIN(SessionTest)
#include "tst_session.moc"
