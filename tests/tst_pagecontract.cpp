// What every I/O page promises the main window, checked page by page from one table:
// its registry name, that it never addresses a row it does not have, which controls
// txt_able locks and unlocks, and how each unanswered Init read ends.
#include "app/Dialogs.h"
#include "core/Globals.h"
#include "pages/LoadCellPage.h"
#include "pages/Page.h"
#include "pages/PageRegistry.h"
#include "tests/TestKit.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QtTest>
#include <memory>

namespace {
// SilentlyOpen: Init ends without a word, but never locked the page it leaves.
enum class Ends { UploadError, Silently, NotAtAll, SilentlyOpen };

struct Silenced {
    QString group, item;
    Ends ends;
};

struct Row {
    int modelnum;
    QString model;         // what the unit reports
    int rows;              // channel rows of the page
    QStringList editable;  // what txt_able switches, with ChCount = rows
    QStringList disabled;  // what stays disabled whatever txt_able is told
    QList<Silenced> reads; // Init reads and how an unanswered one ends
    bool newFirmware = false;
    QStringList editable2 = {}; // what txt_able2 switches, on the pages that have it
};

QStringList perRow(const QStringList &arrays, int rows) {
    QStringList names;
    for (const QString &a : arrays)
        for (int k = 0; k < rows; ++k) names << QStringLiteral("%1(%2)").arg(a).arg(k);
    return names;
}

QList<Silenced> channelSlots(const QStringList &items, int channel, Ends ends = Ends::UploadError) {
    QList<Silenced> l;
    for (const QString &i : items) l.append({QString::number(channel), i, ends});
    return l;
}

const QStringList Hold = {"optKeepOn", "optKeepOff"};
const QStringList Slots = {"20", "21", "22", "23", "24", "25"};
const QStringList LoadCellSlots = {"txtZScale", "txtFScale", "txtBias", "txtGain", "txtZBase"};
const QStringList Calibration = {"cmdAutoZero0", "cmdAutoZero1", "cmdZero0", "cmdZero1",
                                 "cmdSpan0",     "cmdSpan1",     "Command1", "Command2"};
const QStringList Adjustment = {"Command3",       "Command4",       "Command5",        "Command6",
                                "cmdGainUPCH0",   "cmdGainUPCH1",   "cmdGainDOWNCH0",  "cmdGainDOWNCH1",
                                "cmdGainApplyCH0", "cmdGainApplyCH1"};

// The three temperature pages edit and read alike; the burnout direction is an Upload Error,
// a channel's unit, type index and type text end Init quietly.
Row temperatureRow(int modelnum, const QString &model) {
    return {modelnum, model, 4,
            perRow({"txtZScale", "txtFScale", "txtBias", "txtGain", "txtZBase", "txtFBase", "cmbUserRange", "cmbUserUnit"}, 4) +
                Hold,
            {"txtUserBout(0)"},
            QList<Silenced>{{"00", "09", Ends::Silently},
                            {"00", "14", Ends::Silently},
                            {"01", "05", Ends::UploadError},
                            {"2", "04", Ends::Silently},
                            {"3", "09", Ends::Silently},
                            {"4", "03", Ends::Silently}} +
                channelSlots(Slots, 3)};
}

// One row per page kind; each page adds its own.
QList<Row> rows() {
    return {
        {0, "K5A-QB4", 4, perRow({"txtZScale", "txtFScale", "txtBias", "txtGain", "cmbUserRange"}, 4) + Hold,
         perRow({"txtZBase", "txtFBase"}, 4),
         QList<Silenced>{{"00", "09", Ends::Silently}, {"00", "14", Ends::Silently}, {"2", "09", Ends::Silently}} +
             channelSlots(Slots, 3)},
        {18, "K5A-QBW8", 8, perRow({"txtBias", "txtGain", "cmbUserRange"}, 8),
         perRow({"txtZScale", "txtFScale", "txtZBase", "txtFBase"}, 8),
         QList<Silenced>{{"00", "09", Ends::Silently}, {"7", "09", Ends::Silently}} + channelSlots(Slots, 8)},
        {7, "K5A-QJ4", 4, perRow({"txtZScale", "txtFScale", "txtZBase", "txtFBase"}, 4) + Hold, perRow({"txtBias"}, 4),
         QList<Silenced>{{"00", "14", Ends::Silently}} + channelSlots({"20", "21", "34", "-1", "32", "33"}, 2)},
        {8, "K5A-QX4V", 4,
         perRow({"txtZScale", "txtFScale", "txtBias", "txtGain", "cmbUserRange", "txtDropout"}, 4) + Hold +
             QStringList{"txtStartup"},
         perRow({"txtZBase", "txtFBase"}, 4),
         QList<Silenced>{{"00", "09", Ends::Silently},
                         {"00", "14", Ends::Silently},
                         {"01", "11", Ends::Silently},
                         {"3", "12", Ends::Silently},
                         {"3", "09", Ends::Silently}} +
             channelSlots(Slots, 1)},
        {24, "K5A-QZ4U", 4, perRow({"txtZScale", "txtFScale", "txtBias", "txtGain"}, 4) + Hold,
         perRow({"txtZBase", "txtFBase"}, 4),
         QList<Silenced>{{"00", "09", Ends::Silently}, {"00", "14", Ends::Silently}, {"4", "09", Ends::NotAtAll}} +
             channelSlots(Slots, 4)},
        // Load cell pages: the calibration buttons go with txt_able, the new-firmware group with txt_able2.
        {21, "K5A-GZ2", 2, perRow(LoadCellSlots, 2) + Calibration + Hold, {},
         QList<Silenced>{{"00", "14", Ends::Silently}} + channelSlots({"20", "21", "22", "23", "28"}, 2) +
             channelSlots({"38", "09", "40"}, 2),
         true, perRow({"txtAdjscale", "txtAdjGain"}, 2) + QStringList{"cmdApplyCH0", "cmdApplyCH1"} + Adjustment},
        {22, "K5VS-GZ2", 2, perRow(LoadCellSlots, 2) + Calibration, {},
         channelSlots({"20", "21", "22", "23", "28", "42", "44"}, 1), false,
         perRow({"txtAdjscale", "txtAdjGain"}, 2) + Adjustment},
        {17, "K5A-NX2", 2, perRow({"txtDO"}, 2) + QStringList{"txtTM(0)", "txtTM(1)", "txtTM(2)"}, {},
         QList<Silenced>{{"01", "28", Ends::UploadError},
                         {"00", "21", Ends::UploadError},
                         {"01", "10", Ends::UploadError},
                         {"01", "77", Ends::UploadError},
                         {"01", "30", Ends::UploadError}}},
        // temperature input
        temperatureRow(1, "K5A-QK4"),
        temperatureRow(2, "K5A-QW4"),
        temperatureRow(11, "K5A-QH4"),
        // analog output
        {3, "K5A-WB2", 2, perRow({"txtZScale", "txtFScale", "txtBias", "txtGain", "cmbUserRange"}, 2) + Hold,
         perRow({"txtZBase", "txtFBase"}, 2),
         QList<Silenced>{{"00", "09", Ends::Silently}, {"00", "14", Ends::Silently}, {"2", "09", Ends::Silently}} +
             channelSlots(Slots, 2)},
        {4, "K5A-WC2", 2, perRow({"txtZScale", "txtFScale", "txtBias", "txtGain"}, 2) + Hold,
         perRow({"txtZBase", "txtFBase"}, 2), QList<Silenced>{{"00", "14", Ends::Silently}} + channelSlots(Slots, 1)},
        {12, "K5A-WB4", 4, perRow({"txtZScale", "txtFScale", "txtBias", "txtGain", "cmbUserRange"}, 4) + Hold,
         perRow({"txtZBase", "txtFBase"}, 4),
         QList<Silenced>{{"00", "09", Ends::Silently}, {"00", "14", Ends::Silently}, {"4", "09", Ends::Silently}} +
             channelSlots(Slots, 3)},
        {13, "K5A-WC4", 4, perRow({"txtZScale", "txtFScale", "txtBias", "txtGain"}, 4) + Hold,
         perRow({"txtZBase", "txtFBase"}, 4), QList<Silenced>{{"00", "14", Ends::Silently}} + channelSlots(Slots, 4)},
        {19, "K5A-WB4Y", 4, perRow({"txtBias", "txtGain", "cmbUserRange"}, 4),
         perRow({"txtZScale", "txtFScale", "txtZBase", "txtFBase"}, 4),
         QList<Silenced>{{"00", "09", Ends::Silently}, {"3", "09", Ends::Silently}} + channelSlots(Slots, 2)},
        {15, "K5A-ZWBW2", 2, perRow({"txtZScale", "txtFScale", "txtBias", "txtGain"}, 2), perRow({"txtZBase", "txtFBase"}, 2),
         QList<Silenced>{{"00", "09", Ends::Silently}} + channelSlots(Slots, 2)},
        // Discrete pages: no channel groups, only the module's "00".
        {6, "K5A-KI16", 0, Hold, {}, {{"00", "14", Ends::SilentlyOpen}}},
        {9, "K5A-KI8R", 0, {}, {}, {}},
        {25, "K5A-KI4H", 0, {}, {}, {}},
        {5, "K5G-KO16W", 0, Hold + QStringList{"Text1"}, {},
         {{"00", "14", Ends::SilentlyOpen}, {"00", "58", Ends::NotAtAll}}},
        {16, "K5A-HM8", 8, Hold, {}, {{"00", "14", Ends::Silently}, {"00", "22", Ends::NotAtAll}}},
        {20, "K5A-KOR16", 0, Hold + QStringList{"optOut1", "optOut2", "optOut3", "optOut4", "optOut5", "optOut6", "optOut7", "optOut8"},
         {},
         {{"00", "14", Ends::SilentlyOpen},
          {"00", "16", Ends::SilentlyOpen},
          {"00", "17", Ends::SilentlyOpen},
          {"00", "18", Ends::SilentlyOpen},
          {"00", "19", Ends::SilentlyOpen}}},
        // Pulse counter pages.
        {10, "K5A-NX16", 16, perRow({"txtFScale", "txtPreset", "txtOver", "cmdPreset"}, 16) + Hold, {},
         {{"00", "14", Ends::Silently}, {"1", "13", Ends::UploadError}, {"16", "14", Ends::UploadError}}},
        {14, "K5A-NX8", 8, perRow({"txtFScale", "txtPreset", "txtOver", "cmdPreset"}, 8) + Hold, {},
         {{"00", "14", Ends::Silently}, {"00", "32", Ends::UploadError}, {"00", "45", Ends::UploadError}}},
        {23, "K5N-NX8", 8, perRow({"txtFScale", "txtPreset", "txtOver", "cmdPreset"}, 8) + Hold, {},
         {{"00", "14", Ends::Silently}, {"03", "13", Ends::UploadError}, {"08", "14", Ends::UploadError}}},
    };
}

void identify(const Row &r, int chCount) {
    InitGlobals();
    g.UnitModel = r.model;
    g.modelnum = r.modelnum;
    g.NetTyp = 0;
    g.SubTyp = 1;
    g.ChCount = chCount;
    g.ExtName = "NONE";
    g.NewFirmware = r.newFirmware;
}

sim::UnitConfig unitOf(const Row &r, int channels) {
    sim::UnitConfig c;
    c.model = r.model;
    if (r.newFirmware) c.version = "1.10";
    c.channels = channels;
    c.ext = "NONE";
    c.animate = false;
    return c;
}

std::unique_ptr<Page> make(const Row &r) { return std::unique_ptr<Page>(FindPageKind(r.modelnum)->create(nullptr)); }

// The input controls of a page that are enabled now.
QSet<QString> enabledInputs(const Page &p) {
    QSet<QString> names;
    for (QWidget *w : p.findChildren<QWidget *>()) {
        const bool input = qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractButton *>(w) ||
                           (qobject_cast<QLineEdit *>(w) && !static_cast<QLineEdit *>(w)->isReadOnly());
        if (input && w->isEnabled() && !w->objectName().startsWith("cmdSet")) names.insert(w->objectName());
    }
    return names;
}

} // namespace

