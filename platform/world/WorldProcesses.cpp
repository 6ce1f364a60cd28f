#include "platform/services/ApplicationSignatures.h"
#include "platform/services/Finder.h"
#include "platform/world/World.h"
#include "platform/world/WorldServices.h"

namespace platform::world {

namespace {
constexpr ProcessSerialNumber kFinderProcess = {0, 1};
constexpr ProcessSerialNumber kFrontProcess = {0, 100};
// A running application of the signature table: its serial number holds its place there.
constexpr UInt32 kSignedProcessBase = 200;

bool operator==(const ProcessSerialNumber& a, const ProcessSerialNumber& b) {
    return a.highLongOfPSN == b.highLongOfPSN && a.lowLongOfPSN == b.lowLongOfPSN;
}
} // namespace

OSStatus WorldProcesses::findProcessBySignature(OSType creator, OSType type,
                                                ProcessSerialNumber* psn) {
    if (creator == gFinderSignature && type == kFinderFileType && m_world.finder.running) {
        *psn = kFinderProcess;
        return noErr;
    }
    const auto name = ApplicationNameForSignature(creator, type);
    if (!name || !m_world.applications.count(*name) || !m_world.applications[*name].running)
        return procNotFound;
    for (UInt32 index = 0; index < std::size(kApplicationSignatures); ++index) {
        if (kApplicationSignatures[index].creator == creator)
            *psn = ProcessSerialNumber{0, kSignedProcessBase + index};
    }
    return noErr;
}

OSStatus WorldProcesses::frontProcess(ProcessSerialNumber* psn) {
    if (!m_world.frontApp)
        return procNotFound;
    *psn = kFrontProcess;
    return noErr;
}

std::optional<QString> WorldProcesses::processName(const ProcessSerialNumber& psn) {
    if (psn == kFrontProcess && m_world.frontApp)
        return m_world.frontApp->name;
    if (psn == kFinderProcess && m_world.finder.running)
        return QStringLiteral("Finder");
    const UInt32 index = psn.lowLongOfPSN - kSignedProcessBase;
    if (psn.highLongOfPSN == 0 && psn.lowLongOfPSN >= kSignedProcessBase &&
        index < std::size(kApplicationSignatures))
        return QString::fromLatin1(kApplicationSignatures[index].name);
    return std::nullopt;
}

std::optional<QString> WorldProcesses::processBundleLocation(const ProcessSerialNumber& psn) {
    if (psn == kFrontProcess && m_world.frontApp && !m_world.frontApp->bundle.isEmpty())
        return m_world.frontApp->bundle;
    return std::nullopt;
}

OSStatus WorldProcesses::setFrontProcess(const ProcessSerialNumber& psn) {
    if (!(psn == kCurrentProcessPSN))
        return procNotFound;
    m_world.record(events::Front{});
    return noErr;
}

} // namespace platform::world
