// Fetching a web page or an image over HTTP, bounded in time and in size.
//
// The fetch runs on the caller's thread and the caller waits for it, so no server may hold it
// for long: one that never answers, answers a byte at a time, streams forever, redirects in a
// circle or sends more than asked for is left within a few seconds, with nothing or with what
// the caller asked to keep. Only http and https are spoken, on the first request and on every
// redirect; no cookie is kept and nothing is cached.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QUrl>
#include <optional>

// What a page may weigh: the head the caller looks for is at the page's start, and 4 MiB holds
// the head of any real page many times over.
inline constexpr qint64 kMaxPageBytes = 4 * 1024 * 1024;
// What an icon's file may weigh: a multi-size .ico of a few 256 x 256 pictures takes well under
// 1 MiB.
inline constexpr qint64 kMaxIconBytes = 2 * 1024 * 1024;
// How many redirects are followed before the address counts as unreachable.
inline constexpr long kMaxRedirects = 5;

// What becomes of a body longer than the cap. A page is cut at it: the transfer stops there and
// the bytes so far are the result, as what the caller wants is at its start. An image fails: a
// cut image would decode as a part of its picture.
enum class BeyondCap { Cut, Fail };

// The bytes at an http or https address, following at most kMaxRedirects redirects that stay on
// http or https. None on any failure: another scheme, no host, a connection or transfer time-out,
// an HTTP status of 400 or more, an empty body, or a body beyond `maxBytes` with
// BeyondCap::Fail. The cap counts the body's bytes as decoded from any compression.
std::optional<QByteArray> FetchURL(const QUrl& url, qint64 maxBytes, BeyondCap beyond);

// The picture at an address: its file fetched up to kMaxIconBytes and decoded by content as
// LargestImageInData does (the largest picture of a multi-image .ico; none larger than
// kMaxDecodedSide a side). None when the fetch fails or nothing decodes.
std::optional<QImage> ImageWithContentsOfURL(const QUrl& url);