class PageContractTest : public QObject {
    Q_OBJECT
private slots:
    void table_data() {
        QTest::addColumn<int>("index");
        const QList<Row> all = rows();
        for (int i = 0; i < all.size(); ++i)
            QTest::newRow(FindPageKind(all[i].modelnum)->name) << i;
    }

    void registryNameIsObjectName_data() { table_data(); }
    void registryNameIsObjectName() {
        QFETCH(int, index);
        const Row r = rows().at(index);
        QVERIFY(PageAvailable(r.modelnum));
        auto p = make(r);
        QCOMPARE(p->objectName(), QString(FindPageKind(r.modelnum)->name));
        QCOMPARE(p->modelNum(), r.modelnum);
        QCOMPARE(LabelsNamedOverTheirText(p.get()), QStringList());
    }

    // A unit that claims sixteen channels never makes the page select a group it has no row for.
    void neverAddressesARowItLacks_data() { table_data(); }
    void neverAddressesARowItLacks() {
        QFETCH(int, index);
        const Row r = rows().at(index);
        ScriptedUi ui;
        SimRig rig(unitOf(r, 16));
        identify(r, 16);
        auto p = make(r);
        Await(p->Init());
        Await(p->ReadingData());
        p->CheckData();
        Await(p->Download());
        p->txt_able(true);
        const QRegularExpression group("^G0*(\\d+)$");
        for (const QString &line : rig.lines()) {
            const auto m = group.match(line);
            if (m.hasMatch()) QVERIFY2(m.captured(1).toInt() <= r.rows, qPrintable(line));
        }
        QCOMPARE(LoadingForm(), nullptr);
        NO_SURPRISES(ui);
    }

