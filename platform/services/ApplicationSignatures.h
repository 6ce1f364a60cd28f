// The applications the system looks for by creator code, with the name each one goes by: what
// the process list of both desktops knows of an application's signature. Every one of them is
// an application, of file type 'APPL'.
#pragma once

#include "platform/types/MacTypes.h"

#include <QString>
#include <optional>

constexpr OSType kApplicationFileType = FOUR_CHAR_CODE("APPL");

struct ApplicationSignature {
    OSType creator;
    const char* name;
};

inline constexpr ApplicationSignature kApplicationSignatures[] = {
    {FOUR_CHAR_CODE("sfri"), "Safari"},  {FOUR_CHAR_CODE("rimZ"), "Google Chrome"},
    {FOUR_CHAR_CODE("FLKb"), "Flock"},   {FOUR_CHAR_CODE("MOZB"), "Firefox"},
    {FOUR_CHAR_CODE("OPRA"), "Opera"},   {FOUR_CHAR_CODE("MOZC"), "Camino"},
    {FOUR_CHAR_CODE("OWEB"), "OmniWeb"},
};

// The name of the application with this signature; none for a creator no application has or a
// type other than 'APPL'.
inline std::optional<QString> ApplicationNameForSignature(OSType creator, OSType type) {
    if (type != kApplicationFileType)
        return std::nullopt;
    for (const ApplicationSignature& signature : kApplicationSignatures) {
        if (signature.creator == creator)
            return QString::fromLatin1(signature.name);
    }
    return std::nullopt;
}
