#include "common/UniqueNames.h"

#include "common/AlertMessages.h"
#include "common/ItemNames.h"
#include "platform/local/files/ExtensionRule.h"
#include "platform/local/files/FileOperations.h"
#include "platform/local/files/Files.h"
#include "platform/local/files/PrivateFolder.h"
#include "platform/services/Finder.h"
#include "platform/services/Locations.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

namespace {
constexpr char kVelmoraFolderName[] = "Velmora";
} // namespace

QString GenerateUniqueName() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

bool FSObjectExists(const FSRef* parent, const QString& name, FSRef* found) {
    FSRef ref;
    const OSStatus status = FSMakeFSRefUnicode(parent, name, &ref);
    if (status == fnfErr)
        return false;
    if (status == noErr && found)
        *found = ref;
    return true;
}

OSStatus FSCreateDirectory(const FSRef* parent, const QString& name, FSRef* folder) {
    FSRef existing;
    Boolean isDirectory = false;
    const OSStatus status = FSMakeFSRefUnicode(parent, name, &existing, &isDirectory);
    if (status == fnfErr)
        return FSCreateDirectoryUnicode(parent, name, folder);
    if (status != noErr)
        return status;
    if (!isDirectory)
        return errFSNotAFolder;
    if (folder)
        *folder = existing;
    return noErr;
}

QString UserTemporaryItemsFolder() {
    return NSTemporaryItemsDirectory();
}

std::optional<QString> TemporaryItemsFolderPath() {
    using platform::PrivateFolder;
    const QString base = UserTemporaryItemsFolder();
    if (base.isEmpty())
        return std::nullopt;
    const auto temporaryItems = PrivateFolder::open(QFile::encodeName(base));
    if (!temporaryItems)
        return std::nullopt;
    const auto velmora =
        temporaryItems->subfolder(kVelmoraFolderName, PrivateFolder::Creation::IfMissing);
    if (!velmora)
        return std::nullopt;
    const auto folder =
        velmora->subfolder(GenerateUniqueName().toLatin1(), PrivateFolder::Creation::New);
    if (!folder)
        return std::nullopt;
    return QFile::decodeName(folder->path());
}

void RemoveOldTemporaryItems(qint64 ageSeconds) {
    const QString base = UserTemporaryItemsFolder();
    if (base.isEmpty() || !platform::PrivateFolder::open(QFile::encodeName(base)))
        return;
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-ageSeconds);
    const QDir::Filters folders =
        QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Hidden;
    for (const QFileInfo& kind : QDir(base).entryInfoList(folders)) {
        for (const QFileInfo& job : QDir(kind.filePath()).entryInfoList(folders)) {
            if (job.lastModified().toUTC() < before)
                QDir(job.filePath()).removeRecursively();
        }
    }
}

OSStatus MakeOutputFile(const QString& name, const FSRef* parent, FSSpec* output) {
    FSRef existing;
    if (FSMakeFSRefUnicode(parent, name, &existing) == noErr)
        FSDeleteObject(&existing);
    FSRef file;
    if (OSStatus status = FSCreateFileUnicode(parent, name, &file); status != noErr) {
        ShowAlertMessage(QStringLiteral("The output file could not be created."), std::nullopt);
        return status;
    }
    MoreFEUpdateItemFSRef(&file);
    return FSRefMakeFSSpec(&file, output);
}

std::optional<QString> RenameDuplicateFile(const FSRef* destinationFolder, const FSRef* source) {
    const auto name = GetObjectName(source);
    if (!name || !FSObjectExists(destinationFolder, *name, nullptr))
        return std::nullopt;
    const auto extension = ExtensionStartIndex(*name);
    QString duplicate = NameWithoutExtension(*name);
    if (!duplicate.isEmpty())
        duplicate += QLatin1String(" - ");
    duplicate += GenerateUniqueName();
    if (extension)
        duplicate += u'.' + name->mid(*extension);
    return duplicate;
}

OSStatus MoveObjectRef3(const FSRef* source, const FSRef* destinationFolder, FSRef* result) {
    FSRef parent;
    if (OSStatus status = FSGetParentRef(source, &parent); status != noErr)
        return status;
    if (FSCompareFSRefs(&parent, destinationFolder))
        return noErr;
    return FSCopyObjectSync(source, destinationFolder,
                            RenameDuplicateFile(destinationFolder, source), result);
}
