// velmora-select: the command file manager actions run to hand their selection to Velmora.

#include "SelectArguments.h"

#include "platform/linux/SelectionFile.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <unistd.h>

namespace {

constexpr char kUsage[] =
    "Usage: velmora-select [--] [FILE|URI]...\n"
    "       velmora-select --clear\n"
    "\n"
    "Makes the given files Velmora's current selection, replacing the previous one.\n"
    "FILE is a local path, relative to the current folder or absolute; URI is a file:// URI.\n"
    "URIs of places that are not local files are skipped. Without FILEs, or with --clear,\n"
    "the selection is cleared.\n"
    "\n"
    "  --clear   clear the selection\n"
    "  --help    show this help\n"
    "  --        end of options: every later argument is a FILE or URI\n"
    "\n"
    "Exit status: 0 written, 1 the selection could not be written, 2 bad usage.\n";

constexpr int kExitWriteFailed = 1;
constexpr int kExitUsage = 2;

// Arguments are shown as given, but with control bytes escaped so that a file name holding a
// newline cannot forge lines of the message.
QByteArray printable(const QByteArray& bytes) {
    QByteArray shown;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            shown += "\\x" + QByteArray::number(byte, 16).rightJustified(2, '0');
        else
            shown += c;
    }
    return shown;
}

void complain(const QByteArray& message) {
    const QByteArray line = "velmora-select: " + message + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

int usageError(const QByteArray& message) {
    complain(message + " (see velmora-select --help)");
    return kExitUsage;
}

// The current folder as the user knows it: $PWD when it still is this folder (it keeps the
// symlinks the user went through), the physical path otherwise.
QByteArray currentFolder() {
    char* dir = ::get_current_dir_name();
    const QByteArray folder(dir);
    std::free(dir);
    return folder;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<QByteArray> items;
    bool clear = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (optionsEnded || !argument.startsWith('-') || argument == "-") {
            items.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return EXIT_SUCCESS;
        } else if (argument == "--clear") {
            clear = true;
        } else {
            return usageError("unknown option " + printable(argument));
        }
    }
    if (clear && !items.empty())
        return usageError("--clear takes no files");

    const QByteArray currentDir = items.empty() ? QByteArray() : currentFolder();
    std::vector<QByteArray> paths;
    for (const QByteArray& item : items) {
        velmora::select::ArgumentPath resolved = velmora::select::resolveArgument(item, currentDir);
        if (resolved.problem.isEmpty())
            paths.push_back(std::move(resolved.path));
        else
            complain("skipping " + printable(item) + ": " + resolved.problem);
    }

    const QByteArray folder = platform::linuxdesk::selectionFolder(
        qgetenv("XDG_RUNTIME_DIR"), qgetenv("XDG_CACHE_HOME"), qgetenv("HOME"));
    if (folder.isEmpty()) {
        complain("cannot tell where to keep the selection: neither XDG_RUNTIME_DIR, "
                 "XDG_CACHE_HOME nor HOME is set to an absolute path");
        return kExitWriteFailed;
    }
    QString error;
    if (!platform::linuxdesk::writeSelectionFile(folder, paths, &error)) {
        complain(error.toUtf8());
        return kExitWriteFailed;
    }
    return EXIT_SUCCESS;
}
