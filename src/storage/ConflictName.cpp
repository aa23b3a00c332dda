#include "storage/ConflictName.h"

#include <algorithm>

namespace {

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int Number(std::string_view digits) {
    int n = 0;
    for (const char c : digits)
        n = n * 10 + (c - '0');
    return n;
}

// The name split at its last extension: "2026" and ".dat"; a name that starts with its only dot
// has none.
std::pair<std::string_view, std::string_view> SplitExtension(std::string_view name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return {name, {}};
    return {name.substr(0, dot), name.substr(dot)};
}

// Reads "YYYYMMDD" (compact) or "YYYY-MM-DD" into the copy's date; false when it is no date.
bool ReadDate(std::string_view text, bool compact, TConflictName& out) {
    if (compact) {
        if (text.size() != 8 || !IsDigits(text))
            return false;
        out.Year = Number(text.substr(0, 4));
        out.Month = Number(text.substr(4, 2));
        out.Day = Number(text.substr(6, 2));
    } else {
        if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !IsDigits(text.substr(0, 4)) ||
            !IsDigits(text.substr(5, 2)) || !IsDigits(text.substr(8, 2)))
            return false;
        out.Year = Number(text.substr(0, 4));
        out.Month = Number(text.substr(5, 2));
        out.Day = Number(text.substr(8, 2));
    }
    return out.Month >= 1 && out.Month <= 12 && out.Day >= 1 && out.Day <= 31;
}

// Reads "HHMMSS"; false when it is no time of day.
bool ReadTime(std::string_view text, TConflictName& out) {
    if (text.size() != 6 || !IsDigits(text))
        return false;
    out.Hour = Number(text.substr(0, 2));
    out.Minute = Number(text.substr(2, 2));
    out.Second = Number(text.substr(4, 2));
    return out.Hour < 24 && out.Minute < 60 && out.Second < 60;
}

// "NAME.sync-conflict-YYYYMMDD-HHMMSS-DEVICE": the device is Syncthing's short id, seven
// letters and digits.
std::optional<TConflictName> Syncthing(std::string_view stem, std::string_view extension) {
    constexpr std::string_view kMarker = ".sync-conflict-";
    const size_t at = stem.rfind(kMarker);
    if (at == std::string_view::npos || at == 0)
        return std::nullopt;
    const std::string_view rest = stem.substr(at + kMarker.size());
    // "20261208-101500-ABCDEFG"
    if (rest.size() < 17 || rest[8] != '-' || rest[15] != '-')
        return std::nullopt;
    TConflictName out;
    out.Service = TSyncService::Syncthing;
    out.Device = std::string(rest.substr(16));
    if (!ReadDate(rest.substr(0, 8), true, out) || !ReadTime(rest.substr(9, 6), out) ||
        out.Device.empty() || !std::all_of(out.Device.begin(), out.Device.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        }))
        return std::nullopt;
    out.Original = std::string(stem.substr(0, at)) + std::string(extension);
    return out;
}

// "NAME_conflict-YYYYMMDD-HHMMSS", as older Nextcloud clients name their copies.
std::optional<TConflictName> OlderNextcloud(std::string_view stem, std::string_view extension) {
    constexpr std::string_view kMarker = "_conflict-";
    const size_t at = stem.rfind(kMarker);
    if (at == std::string_view::npos || at == 0)
        return std::nullopt;
    const std::string_view rest = stem.substr(at + kMarker.size());
    if (rest.size() != 15 || rest[8] != '-')
        return std::nullopt;
    TConflictName out;
    out.Service = TSyncService::Nextcloud;
    if (!ReadDate(rest.substr(0, 8), true, out) || !ReadTime(rest.substr(9), out))
        return std::nullopt;
    out.Original = std::string(stem.substr(0, at)) + std::string(extension);
    return out;
}

// "NAME (conflicted copy [USER ]YYYY-MM-DD HHMMSS)" (Nextcloud) and
// "NAME (DEVICE's conflicted copy YYYY-MM-DD[ (N)])" (Dropbox).
std::optional<TConflictName> Parenthesised(std::string_view stem, std::string_view extension) {
    if (stem.empty() || stem.back() != ')')
        return std::nullopt;
    stem.remove_suffix(1);
    // Dropbox's number for a name already taken: "(1)" inside the parentheses.
    if (stem.size() > 4 && stem.back() == ')') {
        const size_t open = stem.rfind(" (");
        if (open == std::string_view::npos ||
            !IsDigits(stem.substr(open + 2, stem.size() - open - 3)))
            return std::nullopt;
        stem = stem.substr(0, open);
    }
    constexpr std::string_view kCopy = "conflicted copy ";
    const size_t copy = stem.rfind(kCopy);
    if (copy == std::string_view::npos)
        return std::nullopt;
    const size_t open = stem.rfind(" (", copy);
    if (open == std::string_view::npos || open == 0)
        return std::nullopt;
    const std::string_view owner = stem.substr(open + 2, copy - open - 2);
    std::string_view when = stem.substr(copy + kCopy.size());
    TConflictName out;
    if (owner.empty()) {
        // Nextcloud: "[USER ]YYYY-MM-DD HHMMSS"
        out.Service = TSyncService::Nextcloud;
        if (when.size() < 17 || when[when.size() - 7] != ' ' ||
            !ReadTime(when.substr(when.size() - 6), out))
            return std::nullopt;
        when.remove_suffix(7);
        if (when.size() > 10) {
            if (when[when.size() - 11] != ' ')
                return std::nullopt;
            out.Device = std::string(when.substr(0, when.size() - 11));
            when = when.substr(when.size() - 10);
        }
        if (!ReadDate(when, false, out))
            return std::nullopt;
    } else {
        // Dropbox: "DEVICE's " before the words; the apostrophe may be typographic.
        out.Service = TSyncService::Dropbox;
        std::string_view device = owner;
        if (device.ends_with("'s "))
            device.remove_suffix(3);
        else if (device.ends_with("\xE2\x80\x99s "))
            device.remove_suffix(5);
        else
            return std::nullopt;
        if (device.empty() || !ReadDate(when, false, out))
            return std::nullopt;
        out.Device = std::string(device);
    }
    out.Original = std::string(stem.substr(0, open)) + std::string(extension);
    return out;
}

}  // namespace

std::optional<TConflictName> ParseConflictName(std::string_view name) {
    if (name.empty() || name.find('/') != std::string_view::npos)
        return std::nullopt;
    const auto [stem, extension] = SplitExtension(name);
    if (auto found = Syncthing(stem, extension))
        return found;
    if (auto found = Parenthesised(stem, extension))
        return found;
    if (auto found = OlderNextcloud(stem, extension))
        return found;
    // Without an extension, a name's last dot may lie inside the marker ("notes.sync-conflict-
    // …"): the whole name is the stem.
    if (!extension.empty()) {
        if (auto found = Syncthing(name, {}))
            return found;
    }
    return std::nullopt;
}
