// Runs a fuzz target once on each file it is given, and on each file of each folder it is given:
// how the normal and sanitizer builds replay a target's seed corpus without libFuzzer.
#include <QDirIterator>
#include <QFile>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    int inputs = 0;
    const auto replay = [&](const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = file.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                               size_t(bytes.size()));
        ++inputs;
        return true;
    };
    for (int n = 1; n < argc; ++n) {
        const QString path = QFile::decodeName(argv[n]);
        QDirIterator files(path, QDir::Files, QDirIterator::Subdirectories);
        if (!files.hasNext() && !replay(path)) {
            std::fprintf(stderr, "cannot read %s\n", argv[n]);
            return 2;
        }
        while (files.hasNext())
            replay(files.next());
    }
    std::printf("%d inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 2;
}
