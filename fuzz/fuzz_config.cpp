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
    void message(const QString &, const QString &, MsgIcon) override {}
    bool question(const QString &, const QString &) override { return false; }
    int execDialog(QDialog *) override { return 0; }
    QString openFileName(QWidget *, const QString &, int, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &, int, const QString &) override { return {}; }
    int chooseExtension(const QString &) override { return 0; }
    bool notice() override { return false; }
    void endProgram() override {}
};

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
    if (!session->loadConfig(bytes)) return 0;
    // Not every loaded file saves: a box may hold what no integer field takes.
    QString error;
    const QByteArray saved = store->buildConfig(&error);
    if (saved.isEmpty()) return 0;
    if (!session->loadConfig(saved)) __builtin_trap();
    const QByteArray again = store->buildConfig(&error);
    if (again != saved) __builtin_trap();
    return 0;
}