    void txtAbleSwitchesExactlyItsControls_data() { table_data(); }
    void txtAbleSwitchesExactlyItsControls() {
        QFETCH(int, index);
        const Row r = rows().at(index);
        identify(r, r.rows);
        auto p = make(r);
        p->txt_able(false);
        const QSet<QString> locked = enabledInputs(*p);
        p->txt_able(true);
        const QSet<QString> unlocked = enabledInputs(*p);
        QStringList switched = QStringList((unlocked - locked).values());
        switched.sort();
        QStringList expected = r.editable;
        expected.sort();
        QCOMPARE(switched, expected);
        QVERIFY((locked - unlocked).isEmpty());
        for (const QString &name : r.disabled) {
            QWidget *w = p->findChild<QWidget *>(name);
            QVERIFY2(w, qPrintable(name));
            QVERIFY2(!w->isEnabled(), qPrintable(name));
        }
        p->txt_able(false);
        for (const QString &name : r.editable) QVERIFY2(!p->findChild<QWidget *>(name)->isEnabled(), qPrintable(name));
    }

    // The second switch of the load cell pages touches its own controls and none of txt_able's.
    void txtAble2SwitchesExactlyItsControls_data() {
        QTest::addColumn<int>("index");
        const QList<Row> all = rows();
        for (int i = 0; i < all.size(); ++i)
            if (!all[i].editable2.isEmpty()) QTest::newRow(FindPageKind(all[i].modelnum)->name) << i;
    }
    void txtAble2SwitchesExactlyItsControls() {
        QFETCH(int, index);
        const Row r = rows().at(index);
        identify(r, r.rows);
        auto p = make(r);
        auto *lc = qobject_cast<LoadCellPage *>(p.get());
        QVERIFY(lc);
        lc->txt_able2(false);
        const QSet<QString> locked = enabledInputs(*p);
        lc->txt_able2(true);
        QStringList switched = QStringList((enabledInputs(*p) - locked).values());
        switched.sort();
        QStringList expected = r.editable2;
        expected.sort();
        QCOMPARE(switched, expected);
    }

