#include "cli/Signals.h"

#include <QObject>
#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int pipeFds[2] = {-1, -1};
std::atomic<int> first{0};
constexpr int MaxKilled = 64;
std::atomic<pid_t> killed[MaxKilled];
std::function<void(int)> onStop;

void handler(int sig) {
    int none = 0;
    if (!first.compare_exchange_strong(none, sig)) {
        // The second: at once, and the workers with it.
        for (auto &p : killed)
            if (const pid_t pid = p.load(); pid > 0) ::kill(pid, SIGKILL);
        _exit(128 + first.load());
    }
    const char c = char(sig);
    [[maybe_unused]] const auto n = ::write(pipeFds[1], &c, 1);
}
} // namespace

void CliSignals::install(std::function<void(int)> stop) {
    onStop = std::move(stop);
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeFds) != 0) return;
    auto *n = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read);
    QObject::connect(n, &QSocketNotifier::activated, n, [] {
        char c = 0;
        if (::read(pipeFds[0], &c, 1) == 1 && onStop) onStop(int(c));
    });
    struct sigaction sa = {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &sa, nullptr);
}

int CliSignals::received() { return first.load(); }

void CliSignals::killOnSecond(pid_t pid) {
    for (auto &p : killed) {
        pid_t none = 0;
        if (p.compare_exchange_strong(none, pid)) return;
    }
}

void CliSignals::forget(pid_t pid) {
    for (auto &p : killed) {
        pid_t mine = pid;
        if (p.compare_exchange_strong(mine, 0)) return;
    }
}

void CliSignals::endWithParent() {
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    // The parent may have ended before the line above.
    if (getppid() != parent) raise(SIGTERM);
}
