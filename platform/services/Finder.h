// The Finder: the file manager whose selection the menu is built from.
//
// The system asks three things of it: the current selection (a 'list' of object specifiers
// or file references, in the file manager's order), an alias for one of its object
// specifiers, and a redraw of an item whose name or flags changed. Replies are awaited with
// an idle routine, which the backend calls while it waits.
#pragma once

#include "platform/local/files/AEDesc.h"
#include "platform/local/files/Aliases.h"
#include "platform/types/MacTypes.h"

struct EventRecord;
using RgnHandle = void*;
using AEIdleUPP = Boolean (*)(EventRecord* event, SInt32* sleepTime, RgnHandle* mouseRgn);

namespace platform {

class FinderService {
public:
    virtual ~FinderService() = default;
    // The selection as a 'list'; procNotFound when the Finder is not there to ask.
    virtual OSStatus getSelection(AEIdleUPP idle, AEDescList* list) = 0;
    // An alias for an object specifier of this Finder's selection.
    virtual OSStatus getObjectAsAlias(const AEDesc& spec, AliasHandle* alias, AEIdleUPP idle) = 0;
    // Tells the Finder that the item changed; no reply is awaited.
    virtual OSStatus updateItemAlias(const AliasHandle& alias) = 0;
};

} // namespace platform

// The object specifiers of both desktops name their item by its path; this is the alias the
// Finder answers for one, errAENoSuchObject when nothing is there any more.
OSStatus AliasForPathSpecifier(const AEDesc& spec, AliasHandle* alias);

constexpr OSType gFinderSignature = FOUR_CHAR_CODE("MACS");
constexpr OSType kFinderFileType = FOUR_CHAR_CODE("FNDR");

// Waits 10 ticks per call, gives other threads their turn, and never cancels the wait.
Boolean MyAEIdleProc(EventRecord* event, SInt32* sleepTime, RgnHandle* mouseRgn);

OSStatus MoreFEGetSelection(AEIdleUPP idle, AEDescList* list);
// `spec` must be an object specifier ('obj '), else paramErr; the Finder process must be
// running, else the process look-up's error. On success `alias` holds the caller's new alias.
OSStatus MoreFEGetObjectAsAlias(const AEDesc* spec, AliasHandle* alias, AEIdleUPP idle);
OSStatus MoreFEUpdateItemFSRef(const FSRef* ref);
