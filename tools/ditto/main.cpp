// velmora-ditto: the part of the Mac's ditto tool that Velmora uses, zipping a folder before it
// is sent by mail:
//
//     velmora-ditto -c -k [-X] [--keepParent] [--sequesterRsrc] [--norsrc] [--rsrc] SOURCE ARCHIVE
//
// -c (create an archive) and -k (of the PKZip kind) are required, since copying and cpio
// archives are not needed. --sequesterRsrc, --norsrc and --rsrc choose what happens to a Mac
// file's resource fork and extended attributes; Linux files have no resource fork, so they are
// accepted for the same command line to work and change nothing.
//
// Exit status: 0 when ARCHIVE is complete, 1 when archiving failed (a message on stderr says
// why, and ARCHIVE is as it was), 2 when the command line is wrong.
#include "tools/ditto/DittoArchive.h"

#include <iostream>
#include <string_view>
#include <vector>

namespace {

constexpr int kUsageStatus = 2;

int Usage(std::string_view problem) {
    std::cerr << "velmora-ditto: " << problem << "\n"
              << "usage: velmora-ditto -c -k [-X] [--keepParent] [--sequesterRsrc] [--norsrc] "
                 "[--rsrc] SOURCE ARCHIVE\n";
    return kUsageStatus;
}

} // namespace

int main(int argc, char** argv) {
    bool create = false;
    bool pkzip = false;
    DittoOptions options;
    std::vector<std::string> paths;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            paths.emplace_back(argument);
            optionsEnded = true;
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--keepParent") {
            options.keepParent = true;
        } else if (argument == "--sequesterRsrc" || argument == "--norsrc" ||
                   argument == "--rsrc") {
            continue;
        } else if (argument[1] != '-') {
            // Single-letter options may be run together, as in "-ck".
            for (const char letter : argument.substr(1)) {
                if (letter == 'c') {
                    create = true;
                } else if (letter == 'k') {
                    pkzip = true;
                } else if (letter == 'X') {
                    options.sameFileSystem = true;
                } else {
                    return Usage("unknown option -" + std::string(1, letter));
                }
            }
        } else {
            return Usage("unknown option " + std::string(argument));
        }
    }
    if (!create || !pkzip) {
        return Usage("only creating a PKZip archive (-c -k) is supported");
    }
    if (paths.size() != 2) {
        return Usage("expected SOURCE and ARCHIVE");
    }
    if (const auto failure = WriteZipArchive(paths[0], paths[1], options)) {
        std::cerr << "velmora-ditto: " << *failure << "\n";
        return 1;
    }
    return 0;
}
