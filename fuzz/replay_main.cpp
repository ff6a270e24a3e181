// Replays fuzz inputs as a regression test: every file in the folders given on the command line
// goes through the target once. A crash or sanitizer report fails the test.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) __attribute__((weak));

int main(int argc, char **argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo root(QString::fromLocal8Bit(argv[i]));
        if (!root.exists()) continue;
        QStringList files;
        if (root.isFile()) files << root.filePath();
        else
            for (const QFileInfo &f : QDir(root.filePath()).entryInfoList(QDir::Files, QDir::Name))
                files << f.filePath();
        for (const QString &path : files) {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
                return 1;
            }
            const QByteArray bytes = f.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
            ++count;
        }
    }
    std::printf("replayed %d inputs\n", count);
    return 0;
}