    void unansweredInitReads_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("ends");
        const QList<Row> all = rows();
        for (int i = 0; i < all.size(); ++i)
            for (const Silenced &s : all[i].reads)
                QTest::addRow("%s %s/%s", FindPageKind(all[i].modelnum)->name, qPrintable(s.group), qPrintable(s.item))
                    << i << s.group << s.item << int(s.ends);
    }
    void unansweredInitReads() {
        QFETCH(int, index);
        QFETCH(QString, group);
        QFETCH(QString, item);
        QFETCH(int, ends);
        const Row r = rows().at(index);
        ScriptedUi ui;
        SimRig rig(unitOf(r, r.rows), 0, 20);
        identify(r, r.rows);
        // The channels' ranges, types and units as no list shows them before it is told.
        const auto listItems = [&] {
            QStringList l;
            for (int ch = 1; ch <= r.rows; ++ch)
                for (const char *i : {"09", "04"})
                    if (rig.unit().hasItem(QString::number(ch), i)) l << rig.unit().value(QString::number(ch), i);
            return l;
        };
        for (int ch = 1; ch <= r.rows; ++ch) {
            if (rig.unit().hasItem(QString::number(ch), "09")) rig.unit().setValue(QString::number(ch), "09", "3");
            if (rig.unit().hasItem(QString::number(ch), "04")) rig.unit().setValue(QString::number(ch), "04", "F");
        }
        rig.unit().addFault({sim::FaultKind::Silence, group, item, -1, 0});
        auto p = make(r);
        if (Ends(ends) == Ends::UploadError) ui.expect("Upload Error", "Upload", MsgIcon::Critical);
        Await(p->Init());
        // The read was made, and retried.
        const QStringList &lines = rig.lines();
        QVERIFY2(lines.count("I" + item) >= 4, qPrintable(lines.join(' ')));
        QCOMPARE(rig.link().isOpen(), Ends(ends) != Ends::UploadError);
        QWidget *first = p->findChild<QWidget *>(r.editable.first());
        QCOMPARE(first->isEnabled(), Ends(ends) == Ends::NotAtAll || Ends(ends) == Ends::SilentlyOpen);
        QCOMPARE(LoadingForm(), nullptr);
        // A list Init refilled but never gave the unit's value writes nothing: a Download leaves
        // the unit holding what it held.
        if (Ends(ends) != Ends::UploadError) {
            rig.unit().clearFaults();
            const QStringList held = listItems();
            Await(p->Download());
            QCOMPARE(listItems(), held);
        }
        NO_SURPRISES(ui);
    }
};

QTEST_MAIN(PageContractTest)
#include "tst_pagecontract.moc"
