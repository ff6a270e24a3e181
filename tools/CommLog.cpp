#include "tools/CommLog.h"
#include "tools/SaveAs.h"
#include "core/Commands.h"
#include "core/Ui.h"
#include "pages/Widgets.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

// Labels one above the other, each so many lines tall, placed by hand.
class LabelHost : public QWidget {
public:
    using QWidget::QWidget;
    void setLabels(QList<std::pair<QLabel *, int>> labels) {
        m_labels = std::move(labels);
        int lines = 0;
        for (const auto &l : m_labels)
            lines += l.second;
        setFixedHeight(lines * fontMetrics().lineSpacing() + 2);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    }

protected:
    void resizeEvent(QResizeEvent *) override {
        int y = 0;
        for (const auto &[label, lines] : m_labels) {
            const int h = lines * fontMetrics().lineSpacing();
            label->setGeometry(0, y, width(), h);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            y += h;
        }
    }

private:
    QList<std::pair<QLabel *, int>> m_labels;
};

// The bytes as the log keeps them: a copy of their own, so that an entry never holds on to the
// buffer a reply was gathered in (which may be far larger), for up to 20000 entries.
QByteArray kept(const QByteArray &bytes) {
    return QByteArray(bytes.constData(), qMin<qsizetype>(bytes.size(), CommLog::MaxShownBytes));
}

QString csvField(const QString &s) {
    if (!s.contains(',') && !s.contains('"')) return s;
    return '"' + QString(s).replace('"', "\"\"") + '"';
}
} // namespace

CommLog::CommLog(QWidget *parent) : QDockWidget("Communication log", parent) {
    setObjectName("dockCommLog");
    m_clock = [] { return QDateTime::currentMSecsSinceEpoch(); };
    auto *body = new QWidget(this);
    auto *v = new QVBoxLayout(body);
    v->setContentsMargins(4, 4, 4, 4);
    v->setSpacing(4);

    auto *row = new QHBoxLayout;
    btnPause = MakeButton(body, "btnPause", "Pause");
    btnPause->setToolTip("Freeze the view; lines are still recorded");
    btnPause->setCheckable(true);
    btnClear = MakeButton(body, "btnClear", "Clear");
    btnCopy = MakeButton(body, "btnCopy", "Copy");
    btnCopy->setToolTip("Copy the selection, or the whole log");
    btnSave = MakeButton(body, "btnSave", "Save...");
    btnSave->setToolTip("Save the log as text");
    btnCsv = MakeButton(body, "btnCsv", "CSV...");
    btnCsv->setToolTip("Export the log as CSV: time, direction, line, reply ms");
    for (QPushButton *b : {btnPause, btnClear, btnCopy, btnSave, btnCsv})
        row->addWidget(b);
    row->addStretch();
    v->addLayout(row);

    auto *find = new QHBoxLayout;
    txtFind = new QLineEdit(body);
    txtFind->setObjectName("txtFind");
    txtFind->setPlaceholderText("Search");
    txtFind->setAccessibleName("Search the log");
    txtFind->setClearButtonEnabled(true);
    btnFind = MakeButton(body, "btnFind", "Find next");
    find->addWidget(txtFind, 1);
    find->addWidget(btnFind);
    v->addLayout(find);

    txtLog = new QPlainTextEdit(body);
    txtLog->setObjectName("txtLog");
    txtLog->setAccessibleName("Communication log");
    txtLog->setReadOnly(true);
    txtLog->setUndoRedoEnabled(false);
    txtLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtLog->setMaximumBlockCount(qMin(m_max, MaxViewLines));
    txtLog->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    v->addWidget(txtLog, 1);

    // The count and the statistics change with every batch: in a host of their own without a
    // layout, so that new figures do not lay out the dock again.
    auto *row2 = new QHBoxLayout;
    auto *host = new LabelHost(body);
    lblCount = new QLabel(host);
    lblCount->setObjectName("lblCount");
    lblStats = new QLabel(host);
    lblStats->setObjectName("lblStats");
    // Described, not named: a name would be read instead of the figures.
    lblStats->setAccessibleDescription("Statistics since the connection");
    host->setLabels({{lblCount, 1}, {lblStats, 2}});
    btnResetStats = MakeButton(body, "btnResetStats", "Reset");
    btnResetStats->setToolTip("Count the statistics again from now");
    row2->addWidget(host, 1);
    row2->addWidget(btnResetStats, 0, Qt::AlignBottom);
    v->addLayout(row2);
    setWidget(body);
    m_stats.sinceMs = m_clock();
    updateCount();
    updateStats();

    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(FlushMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &CommLog::flush);
    connect(btnPause, &QPushButton::toggled, this, &CommLog::setPaused);
    connect(btnClear, &QPushButton::clicked, this, &CommLog::clear);
    connect(btnCopy, &QPushButton::clicked, this, &CommLog::copy);
    // Saving opens beside a running command; the store is taken once the file is named.
    connect(btnSave, &QPushButton::clicked, this, [this] { co::Start(saveAs()); });
    connect(btnCsv, &QPushButton::clicked, this, [this] { co::Start(exportCsv()); });
    connect(btnResetStats, &QPushButton::clicked, this, [this] { resetStats(); });
    connect(btnFind, &QPushButton::clicked, this, [this] { findNext(); });
    connect(txtFind, &QLineEdit::returnPressed, this, [this] { findNext(); });
}

