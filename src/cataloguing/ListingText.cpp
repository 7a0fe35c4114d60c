#include "cataloguing/ListingText.h"

#include "cataloguing/LocalTimeFormatter.h"

#include <charconv>

namespace kestro {

namespace {

bool needsCare(unsigned char byte) {
    return byte >= 0x80 || byte == '\r' || byte == '\n' || byte == '\\';
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at the start of `bytes`, whose first
// byte is 0x80 or above, or the length of the invalid run there as a negative
// number.
int sequenceLength(std::string_view bytes) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    int length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // overlong
        if (lead == 0xED)
            high = 0x9F; // UTF-16 surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90; // overlong
        if (lead == 0xF4)
            high = 0x8F; // beyond U+10FFFF
    } else {
        return -1;
    }
    int valid = 1;
    for (; valid < length && valid < static_cast<int>(bytes.size()); ++valid) {
        const auto byte = static_cast<unsigned char>(bytes[valid]);
        const bool fits = valid == 1 ? byte >= low && byte <= high : isContinuation(byte);
        if (!fits)
            break;
    }
    return valid == length ? length : -valid;
}

} // namespace

bool appendListingName(std::string& out, std::string_view name) {
    std::size_t plain = 0;
    while (plain < name.size() && !needsCare(static_cast<unsigned char>(name[plain])))
        ++plain;
    out.append(name.substr(0, plain));
    if (plain == name.size())
        return false;

    bool substituted = false;
    for (std::size_t i = plain; i < name.size();) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (byte < 0x80) {
            switch (byte) {
            case '\r':
                out.append(listing_substitute::kCarriageReturn);
                substituted = true;
                break;
            case '\n':
                out.append(listing_substitute::kLineFeed);
                substituted = true;
                break;
            case '\\':
                out.append(listing_substitute::kBackslash);
                substituted = true;
                break;
            default:
                out.push_back(static_cast<char>(byte));
            }
            ++i;
            continue;
        }
        const int length = sequenceLength(name.substr(i));
        if (length > 0) {
            out.append(name.substr(i, length));
            i += length;
        } else {
            out.append(listing_substitute::kInvalidBytes);
            substituted = true;
            i += -length;
        }
    }
    return substituted;
}

void appendListingSize(std::string& out, std::uint64_t bytes) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, bytes).ptr;
    out.append(digits, end);
}

void appendListingTail(std::string& out, std::uint64_t bytes, std::int64_t modified,
                       LocalTimeFormatter& clock) {
    out.push_back(kListingSeparator);
    appendListingSize(out, bytes);
    out.push_back(kListingSeparator);
    clock.append(out, modified);
    out.append(kListingLineEnd);
}

} // namespace kestro
