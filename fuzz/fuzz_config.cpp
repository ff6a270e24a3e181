// Fuzz target: any bytes go through the configuration loader (the field reader, the checks of
// both records and, for a file that passes them, the pages). A file that loads and saves must
// load again from what was saved, and save the same bytes a second time.
#include "core/Session.h"
#include "core/Ui.h"
#include "config/PageStore.h"

#include <QApplication>
#include <cstdint>

namespace {
class SilentUi : public UiSeam {
  public:
    co::Task<> message(QString, QString, MsgIcon) override { return co::Ready(); }
    co::Task<bool> question(QString, QString) override { return co::Ready(false); }
    co::Task<int> showDialog(QDialog *) override { return co::Ready(0); }
    co::Task<QString> openFileName(QWidget *, QString, int, QString) override { return co::Ready(QString()); }
    co::Task<QString> saveFileName(QWidget *, QString, int, QString) override { return co::Ready(QString()); }
    co::Task<int> chooseExtension(QString) override { return co::Ready(0); }
    co::Task<bool> notice() override { return co::Ready(false); }
    void endProgram() override {}
};

// The fuzzed device answers as soon as it is written to: a task is done by the time it returns,
// else the loop runs until it is.
template <class T> T Await(co::Task<T> &&task) {
    co::Task<T> t = std::move(task);
    while (!t.done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    return t.result();
}


Session *session = nullptr;
PageStore *store = nullptr;
} // namespace

// Font lookups keep caches for the life of the process; they are the system's, not ours.
extern "C" const char *__lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_config";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
    setUi(new SilentUi);
    // The session and its pages, headless.
    session = new Session;
    store = new PageStore;
    session->setPages(store);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!Await(session->loadConfig(bytes))) return 0;
    // Not every loaded file saves: a box may hold what no integer field takes.
    QString error;
    const QByteArray saved = store->buildConfig(&error);
    if (saved.isEmpty()) return 0;
    if (!Await(session->loadConfig(saved))) __builtin_trap();
    const QByteArray again = store->buildConfig(&error);
    if (again != saved) __builtin_trap();
    return 0;
}
