#include "netpages/frmFlexnet.h"
#include "core/Globals.h"
#include "pages/Settings.h"
#include "pages/Widgets.h"
#include "link/TextRoutines.h"

#include <QGridLayout>
#include <QVBoxLayout>

frmFlexnet::frmFlexnet(QWidget *parent) : NetPage("frmFlexnet", "Setting", parent) {
    Frame1 = MakeFrame(this, "Frame1", "Averaging");
    QGridLayout *gl = grid(Frame1);
    txtAve = MakeText(Frame1, "txtAve", "Averaging or conversion rate", 80);
    gl->addWidget(txtAve, 0, 0);
    for (int i = 0; i < 6; ++i) {
        Labels[i] = MakeLabel(Frame1, QStringLiteral("Label%1").arg(i + 3), QString());
        Labels[i]->setMinimumWidth(110);
        gl->addWidget(Labels[i], 1 + i / 2, i % 2);
    }
    body()->addWidget(Frame1);

    addTimeoutFrame(body(), "x 0.1 sec");
    txtTimeout->setText("10");
    m_values = {txtAve, txtTimeout};
}

namespace {
// What the module of each SubTyp offers: frame caption, the six labels, the values it takes.
struct Choices {
    const char *caption; // null: the caption stays
    QStringList labels;
    QStringList accepted;
};

Choices choicesFor(int subTyp) {
    const QStringList rates = {"0:250 msec", "1:500 msec"};
    switch (subTyp) {
    case 1: return {"Conversion rate", {"0:80 msec", "1:40 msec", "2:20 msec", "3:10 msec"}, {"0", "1", "2", "3"}};
    case 2:
    case 3: return {"Conversion rate", rates, {"0", "1"}};
    case 4:
        return {"Averaging",
                {"0:No Averaging", "1:2 sample", "2:4 sample", "3:8 sample"},
                {"0", "1", "2", "3", "4", "5"}};
    default: return {nullptr, {}, {}};
    }
}
} // namespace

void frmFlexnet::showTimeout(const QString &reply) const {
    // These modules have no network time-out of their own to show.
    const int m = g.modelnum;
    const bool ownTimeout = !(m == 15 || m == 17 || m == 18 || m == 19);
    txtTimeout->setText(ownTimeout ? AfterColon(reply) : QStringLiteral("0"));
    // What these show is not what the unit holds: nothing to compare.
    SetExchanged(txtTimeout, ownTimeout);
    SetExchanged(txtAve, g.SubTyp != 0);
    if (g.SubTyp == 0) {
        Frame1->hide();
        txtAve->setText("0");
        return;
    }
    const Choices c = choicesFor(g.SubTyp);
    if (c.caption) Frame1->setTitle(c.caption);
    for (int i = 0; i < 6; ++i) Labels[i]->setText(c.labels.value(i));
    Frame1->show();
}

QList<NetPage::NetField> frmFlexnet::fields() const {
    QList<NetField> f{textField("51", txtTimeout)};
    f[0].show = [this](const QString &r) { showTimeout(r); };
    if (g.SubTyp != 0) {
        NetField ave = textField("52", txtAve);
        // A value the module does not offer is left out; the rest of the download goes on.
        ave.data = [this]() -> std::optional<QString> {
            if (choicesFor(g.SubTyp).accepted.contains(txtAve->text())) return txtAve->text();
            return std::nullopt;
        };
        f.append(ave);
    }
    return f;
}
