#include "commands/pdf/CombineFiles.h"

#include "commands/pdf/PdfConversions.h"
#include "common/AlertMessages.h"
#include "common/CommandProgress.h"
#include "platform/local/system/BackgroundWork.h"
#include "platform/services/AlertService.h"
#include "platform/services/Processes.h"
#include "platform/services/Workspace.h"

#include <QFileInfo>
#include <vector>

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

namespace {

struct AlertText {
    QString message;
    QString detail;
};

// The combining itself, which touches files and nothing else: the alerts it calls for are
// collected, in order, for the caller to show.
bool CombinePages(const QStringList& paths, const QStringList& sources, const CGRect& mediaBox,
                  const QString& destination, const QString& title, const QString& creator,
                  std::vector<AlertText>& alerts) {
    CGPDFContextRef context = CGPDFContextCreateWithPath(destination, mediaBox, title, creator);
    const bool keepOpen = paths.size() <= kDocumentsKeptOpen;
    bool copied = false;
    for (qsizetype index = 0; index < paths.size(); ++index) {
        const QString& path = paths[index];
        SetCommandProgress(QStringLiteral("Combining %1 of %2").arg(index + 1).arg(paths.size()));
        const QString shown = sources.value(index, path);
        const CGPDFDocumentRef document = CGPDFDocumentCreateWithPath(path, keepOpen);
        if (!document) {
            alerts.push_back({QStringLiteral("This file could not be opened as a PDF:"), shown});
            continue;
        }
        const std::size_t count = CGPDFDocumentGetNumberOfPages(document);
        if (count == 0)
            alerts.push_back({QStringLiteral("This PDF has no pages:"), shown});
        for (std::size_t page = 1; page <= count; ++page)
            copied = CGPDFContextAppendPage(*context, document, page) || copied;
    }
    if (!copied) {
        alerts.push_back(
            {QStringLiteral("No page could be combined, so this file was not written:"),
             destination});
        return false;
    }
    SetCommandProgress(QStringLiteral("Writing the combined document"));
    QString reason;
    if (!CGPDFContextClose(std::move(context), &reason)) {
        alerts.push_back({QStringLiteral("The output file could not be created."),
                          reason.isEmpty() ? destination : destination + u'\n' + reason});
        return false;
    }
    return true;
}

} // namespace

bool zadAVOFiles(const QStringList& paths, const CGRect& mediaBox, const QString& destination,
                 const QString& title, const QString& creator, const QStringList& sources) {
    std::vector<AlertText> alerts;
    bool written = false;
    platform::RunInBackground([&] {
        written = CombinePages(paths, sources, mediaBox, destination, title, creator, alerts);
    });
    for (const AlertText& alert : alerts)
        ShowAlertMessage(alert.message, alert.detail);
    return written;
}

void CombineFilesOfSelection() {
    QStringList sources;
    const QStringList converted = PDFConvertedFinderSelection(&sources);
    if (converted.isEmpty())
        return;
    CGRect mediaBox;
    platform::RunInBackground([&] { mediaBox = FirstPageMediaBox(converted.first()); });
    SetFrontProcess(&kCurrentProcessPSN);
    const auto destination = RunSavePanel(QStringLiteral("pdf"), QStringLiteral("Untitled"));
    if (!destination)
        return;
    if (zadAVOFiles(converted, mediaBox, *destination, QFileInfo(*destination).fileName(),
                    QStringLiteral("Velmora"), sources))
        NSWorkspaceOpenFile(*destination);
}
