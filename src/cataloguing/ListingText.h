#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestro {

class LocalTimeFormatter;

// Both listings are UTF-8 lines of fields separated by the byte 0xFE, which
// UTF-8 never uses, each line ended by CR LF.
inline constexpr char kListingSeparator = '\xFE';
inline constexpr std::string_view kListingLineEnd = "\r\n";

// Visible stand-ins for what a name may hold but a listing line may not: the
// line ends, the catalog's path separator and bytes that are not UTF-8. The
// field separator 0xFE is never valid UTF-8, so it becomes the replacement
// character like any other stray byte.
namespace listing_substitute {
inline constexpr std::string_view kCarriageReturn = "\u240D"; // ␍
inline constexpr std::string_view kLineFeed = "\u240A";       // ␊
inline constexpr std::string_view kBackslash = "\uFF3C";      // ＼ (fullwidth reverse solidus)
inline constexpr std::string_view kInvalidBytes = "\uFFFD";   // �
} // namespace listing_substitute

// Appends `name`, a file or folder name as the file system gives it, to `out`
// in a form a listing can carry. Returns true when something had to be
// substituted. Each maximal run of bytes that does not form a valid UTF-8
// sequence becomes one replacement character, as Unicode recommends.
bool appendListingName(std::string& out, std::string_view name);

// Appends a size in bytes as decimal digits.
void appendListingSize(std::string& out, std::uint64_t bytes);

// Appends what ends every folder and file line after its parent path and
// name: separator, size in bytes, separator, local modification date and
// time ("yyyy-mm-dd hh:mm:ss"), line end.
void appendListingTail(std::string& out, std::uint64_t bytes, std::int64_t modified,
                       LocalTimeFormatter& clock);

} // namespace kestro
