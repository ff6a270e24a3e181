// Fuzz target "reply": whatever the unit sends, in whatever chunks, through the transaction's
// reassembly, the command operations and every routine that takes a reply apart.
//
// Input: one byte n, then n % 8 bytes already waiting before the first line (a late reply);
// then chunks, each a length byte and its bytes: below 0x80 the length is the byte + 1, 0x80 to
// 0xFE a long chunk of (byte - 0x7F) * 64 bytes, 0xFF ends the reply to the current line.
#include "core/Globals.h"
#include "core/Identify.h"
#include "link/Link.h"
#include "link/Protocol.h"
#include "link/SerialDevice.h"
#include "link/TextRoutines.h"

#include <QCoreApplication>
#include <QEvent>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
// The fuzzed device answers as soon as it is written to: a task is done by the time it returns,
// else the loop runs until it is.
template <class T> T Await(co::Task<T> &&task) {
    co::Task<T> t = std::move(task);
    while (!t.done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    return t.result();
}


void check(bool ok, const char *what) {
    if (ok) return;
    std::fprintf(stderr, "fuzz_reply: %s\n", what);
    std::abort();
}

// A line whose replies come from the fuzz input: each written line takes the next reply, handed
// over one chunk per read. A reply that runs out without its carriage return is silence: the
// time-out is raised at once instead of waited for.
class FuzzDevice : public SerialDevice {
public:
    Link *link = nullptr;
    QByteArray waiting;
    QList<QList<QByteArray>> replies;

    bool open(const QString &, const QString &, QString *) override { return m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void write(const QByteArray &) override {
        m_chunks = replies.isEmpty() ? QList<QByteArray>{} : replies.takeFirst();
        if (m_chunks.isEmpty()) link->IntervalTimer_Timer();
    }
    qint64 bytesAvailable() const override {
        if (!waiting.isEmpty()) return waiting.size();
        return m_chunks.isEmpty() ? 0 : m_chunks.first().size();
    }
    QByteArray readAll() override {
        if (!waiting.isEmpty()) return std::exchange(waiting, {});
        if (m_chunks.isEmpty()) return {};
        const QByteArray c = m_chunks.takeFirst();
        // The next chunk comes later, as a line hands them over.
        if (!m_chunks.isEmpty()) QMetaObject::invokeMethod(this, [this] { emit dataArrived(); }, Qt::QueuedConnection);
        else if (!c.endsWith('\r')) link->IntervalTimer_Timer();
        return c;
    }
    void discardInput() override {
        discarded += waiting.size();
        waiting.clear();
    }
    qsizetype discarded = 0;

private:
    bool m_open = false;
    QList<QByteArray> m_chunks;
};

// What the transaction must return for these chunks.
QString expectedReply(const QList<QByteArray> &chunks) {
    QByteArray acc;
    bool overflow = false;
    for (const QByteArray &c : chunks) {
        if (!overflow) {
            acc += c;
            if (acc.size() > Link::MaxReplyBytes + 1) overflow = true;
        }
        if (c.endsWith('\r')) return overflow ? QString() : QString::fromLatin1(acc.chopped(1));
    }
    return {};
}

void parse(const uint8_t *data, size_t size, FuzzDevice &dev) {
    size_t i = 0;
    if (i < size) {
        const size_t n = std::min<size_t>(data[i++] % 8, size - 1);
        dev.waiting = QByteArray(reinterpret_cast<const char *>(data + i), qsizetype(n));
        i += n;
    }
    QList<QByteArray> reply;
    while (i < size) {
        const uint8_t c = data[i++];
        if (c == 0xFF) {
            dev.replies.append(reply);
            reply.clear();
            continue;
        }
        const size_t want = c < 0x80 ? size_t(c) + 1 : size_t(c - 0x7F) * 64;
        const size_t len = std::min(want, size - i);
        if (len == 0) break;
        reply.append(QByteArray(reinterpret_cast<const char *>(data + i), qsizetype(len)));
        i += len;
    }
    if (!reply.isEmpty()) dev.replies.append(reply);
}

void takeApart(const QString &r) {
    const QString after = AfterColon(r);
    check(r.endsWith(after), "AfterColon is not a tail");
    if (r.contains(':')) check(BeforeColon(r) + ':' + after == r, "BeforeColon/AfterColon do not rejoin");
    else check(after == r && BeforeColon(r) == r, "no colon changed the text");
    check(r.endsWith(AfterX(r)) && r.endsWith(AfterDash(r)), "AfterX/AfterDash is not a tail");
    check(RemoveFirstDot(r).size() == r.size() - (r.contains('.') ? 1 : 0), "RemoveFirstDot length");
    for (int n = 0; n <= 3; ++n) {
        const int v = HexDigitValue(r.left(n));
        check(v >= 0 && v <= 16, "HexDigitValue out of range");
    }
    QString d4, d3, d2, d1;
    SplitDotted(r, d4, d3, d2, d1);
    if (r.count('.') >= 3) check(d1 + '.' + d2 + '.' + d3 + '.' + d4 == r, "SplitDotted does not rejoin");
    if (const auto v = CheckIntegerValue(r)) {
        check(*v >= -32768 && *v <= 32767, "CheckIntegerValue out of 16 bits");
        for (int k = 0; k < 3 && k < r.size(); ++k)
            check(r.at(k) != '+' && r.at(k) != '-' && r.at(k) != '.', "CheckIntegerValue took a sign");
    }
    if (const auto live = LiveValueText(r)) {
        check(!r.isEmpty() && IsNumeric(*live), "LiveValueText not numeric");
        check(*live == RemoveFirstDot(after), "LiveValueText is not the reply's value");
    }
    // Identification's view of a model reply.
    if (!IsProtocolAnswer(r)) {
        ClassifyModel(AfterDash(after));
        check((g.modelnum >= 0 && g.modelnum <= 25) || g.modelnum == 99, "modelnum out of range");
        check(g.SubTyp >= 0 && g.SubTyp <= 4, "SubTyp out of range");
        g.NetTyp = NetKindOf(after).netTyp;
        check((g.NetTyp >= 0 && g.NetTyp <= 7) || g.NetTyp == 99, "NetTyp out of range");
    }
}

Link *theLink = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    static QCoreApplication app(*argc, *argv);
    // One link for every input: a fresh one would open a real serial port object each time.
    static Link link;
    theLink = &link;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Link &link = *theLink;
    auto owned = std::make_unique<FuzzDevice>();
    FuzzDevice &dev = *owned;
    dev.link = &link;
    parse(data, size, dev);
    const QList<QList<QByteArray>> replies = dev.replies;
    const qsizetype waiting = dev.waiting.size();
    link.setDevice(std::move(owned));
    link.setTimings(0, 60000);
    Await(link.OpenComPort(1, Link::DefaultSettings));
    Link::setCurrent(&link);

    // The reassembly, against its plain statement.
    const QString first = Await(link.Transact("I02\r"));
    check(first == expectedReply(replies.value(0)), "Transact differs from the reassembly rule");
    check(dev.discarded == waiting, "bytes waiting before the line were not dropped");
    check(!link.busy(), "the link stays busy after its transaction");
    takeApart(first);
    takeApart(QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(std::min<size_t>(size, 256))));

    const QString second = Await(link.SendCommand("I06\r"));
    check(second == TrimBlanks(expectedReply(replies.value(1))), "SendCommand differs");
    takeApart(second);

    // The command operations over whatever replies are left.
    for (const QString &r : {Await(ReadItemRetry(3, "00", "02")), Await(InquireItemRetry(3, "06")), Await(WriteItemRetry(3, "00", "01", "F")),
                             Await(WriteDataRetry(1, "20", "-100"))}) {
        check(r == TrimBlanks(r), "a retrying operation left blanks");
        takeApart(r);
    }
    Link::setCurrent(nullptr);
    link.setDevice(nullptr);
    return 0;
}
