#include "storage/ThreeWayMerge.h"

#include <algorithm>

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "storage/MachineState.h"
#include "storage/SafeWrite.h"
#include "storage/VelmoraError.h"

namespace {

constexpr size_t kDigestDigits = 16;

std::optional<uint64_t> DigestOfItem(const TMergeItem* item) {
    if (!item)
        return std::nullopt;
    return DigestOf(item->Bytes);
}

TMergeRule RuleFor(const TMergeBase& base, const TMergedKey& key) {
    std::optional<uint64_t> before;
    if (const auto found = base.find(DigestOf(key.Key)); found != base.end())
        before = found->second;
    const std::optional<uint64_t> ours = DigestOfItem(key.Ours);
    const std::optional<uint64_t> theirs = DigestOfItem(key.Theirs);
    if (ours == theirs)
        return TMergeRule::Same;
    if (ours == before)
        return TMergeRule::Theirs;
    if (theirs == before)
        return TMergeRule::Ours;
    return TMergeRule::Conflict;
}

std::optional<uint64_t> ParseDigest(std::string_view text) {
    if (text.size() != kDigestDigits)
        return std::nullopt;
    uint64_t value = 0;
    for (const char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return std::nullopt;
        value = value << 4 | static_cast<uint64_t>(digit);
    }
    return value;
}

std::string BasePath(const std::string& stateDir, const std::string& fileName) {
    return stateDir + "/" + fileName + ".base";
}

}  // namespace

const TMergeItem* TMergedKey::Kept() const {
    switch (Rule) {
        case TMergeRule::Same:
        case TMergeRule::Ours:
            return Ours;
        case TMergeRule::Theirs:
            return Theirs;
        case TMergeRule::Conflict:
            return Ours ? Ours : Theirs;
    }
    return Ours;
}

TMergeBase MergeBaseOf(const std::vector<TMergeItem>& items) {
    TMergeBase base;
    for (const TMergeItem& item : items)
        base[DigestOf(item.Key)] = DigestOf(item.Bytes);
    return base;
}

std::vector<TMergedKey> MergeKeys(const TMergeBase& base, const std::vector<TMergeItem>& ours,
                                  const std::vector<TMergeItem>& theirs) {
    std::vector<TMergedKey> keys;
    std::unordered_map<std::string_view, size_t> index;
    for (const TMergeItem& item : ours) {
        const auto [at, added] = index.emplace(item.Key, keys.size());
        if (added)
            keys.push_back({item.Key});
        keys[at->second].Ours = &item;
    }
    for (const TMergeItem& item : theirs) {
        const auto [at, added] = index.emplace(item.Key, keys.size());
        if (added)
            keys.push_back({item.Key});
        keys[at->second].Theirs = &item;
    }
    for (TMergedKey& key : keys)
        key.Rule = RuleFor(base, key);
    return keys;
}

std::string MergeBaseText(const TMergeBase& base) {
    std::string text;
    for (const auto& [key, value] : base)
        text += DigestText(key) + " " + DigestText(value) + "\n";
    return text;
}

namespace {

// Calls take(key, value) for each "KEY VALUE" line of text that reads.
template <typename Take>
void ForEachPair(std::string_view text, Take take) {
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.size() != 2 * kDigestDigits + 1 || line[kDigestDigits] != ' ')
            continue;
        const auto key = ParseDigest(line.substr(0, kDigestDigits));
        const auto value = ParseDigest(line.substr(kDigestDigits + 1));
        if (key && value)
            take(*key, *value);
    }
}

// How many versions of each item TMergeSeen keeps.
constexpr size_t kSeenVersions = 8;

std::string SeenPath(const std::string& stateDir, const std::string& fileName) {
    return stateDir + "/" + fileName + ".seen";
}

}  // namespace

TMergeBase ParseMergeBase(std::string_view text) {
    TMergeBase base;
    ForEachPair(text, [&base](uint64_t key, uint64_t value) { base[key] = value; });
    return base;
}

TMergeSeen LoadMergeSeen(const std::string& stateDir, const std::string& fileName) {
    TMergeSeen seen;
    std::string text;
    if (stateDir.empty() || !ReadWholeFile(SeenPath(stateDir, fileName), text))
        return seen;
    // "KEY VALUE" lines of a version read here, "KEY VALUE W" of one written here.
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        const bool written = line.ends_with(" W");
        if (written)
            line.remove_suffix(2);
        ForEachPair(line, [&seen, written](uint64_t key, uint64_t value) {
            seen[key].push_back({value, written});
        });
    }
    return seen;
}

bool Superseded(const TMergeSeen& seen, uint64_t key, uint64_t value) {
    const auto found = seen.find(key);
    if (found == seen.end())
        return false;
    const std::vector<TSeenVersion>& versions = found->second;
    const auto at = std::find_if(versions.begin(), versions.end(),
                                 [value](const TSeenVersion& v) { return v.Digest == value; });
    return at != versions.end() &&
           (!at->Written || std::any_of(std::next(at), versions.end(),
                                        [](const TSeenVersion& v) { return v.Written; }));
}

TMergeBase LoadMergeBase(const std::string& stateDir, const std::string& fileName) {
    std::string text;
    if (!ReadWholeFile(BasePath(stateDir, fileName), text))
        return {};
    return ParseMergeBase(text);
}

void SaveMergeBase(const std::string& stateDir, const std::string& fileName,
                   const TMergeBase& base) {
    SafeWritePrivateFile(BasePath(stateDir, fileName), MergeBaseText(base));
}

void RememberMergeBase(const std::string& stateDir, const std::string& fileName,
                       const TMergeBase& base, TMergeSource source) {
    if (stateDir.empty() || !PrivateFolder(stateDir + "/"))
        return;
    try {
        SaveMergeBase(stateDir, fileName, base);
        TMergeSeen seen = LoadMergeSeen(stateDir, fileName);
        for (const auto& [key, value] : base) {
            std::vector<TSeenVersion>& versions = seen[key];
            const auto digest = value;
            if (std::any_of(versions.begin(), versions.end(),
                            [digest](const TSeenVersion& v) { return v.Digest == digest; }))
                continue;
            versions.push_back({digest, source == TMergeSource::Written});
            if (versions.size() > kSeenVersions)
                versions.erase(versions.begin());
        }
        std::string text;
        for (const auto& [key, versions] : seen)
            for (const TSeenVersion& version : versions)
                text += DigestText(key) + " " + DigestText(version.Digest) +
                        (version.Written ? " W\n" : "\n");
        SafeWritePrivateFile(SeenPath(stateDir, fileName), text);
    } catch (const VelmoraError&) {
        std::error_code ignored;
        std::filesystem::remove(BasePath(stateDir, fileName), ignored);
    }
}

void TMergeBases::Remember(const std::string& fileName, TMergeBase base, TMergeSource source) {
    Remember(
        fileName, [base = std::move(base)] { return base; }, source);
}

void TMergeBases::Remember(const std::string& fileName, std::function<TMergeBase()> base,
                           TMergeSource source) {
    if (stateDir_.empty())
        return;
    if (held_)
        waiting_.push_back({fileName, std::move(base), source});
    else
        RememberMergeBase(stateDir_, fileName, base(), source);
}

void TMergeBases::Release() {
    held_ = false;
    for (const TWaiting& waiting : std::exchange(waiting_, {}))
        RememberMergeBase(stateDir_, waiting.FileName, waiting.Base(), waiting.Source);
}