void CommLog::setLink(Link *link) {
    listen(false);
    m_link = link;
    listen(true);
}

void CommLog::listen(bool on) {
    if (!on) {
        for (const auto &c : std::as_const(m_connections))
            disconnect(c);
        m_connections.clear();
        return;
    }
    if (!m_link || !m_connections.isEmpty()) return;
    // Direct connections: the receivers only queue, the flush timer does the showing.
    m_connections = {
        connect(m_link, &Link::lineSent, this, &CommLog::onSent),
        connect(m_link, &Link::lineReceived, this, &CommLog::onReceived),
        connect(m_link, &Link::replyMissing, this, &CommLog::onMissing),
        connect(m_link, &Link::portError, this, &CommLog::onPortError),
        connect(m_link, &Link::noted, this, &CommLog::onNote),
        connect(m_link, &Link::portLost, this, &CommLog::onPortLost),
        connect(m_link, &Link::portOpened, this, &CommLog::onPortOpened),
        connect(m_link, &Link::retried, this, [this] { ++m_stats.retries; }),
    };
}

void CommLog::setVisible(bool visible) {
    QDockWidget::setVisible(visible);
    // Closed, nothing is shown: what came meanwhile is shown in one batch on opening.
    if (!isHidden()) flush();
}

void CommLog::setMaxEntries(int n) {
    m_max = qMax(1, n);
    txtLog->setMaximumBlockCount(qMin(m_max, MaxViewLines));
    trim(m_entries, m_max);
    trim(m_queue, m_max);
    updateCount();
}

void CommLog::trim(std::deque<Entry> &d, int max) {
    while (int(d.size()) > max)
        d.pop_front();
}

void CommLog::add(Entry e) {
    e.atMs = m_clock();
    m_queue.push_back(std::move(e));
    // The oldest go first: shown entries before queued ones.
    const int over = entryCount() - m_max;
    for (int i = 0; i < over && !m_entries.empty(); ++i)
        m_entries.pop_front();
    trim(m_queue, m_max);
    if (!m_paused && !m_flushTimer.isActive() && !isHidden()) m_flushTimer.start();
}

void CommLog::onSent(const QByteArray &line) {
    Entry e;
    e.kind = Kind::Sent;
    e.bytes = kept(line);
    e.bytesTotal = line.size();
    ++m_stats.exchanges;
    add(std::move(e));
}

