#include "commands/pdf/CombineFiles.h"

#include "commands/pdf/PdfConversions.h"
#include "common/Alerts.h"
#include "platform/services/Alerts.h"
#include "platform/services/Processes.h"
#include "platform/services/Workspace.h"

#include <QFileInfo>

namespace {

// Beyond this many documents qpdf reads each one by reopening it, as its own command line does,
// so that a large selection never runs out of file descriptors.
constexpr qsizetype kDocumentsKeptOpen = 200;

// US Letter, for a combined document whose first file cannot be read.
constexpr CGRect kDefaultMediaBox{0, 0, 612, 792};

CGRect FirstPageMediaBox(const QString& path) {
    const CGPDFDocumentRef document = CGPDFDocumentCreateWithPath(path);
    if (CGPDFDocumentGetNumberOfPages(document) == 0)
        return kDefaultMediaBox;
    return CGPDFPageGetMediaBox(document, 1);
}

} // namespace

bool zadAVOFiles(const QStringList& paths, const CGRect& mediaBox, const QString& destination,
                 const QString& title, const QString& creator) {
    CGPDFContextRef context = CGPDFContextCreateWithPath(destination, mediaBox, title, creator);
    const bool keepOpen = paths.size() <= kDocumentsKeptOpen;
    bool copied = false;
    for (const QString& path : paths) {
        const CGPDFDocumentRef document = CGPDFDocumentCreateWithPath(path, keepOpen);
        if (!document) {
            ShowAlertMessage(QStringLiteral("This file could not be opened as a PDF:"), path);
            continue;
        }
        const std::size_t count = CGPDFDocumentGetNumberOfPages(document);
        if (count == 0)
            ShowAlertMessage(QStringLiteral("This PDF has no pages:"), path);
        for (std::size_t page = 1; page <= count; ++page)
            copied = CGPDFContextAppendPage(*context, document, page) || copied;
    }
    if (!copied) {
        ShowAlertMessage(QStringLiteral("No page could be combined, so this file was not written:"),
                         destination);
        return false;
    }
    QString reason;
    if (!CGPDFContextClose(std::move(context), &reason)) {
        ShowAlertMessage(QStringLiteral("The output file could not be created."),
                         reason.isEmpty() ? destination : destination + u'\n' + reason);
        return false;
    }
    return true;
}

void CombineFilesOfSelection() {
    const QStringList converted = PDFConvertedFinderSelection();
    if (converted.isEmpty())
        return;
    const CGRect mediaBox = FirstPageMediaBox(converted.first());
    SetFrontProcess(&kCurrentProcessPSN);
    const auto destination = RunSavePanel(QStringLiteral("pdf"), QStringLiteral("Untitled"));
    if (!destination)
        return;
    if (zadAVOFiles(converted, mediaBox, *destination, QFileInfo(*destination).fileName(),
                    QStringLiteral("Velmora")))
        NSWorkspaceOpenFile(*destination);
}
