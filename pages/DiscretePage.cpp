#include "pages/DiscretePage.h"
#include "pages/Colors.h"
#include "pages/ExtCells.h"
#include "core/Globals.h"
#include "pages/Widgets.h"
#include "link/Protocol.h"
#include "link/TextRoutines.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

DiscretePage::DiscretePage(const QString &name, int modelnum, QWidget *parent) : Page(name, modelnum, parent) {}

void DiscretePage::build(const Decl &d) {
    m_decl = d;
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(6, 6, 6, 6);
    top->setSpacing(8);
    const bool states = !d.stateFrame.isEmpty();
    Frame1 = MakeFrame(this, "Frame1", states ? d.stateFrame : QStringLiteral("Value"));
    auto *v = new QVBoxLayout(Frame1);
    v->setSpacing(6);
    // With an extension row the numbers over it are lblExtIndex(0), these (1); alone, these are (0).
    const PointHead head =
        MakePointHead(Frame1, d.cells > 0 ? 16 : 0, IndexedName("lblExtIndex", d.extension ? 1 : 0), d.cellCaption);
    lblV_Unit = head.lblV_Unit;
    if (d.cells > 0) {
        lblExtIndex.append(head.points.index);
        txtCData = head.points.cells;
        // The cells beyond the module's points exist (they are painted) but are not shown.
        for (int i = d.cells; i < txtCData.size(); ++i) txtCData[i]->setVisible(false);
    }
    v->addWidget(head.area);
    if (states) buildStates(Frame1);
    if (d.extension) {
        const ExtensionRow ext = MakeExtensionRow(Frame1);
        lblV_Ext = ext.lblV_Ext;
        lblExtIndex.prepend(ext.lblExtIndex.first());
        txtChData = ext.txtChData;
        v->addWidget(ext.area);
    }
    top->addWidget(Frame1);

    m_settings = new QHBoxLayout;
    m_settings->setSpacing(8);
    if (d.hold) {
        m_hold = std::make_unique<HoldFrame>(this, false);
        Frame2 = m_hold->Frame2;
        optKeepOn = m_hold->optKeepOn;
        optKeepOff = m_hold->optKeepOff;
        m_settings->addWidget(Frame2, 0, Qt::AlignTop);
    }
    m_settings->addStretch(1);
    top->addLayout(m_settings);
    top->addStretch(1);
}

void DiscretePage::buildStates(QWidget *frame) {
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);
    lblDataTitle = {MakeLabel(frame, IndexedName("lblDataTitle", 0), "DI"),
                    MakeLabel(frame, IndexedName("lblDataTitle", 1), "DO")};
    grid->addWidget(lblDataTitle[0], 1, 0);
    grid->addWidget(lblDataTitle[1], 2, 0);
    txtDICh = txtDOCh = {nullptr};
    lblChNo = {nullptr};
    for (int i = 1; i <= StateRows; ++i) {
        QLabel *l = MakeLabel(frame, IndexedName("lblChNo", i), m_decl.channelCaption.arg(i - 1));
        l->setAlignment(Qt::AlignCenter);
        grid->addWidget(l, 0, i);
        lblChNo.append(l);
        for (auto [boxes, name, row] : {std::tuple{&txtDICh, "txtDICh", 1}, std::tuple{&txtDOCh, "txtDOCh", 2}}) {
            QLineEdit *t = MakeText(frame, IndexedName(name, i),
                                    QStringLiteral("%1 %2").arg(m_decl.channelCaption.arg(i - 1), row == 1 ? "DI" : "DO"), 54);
            t->setReadOnly(true);
            t->setFocusPolicy(Qt::NoFocus);
            t->setAlignment(Qt::AlignCenter);
            grid->addWidget(t, row, i);
            boxes->append(t);
        }
    }
    grid->setColumnStretch(StateRows + 1, 1);
    static_cast<QVBoxLayout *>(frame->layout())->addLayout(grid);
}

// ---- steps

co::Task<> DiscretePage::showModel() {
    lblV_Unit->setText(AfterDash(g.UnitModel));
    if (m_decl.extension) co_await InitExtCells(this);
}

co::Task<> DiscretePage::readHold(OnEmpty onEmpty) {
    if (m_hold) co_await m_hold->read(onEmpty);
}

co::Task<> DiscretePage::writeHold(OnEmpty onEmpty) {
    if (m_hold) co_await m_hold->write(onEmpty);
}

co::Task<> DiscretePage::discreteInit() {
    co_await PageStep([this]() -> co::Task<> {
        co_await showModel();
        co_await readHold();
    });
}

co::Task<> DiscretePage::discreteDownload() {
    co_await PageStep([this]() -> co::Task<> { co_await writeHold(); });
}

co::Task<> DiscretePage::readPoints() {
    const QString r = co_await ReadItemRetry(3, "00", "21");
    if (!r.isEmpty()) PaintHexCells(QList<QLineEdit *>(txtCData.begin(), txtCData.end()), AfterX(r), 4);
}

co::Task<> DiscretePage::readExtension() {
    if (g.ExtName != "NONE") co_await ReadExtPoints(this);
}

co::Task<> DiscretePage::ReadingData() {
    co_await readPoints();
    if (m_decl.extension) co_await readExtension();
}

void DiscretePage::showState(int i, bool diOn, bool doOn, const QColor &on, const QColor &off, bool redraw) {
    for (auto [box, set] : {std::pair{txtDICh.value(i), diOn}, std::pair{txtDOCh.value(i), doOn}}) {
        if (!box) continue;
        const QString text = set ? QStringLiteral("ON") : QStringLiteral("OFF");
        const QColor colour = set ? on : off;
        if (box->text() == text && ForeColor(box) == colour) continue;
        box->setText(text);
        SetForeColor(box, colour);
        if (redraw) box->repaint();
    }
}

void DiscretePage::txt_able(bool enable) {
    if (m_hold) m_hold->setEditable(enable);
    for (QWidget *w : m_editable) w->setEnabled(enable);
}
