// Graphics importers: a reader for an image file, chosen by what the file holds, whatever its
// name says. Built on Qt's image readers and their format plugins.
#pragma once

#include "platform/types/MacTypes.h"

#include <QByteArray>
#include <memory>

class QFile;

class GraphicsImporter {
public:
    GraphicsImporter(std::unique_ptr<QFile> file, QByteArray format);
    ~GraphicsImporter();
    // The format that recognised the file ("png", "jpeg", ...).
    QByteArray format() const { return m_format; }

private:
    std::unique_ptr<QFile> m_file;
    QByteArray m_format;
};

// cantFindHandler when no image reader recognises the file's content, fnfErr when the
// specification names no readable regular file. Only the file's header is looked at.
OSStatus GetGraphicsImporterForFile(const FSSpec* spec,
                                    std::unique_ptr<GraphicsImporter>* importer);
