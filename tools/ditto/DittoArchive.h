// Writes the PKZip archive that `velmora-ditto -c -k` makes: the one thing Velmora asks of the
// Mac's ditto tool when it zips a folder to send it by mail. Entries are named the way ditto
// names them, so an archive made here unpacks on a Mac like one made there.
#pragma once

#include <optional>
#include <string>

struct DittoOptions {
    // --keepParent: the folder itself is the archive's top entry, not just its contents.
    bool keepParent = false;
    // -X: folders that are mount points of another file system are stored empty.
    bool sameFileSystem = false;
};

// Archives SOURCE (a folder, or a single file) into ARCHIVE, whose folder must exist. The
// archive is written beside ARCHIVE under a temporary name and renamed only once complete, so
// an existing ARCHIVE is replaced whole or not at all. Returns a one-line message naming the
// path and the reason when it fails, and nothing when the archive is complete.
std::optional<std::string> WriteZipArchive(const std::string& source, const std::string& archive,
                                           const DittoOptions& options);
