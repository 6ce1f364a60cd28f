// Apple-event descriptors and descriptor lists, as the Finder services hand them over.
//
// A descriptor is a type and bytes; a list ('list') holds further descriptors. The types in
// use: 'list', 'obj ' (an object specifier the Finder resolves), 'fsrf' (an FSRef's 80
// bytes), 'alis' (an alias, see Aliases.h) and 'furl' (a file URL, which coerces to 'fsrf').
#pragma once

#include "platform/types/MacTypes.h"

#include <QByteArray>
#include <QList>

constexpr DescType typeAEList = FOUR_CHAR_CODE("list");
constexpr DescType typeObjectSpecifier = FOUR_CHAR_CODE("obj ");
constexpr DescType typeFSRef = FOUR_CHAR_CODE("fsrf");
constexpr DescType typeAlias = FOUR_CHAR_CODE("alis");
constexpr DescType typeFileURL = FOUR_CHAR_CODE("furl");
constexpr DescType typeNull = FOUR_CHAR_CODE("null");
constexpr DescType typeWildCard = FOUR_CHAR_CODE("****");

struct AEDesc {
    DescType descriptorType = typeNull;
    QByteArray data;
    QList<AEDesc> items; // only for 'list'
};
using AEDescList = AEDesc;

AEDesc AECreateDesc(DescType type, const QByteArray& data);
// An 'fsrf' descriptor holding the reference's 80 bytes.
AEDesc AECreateFSRefDesc(const FSRef& ref);
AEDescList AECreateList();
void AEPutDesc(AEDescList* list, const AEDesc& item);

// The number of items of a list; paramErr for a descriptor that is not a list.
OSStatus AECountItems(const AEDescList* list, long* count);

// Item `index` (1-based) of a list, coerced to `desiredType` unless that is typeWildCard.
OSStatus AEGetNthDesc(const AEDescList* list, long index, DescType desiredType, AEDesc* result);

// Coercion. Only the coercions the system relies on exist: any type to itself, and 'fsrf'
// from 'alis' (resolved without user interaction) and from 'furl'. An object specifier needs
// the Finder to resolve it, so it never coerces here. Unicode text ('utxt', UTF-16 in host
// order) coerces to UTF-8 text ('utf8').
OSStatus AECoerceDesc(const AEDesc* desc, DescType toType, AEDesc* result);

void AEDisposeDesc(AEDesc* desc);
