#include "sim/PtyHost.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

PtyHost::PtyHost(std::shared_ptr<SimUnit> unit, QObject *parent) : SimEndpoint(std::move(unit), parent) {}

PtyHost::~PtyHost() { stop(); }

bool PtyHost::start(QString *error) {
    auto fail = [&](const char *what) {
        if (error) *error = QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
        stop();
        return false;
    };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) return fail("posix_openpt");
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) return fail("grantpt/unlockpt");
    const char *name = ::ptsname(m_master);
    if (!name) return fail("ptsname");
    m_path = QString::fromLocal8Bit(name);
    termios t{};
    if (::tcgetattr(m_master, &t) == 0) {
        // Raw, so that no carriage return turns into a line feed and nothing echoes.
        ::cfmakeraw(&t);
        ::tcsetattr(m_master, TCSANOW, &t);
    }
    m_slaveKeep = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slaveKeep >= 0 && ::tcgetattr(m_slaveKeep, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(m_slaveKeep, TCSANOW, &t);
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &PtyHost::onReadable);
    return true;
}

void PtyHost::stop() {
    m_notifier.reset();
    reset();
    if (m_master >= 0) ::close(m_master);
    if (m_slaveKeep >= 0) ::close(m_slaveKeep);
    m_master = m_slaveKeep = -1;
}

void PtyHost::onReadable() {
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            receive(QByteArray(buf, int(n)));
            if (m_master < 0) return; // the unit vanished while answering
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        // EIO or end of file: nobody holds the other side; keep quiet rather than spin.
        if (m_notifier) m_notifier->setEnabled(false);
        return;
    }
}

void PtyHost::deliver(const QByteArray &bytes) {
    if (m_master < 0) return;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) done += n;
        else if (n < 0 && errno == EINTR) continue;
        else break; // the other side is not reading; drop what does not fit, as a line would
    }
}

void PtyHost::vanish() { stop(); }

} // namespace sim
