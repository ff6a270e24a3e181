#include "netpages/frmFLRemote.h"
#include "pages/Widgets.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
QLineEdit *timerFrame(QWidget *page, QVBoxLayout *into, const QString &name, const QString &caption,
                      const QString &unit) {
    QGroupBox *frame = MakeFrame(page, "fra" + name, caption);
    auto *row = new QHBoxLayout(frame);
    QLineEdit *box = MakeText(frame, name, caption + " (" + unit + ")", 80);
    row->addWidget(box);
    row->addWidget(new QLabel(unit, frame));
    row->addStretch();
    into->addWidget(frame);
    return box;
}
} // namespace

frmFLRemote::frmFLRemote(QWidget *parent) : NetPage("frmFLRemote", "FL-Remote Setting", parent) {
    Text1 = timerFrame(this, body(), "Text1", "Token Watchdog timer", "x 100 usec");
    Text2 = timerFrame(this, body(), "Text2", "Allowable minimum frame interval", "x 1 msec");
    m_values = {Text1, Text2};
    m_downloadKey = "F";
}

QList<NetPage::NetField> frmFLRemote::fields() const {
    return {textField("51", Text1), textField("52", Text2)};
}

QString frmFLRemote::emptyBoxMessage() const {
    return Text1->text().isEmpty() || Text2->text().isEmpty() ? QStringLiteral("Please enter number.")
                                                              : QString();
}
