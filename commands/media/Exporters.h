// The catalogue of image exporters: every image format the platform can write, filled once on
// first use and kept until the process ends, and the lookup of an exporter by extension.
//
// The texts come from the platform as UTF-8, Linux's encoding for C strings, and are made into
// string objects in it; a text cut at 256 bytes is cut back to a whole character.
#pragma once

#include "platform/types/MacTypes.h"

#include <QString>

struct ExporterInfo {
    OSType type;
    char typeString[5];
    QString typeRef;
    char description[257];
    QString descriptionRef;
    char extension[257];
    QString extensionRef;
    char mimeType[257];
    QString mimeTypeRef;
};

// Null until the catalogue is built; the records are never freed.
extern ExporterInfo* gTheExporters;
extern SInt16 gNumberExporters;

// Builds the catalogue unless it is there, writing its progress to standard output. A platform
// that offers no exporter leaves it empty, to be asked again on the next use.
void GetExportTypes();

// The type of the last exporter whose extension is `extension`, ignoring case; false, with
// `type` left alone, when none is.
bool GetTypeForExtension(const QString& extension, OSType* type);
