// Fuzz target: any bytes go through the configuration loader (the field reader, the checks of
// both records and, for a file that passes them, the pages). A file that loads and saves must
// load again from what was saved, and save the same bytes a second time.
#include "app/Ui.h"
#include "app/frmVireo.h"
#include "config/ConfigFile.h"

#include <QApplication>
#include <QDir>
#include <cstdint>

namespace {
class SilentUi : public UiSeam {
  public:
    void message(const QString &, const QString &, MsgIcon) override {}
    bool question(const QString &, const QString &) override { return false; }
    int execDialog(QDialog *) override { return 0; }
    QString openFileName(QWidget *, const QString &, int, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &, int, const QString &) override { return {}; }
    void endProgram() override {}
};
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
    // The pages live in the main window, as in the program. The window moves into the program's
    // folder; the fuzzer's paths are relative to where it was started.
    const QString here = QDir::currentPath();
    new frmVireo;
    QDir::setCurrent(here);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!cfg::LoadConfigBytes(bytes)) return 0;
    // Not every loaded file saves: a box may hold what no integer field takes.
    const std::optional<QByteArray> saved = cfg::BuildConfig(nullptr);
    if (!saved) return 0;
    if (!cfg::LoadConfigBytes(*saved)) __builtin_trap();
    const std::optional<QByteArray> again = cfg::BuildConfig(nullptr);
    if (!again || *again != *saved) __builtin_trap();
    return 0;
}
