// The value types and status codes shared by the system and every platform service.
//
// The system's algorithms are written against the classic desktop calls (file references,
// four-character codes, 16-bit status codes); these are the same types, defined once, so a
// status such as fnfErr means the same thing in every module.
#pragma once

#include <cstdint>

using UInt8 = std::uint8_t;
using SInt8 = std::int8_t;
using UInt16 = std::uint16_t;
using SInt16 = std::int16_t;
using UInt32 = std::uint32_t;
using SInt32 = std::int32_t;
using UInt64 = std::uint64_t;
using SInt64 = std::int64_t;
using Boolean = unsigned char;

using OSErr = SInt16;
using OSStatus = SInt32;
using OSType = UInt32;
using FourCharCode = UInt32;
using DescType = FourCharCode;

// '1234' written as FOUR_CHAR_CODE("1234"): the first character is the most significant byte.
constexpr FourCharCode FOUR_CHAR_CODE(const char (&code)[5]) {
    return (FourCharCode(UInt8(code[0])) << 24) | (FourCharCode(UInt8(code[1])) << 16) |
           (FourCharCode(UInt8(code[2])) << 8) | FourCharCode(UInt8(code[3]));
}

enum : OSStatus {
    noErr = 0,
    dskFulErr = -34,
    ioErr = -36,
    bdNamErr = -37,
    fnfErr = -43,
    fBsyErr = -47,
    dupFNErr = -48,
    paramErr = -50,
    permErr = -54,
    memFullErr = -108,
    dirNFErr = -120,
    procNotFound = -600,
    errFSNotAFolder = -1407,
    errFSNameTooLong = -1410,
    errAECoercionFail = -1700,
    errAEDescNotFound = -1701,
    errAEWrongDataType = -1703,
    errAENoSuchObject = -1728,
    cantFindHandler = -2003,
    invalidMovie = -2010,
    pathTooLongErr = -2095,
    kTextMalformedInputErr = -8739,
    kLSApplicationNotFoundErr = -10814,
};

// An opaque reference to an existing file or folder. Its 80 bytes are private to the file
// service (platform/Files.h); everyone else only copies and compares them.
struct FSRef {
    UInt8 hidden[80];
};
static_assert(sizeof(FSRef) == 80);

// A file specification. On this platform it names its item by the same reference as FSRef;
// it exists because the media services take a specification, as their callers expect.
struct FSSpec {
    FSRef ref;
};

struct ProcessSerialNumber {
    UInt32 highLongOfPSN;
    UInt32 lowLongOfPSN;
};
