// Type identifiers and MIME types of file name extensions, from shared-mime-info through
// QMimeDatabase, by the name alone: no file is touched.
//
// A type identifier here is a shared-mime-info type name ("text/plain", "application/rtf"), and
// conformance is its inheritance ("text/html" conforms to "text/plain"). The Mac's identifiers
// the system tests against are spelled as the shared-mime-info types they stand for:
//
//   public.rtf        kRichTextType     application/rtf
//   public.plain-text kPlainTextType    text/plain
//   public.text       kAnyTextType      text/plain (every text type inherits it)
//   public.message    kMailMessageType  message/rfc822
//
// RTFD packages and web archives have no shared-mime-info type; no file is taken for one.
#pragma once

#include <QString>
#include <optional>

inline constexpr char kRichTextType[] = "application/rtf";
inline constexpr char kPlainTextType[] = "text/plain";
inline constexpr char kAnyTextType[] = "text/plain";
inline constexpr char kMailMessageType[] = "message/rfc822";

// The preferred type of a file name extension (without its dot); none when shared-mime-info
// has no pattern for it.
std::optional<QString> UTTypeCreatePreferredIdentifierForExtension(const QString& extension);

// The preferred MIME type of a type identifier: its canonical name; none for an unknown type.
std::optional<QString> UTTypeCopyPreferredMimeType(const QString& identifier);

// True when the type is `conformsTo`, an alias of it, or inherits it.
bool UTTypeConformsTo(const QString& identifier, const QString& conformsTo);
