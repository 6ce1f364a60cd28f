#include "commands/mail/EmailItems.h"

#include "common/CommandProgress.h"
#include "common/ItemKinds.h"
#include "common/ItemLists.h"
#include "common/ItemNames.h"
#include "common/ItemPaths.h"
#include "common/ScriptText.h"
#include "common/SelectionResolution.h"
#include "common/UniqueNames.h"
#include "platform/local/files/Files.h"
#include "platform/local/system/Tasks.h"
#include "platform/services/Locations.h"
#include "platform/services/SystemLog.h"
#include "platform/types/ScriptValue.h"
#include "scripts/ScriptRunner.h"

#include <QFile>
#include <QStringList>
#include <vector>

namespace {

const QString kParcelo = QStringLiteral("Parcelo");

} // namespace

std::optional<QString> ReadFile(const FSRef* file) {
    const auto path = stringWithFSRef(file);
    if (!path)
        return std::nullopt;
    return ReadScriptSource(*path);
}

bool ZipArchive(const FSRef* item, FSRef* archive) {
    const QString name = GetObjectName(item).value_or(QString());
    NSLog(QStringLiteral("Archiving  \"%1\"").arg(name));
    SetCommandProgress(QStringLiteral("Archiving \u201c%1\u201d").arg(name));
    const QString temporary = UserTemporaryItemsFolder();
    FSRef temporaryRef, parcelo, folder;
    if (temporary.isEmpty() || FSPathMakeRef(QFile::encodeName(temporary), &temporaryRef) != noErr)
        return false;
    if (!FSObjectExists(&temporaryRef, kParcelo, &parcelo) &&
        FSCreateDirectory(&temporaryRef, kParcelo, &parcelo) != noErr)
        return false;
    if (FSCreateDirectory(&parcelo, GenerateUniqueName(), &folder) != noErr)
        return false;
    const auto folderPath = stringWithFSRef(&folder);
    const auto itemPath = stringWithFSRef(item);
    if (!folderPath || !itemPath)
        return false;
    QString archivePath = *folderPath;
    if (!archivePath.endsWith(u'/'))
        archivePath += u'/';
    archivePath += name + QStringLiteral(".zip");
    const int status = RunTaskAndWait(
        HelperProgramPath(QStringLiteral("velmora-ditto")),
        {QStringLiteral("-c"), QStringLiteral("-k"), QStringLiteral("-X"), *itemPath, archivePath});
    if (status != 0)
        return false;
    if (FSPathMakeRef(archivePath.toUtf8(), archive) != noErr)
        return false;
    NSLog(QStringLiteral("Archived \"%1\" to \"%2\"").arg(*itemPath, archivePath));
    return true;
}

QString MailMessageScript(const QString& scriptTemplate, const QString& paths,
                          const QString& names) {
    const QString placeholder = QStringLiteral("%@");
    const QString quoted = QStringLiteral("\"%@\"");
    const qsizetype first = scriptTemplate.indexOf(placeholder);
    const qsizetype second =
        first < 0 ? -1 : scriptTemplate.indexOf(quoted, first + placeholder.size());
    if (second < 0)
        return scriptTemplate;
    return scriptTemplate.left(first) + paths +
           scriptTemplate.mid(first + placeholder.size(), second - first - placeholder.size()) +
           QuotedScriptText(names) + scriptTemplate.mid(second + quoted.size());
}

void EmailItemsOfSelection() {
    const QStringList selection = FinderSelectionPaths();
    if (selection.isEmpty())
        return;
    FSRef scriptRef;
    const QString scriptPath =
        NSBundleResourcePath() + QStringLiteral("/scripts/MakeMailMessage.applescript");
    if (FSPathMakeRef(QFile::encodeName(scriptPath), &scriptRef) != noErr)
        return;
    const auto scriptTemplate = ReadFile(&scriptRef);
    if (!scriptTemplate)
        return;

    std::vector<FSRef> items;
    items.reserve(size_t(selection.size()));
    QStringList names;
    for (const QString& path : selection) {
        FSRef ref;
        if (FSPathMakeRef(path.toUtf8(), &ref) != noErr)
            continue;
        items.push_back(ref);
        if (const auto name = GetObjectDisplayName(&ref))
            names.append(*name);
    }
    QString paths;
    for (const FSRef& item : items) {
        FSRef archive;
        // A link is no file of its own to attach: it is left out, as anything else would be.
        if (ItemIsPlainFile(&item) && !ItemIsSymbolicLink(&item))
            AddFilePathToPaths(&item, paths);
        else if (ItemIsContainer(&item) && ZipArchive(&item, &archive))
            AddFilePathToPaths(&archive, paths);
    }
    SortCFMutableArrayOfCFStringsLikeTheFinder(names);
    RunCFStringScript(MailMessageScript(*scriptTemplate, paths, names.join(QStringLiteral(", "))));
}