void CommLog::onReceived(const QByteArray &line, qint64 replyUs) {
    Entry e;
    e.kind = Kind::Received;
    e.bytes = kept(line);
    e.bytesTotal = line.size();
    e.replyUs = replyUs;
    Stats &s = m_stats;
    s.minUs = s.replies == 0 ? replyUs : qMin(s.minUs, replyUs);
    s.maxUs = s.replies == 0 ? replyUs : qMax(s.maxUs, replyUs);
    s.totalUs += replyUs;
    ++s.replies;
    add(std::move(e));
}

void CommLog::onMissing(Link::NoReply why, const QByteArray &discarded, qint64 waitedUs) {
    Entry e;
    e.kind = Kind::NoReply;
    e.why = why;
    e.bytes = kept(discarded);
    e.bytesTotal = discarded.size();
    e.replyUs = waitedUs;
    if (why == Link::NoReply::TimeOut) ++m_stats.timeOuts;
    add(std::move(e));
}

void CommLog::onPortError(const QString &port, const QString &reason) {
    Entry e;
    e.kind = Kind::PortError;
    e.text = QStringLiteral("%1 cannot be opened: %2").arg(port, reason);
    ++m_stats.portErrors;
    add(std::move(e));
}

void CommLog::onNote(const QString &text) {
    Entry e;
    e.kind = Kind::Note;
    e.text = text;
    add(std::move(e));
}

void CommLog::onPortLost(const QString &reason) {
    Entry e;
    e.kind = Kind::PortError;
    e.text = QStringLiteral("port lost: %1").arg(reason);
    ++m_stats.portErrors;
    add(std::move(e));
}

void CommLog::onPortOpened() {
    // The figures are the connection's: a new one starts from nothing.
    resetStats();
}

void CommLog::resetStats() {
    m_stats = Stats();
    m_stats.sinceMs = m_clock();
    updateStats();
}

QString CommLog::statsText(const Stats &s) {
    auto n = [](int v, const char *one, const char *many) {
        return QStringLiteral("%1 %2").arg(v).arg(v == 1 ? one : many);
    };
    QString t = QStringLiteral("Since %1: %2, %3, %4, %5.")
                    .arg(QDateTime::fromMSecsSinceEpoch(s.sinceMs).toString("HH:mm:ss"),
                         n(s.exchanges, "exchange", "exchanges"), n(s.timeOuts, "time-out", "time-outs"),
                         n(s.retries, "retry", "retries"), n(s.portErrors, "port error", "port errors"));
    if (s.replies > 0)
        t += QStringLiteral("\nReply time %1 ms min, %2 mean, %3 max.")
                 .arg(double(s.minUs) / 1000, 0, 'f', 1)
                 .arg(double(s.totalUs) / s.replies / 1000, 0, 'f', 1)
                 .arg(double(s.maxUs) / 1000, 0, 'f', 1);
    return t;
}

void CommLog::updateStats() {
    const QString t = statsText(m_stats);
    if (lblStats->text() != t) lblStats->setText(t);
}

QString CommLog::visible(const QByteArray &bytes) { return VisibleBytes(bytes); }

QString CommLog::format(const Entry &e) { return FormatTraffic(e); }

QList<CommLog::Entry> CommLog::entries() const {
    QList<Entry> all;
    all.reserve(entryCount());
    all.append(QList<Entry>(m_entries.begin(), m_entries.end()));
    all.append(QList<Entry>(m_queue.begin(), m_queue.end()));
    return all;
}

QString CommLog::allText() const {
    QString s;
    for (const Entry &e : m_entries)
        s += format(e) + '\n';
    for (const Entry &e : m_queue)
        s += format(e) + '\n';
    return s;
}

void CommLog::flush() {
    m_flushTimer.stop();
    updateStats();
    if (m_paused || m_queue.empty()) return updateCount();
    // One edit for the whole batch: appending line by line relayouts the view every time.
    QString batch;
    const int from = qMax(0, int(m_queue.size()) - qMin(m_max, MaxViewLines));
    for (int i = from; i < int(m_queue.size()); ++i) {
        if (!batch.isEmpty()) batch += '\n';
        batch += format(m_queue[size_t(i)]);
    }
    for (Entry &e : m_queue)
        m_entries.push_back(std::move(e));
    m_queue.clear();
    trim(m_entries, m_max);
    txtLog->appendPlainText(batch);
    updateCount();
}

void CommLog::setPaused(bool paused) {
    m_paused = paused;
    if (btnPause->isChecked() != paused) btnPause->setChecked(paused);
    btnPause->setText(paused ? "Resume" : "Pause");
    if (!paused) flush();
}

void CommLog::clear() {
    m_entries.clear();
    m_queue.clear();
    txtLog->clear();
    updateCount();
}

void CommLog::updateCount() {
    QString s = QStringLiteral("%1 entries (at most %2)").arg(entryCount()).arg(m_max);
    if (m_paused && !m_queue.empty()) s += QStringLiteral(", %1 waiting").arg(m_queue.size());
    if (lblCount->text() != s) lblCount->setText(s);
}

bool CommLog::findNext() {
    const QString needle = txtFind->text();
    if (needle.isEmpty()) return false;
    if (txtLog->find(needle)) return true;
    // Wrap around to the top once.
    QTextCursor c = txtLog->textCursor();
    c.movePosition(QTextCursor::Start);
    txtLog->setTextCursor(c);
    return txtLog->find(needle);
}

void CommLog::copy() {
    QString sel = txtLog->textCursor().selectedText();
    // A selection holds paragraph separators, not newlines.
    QApplication::clipboard()->setText(sel.isEmpty() ? allText()
                                                     : sel.replace(QChar::ParagraphSeparator, '\n'));
}

co::Task<bool> CommLog::saveAs() {
    co_return co_await SaveAs(this, "Text files (*.txt);;All files (*)", "vireo-log.txt", [this] { return text(); },
                              "The log could not be saved to %1.");
}

QByteArray CommLog::text() const {
    const QString head = "VIREO communication log, saved " +
                         QDateTime::fromMSecsSinceEpoch(m_clock()).toString("yyyy-MM-dd HH:mm:ss") + "\n";
    return (head + allText()).toUtf8();
}

bool CommLog::saveTo(const QString &path) const { return WriteWhole(path, text()); }

QString CommLog::csv() const {
    QString s = QStringLiteral("Time,Direction,Line,Reply ms\r\n");
    auto row = [&s](const Entry &e) {
        static const char *const dir[] = {"TX", "RX", "--", "!!", "=="};
        QString line = e.kind == Kind::PortError || e.kind == Kind::Note ? e.text : visible(e.bytes);
        if (e.bytesTotal > e.bytes.size()) line += QStringLiteral("... (%1 bytes)").arg(e.bytesTotal);
        if (e.kind == Kind::NoReply)
            line = QStringLiteral("no reply (%1)").arg(NoReplyText(e.why)) +
                   (e.bytesTotal > 0 ? ", discarded " + line : QString());
        s += QDateTime::fromMSecsSinceEpoch(e.atMs).toString("yyyy-MM-dd HH:mm:ss.zzz") + ',' + dir[int(e.kind)] +
             ',' + csvField(line) + ',' +
             (e.replyUs < 0 ? QString() : QString::number(double(e.replyUs) / 1000, 'f', 3)) + "\r\n";
    };
    for (const Entry &e : m_entries)
        row(e);
    for (const Entry &e : m_queue)
        row(e);
    return s;
}

bool CommLog::saveCsvTo(const QString &path) const { return WriteWhole(path, csv().toUtf8()); }

co::Task<bool> CommLog::exportCsv() {
    co_return co_await SaveAs(this, "CSV files (*.csv);;All files (*)", "vireo-log.csv", [this] { return csv().toUtf8(); },
                              "The log could not be saved to %1.");
}
