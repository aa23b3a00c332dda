#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The day-by-day merge of two versions of one diary file, ours (what this computer holds) and
// theirs (what arrived from another computer: the file changed on disk, or a sync service's
// conflict copy), against the base: what this computer last read or wrote of the file, kept as a
// digest per item (a day's record, a note) in its state folder, so the base holds no diary text.
//
// Per item, by its key: an item changed (added, altered or deleted) on one side only takes that
// side; changed the same way on both is taken once; changed differently on both sides is a
// conflict, and both versions are kept: the merged items hold the side that still has the item
// (ours when both do) and the conflict holds both, so nothing of either is lost. An item without
// a base (no base is known yet, or both sides added it) that differs is a conflict too.

// Digest of an item's key -> digest of its bytes as last read or written.
using TMergeBase = std::map<uint64_t, uint64_t>;

// One item of a version: a key unique within the version, and the item's bytes as its file
// stores them.
struct TMergeItem {
    std::string Key;
    std::string Bytes;
};

enum class TMergeRule {
    Same,      // unchanged, or changed the same way on both sides
    Ours,      // changed on our side only
    Theirs,    // changed on their side only
    Conflict,  // changed differently on both sides
};

struct TMergedKey {
    std::string Key;
    const TMergeItem* Ours = nullptr;    // nullptr: our side has no such item
    const TMergeItem* Theirs = nullptr;  // nullptr: their side has no such item
    TMergeRule Rule = TMergeRule::Same;

    // The item the merged version holds; nullptr when it holds none (deleted).
    const TMergeItem* Kept() const;
};

// The base of a version: the digests of its items.
TMergeBase MergeBaseOf(const std::vector<TMergeItem>& items);

// Every key of either side, ours in their order and then theirs' own in theirs; the items are
// pointers into ours and theirs, which must outlive the result. A key that occurs twice on one
// side counts once, with its last item.
std::vector<TMergedKey> MergeKeys(const TMergeBase& base, const std::vector<TMergeItem>& ours,
                                  const std::vector<TMergeItem>& theirs);

// The base as its state file holds it: one "KEY VALUE" line of two 16-digit hexadecimal digests
// per item; and back. Lines that do not read are skipped, so a damaged file gives a smaller base,
// which makes differing items conflicts rather than silent choices.
std::string MergeBaseText(const TMergeBase& base);
TMergeBase ParseMergeBase(std::string_view text);

// The base of the diary file fileName ("2026.dat") in the state folder stateDir: read from and
// written to stateDir/fileName + ".base" (only for its owner, through SafeWritePrivateFile).
// Loading a missing or unreadable file gives an empty base; saving throws VelmoraError.
TMergeBase LoadMergeBase(const std::string& stateDir, const std::string& fileName);
void SaveMergeBase(const std::string& stateDir, const std::string& fileName,
                   const TMergeBase& base);

// How this computer came to have a version of a file.
enum class TMergeSource {
    Read,     // read from disk: the file as another computer or program left it, or as found
    Written,  // written here: what this computer's user made of it
};

// One version of an item in TMergeSeen.
struct TSeenVersion {
    uint64_t Digest = 0;
    bool Written = false;  // first had here by a write, not a read

    bool operator==(const TSeenVersion&) const = default;
};

// The versions of each item this computer has had, in the order it first had them, at most
// eight: digest of key -> versions. Kept beside the base (fileName + ".seen") by
// RememberMergeBase.
using TMergeSeen = std::map<uint64_t, std::vector<TSeenVersion>>;
TMergeSeen LoadMergeSeen(const std::string& stateDir, const std::string& fileName);
// Whether the version value of the item key is one this computer has gone past: one it read
// (so the computer that wrote it has it too), or one it wrote and then wrote over itself. A
// conflict copy holding such a version holds nothing new there. A version written here and then
// only replaced by a read is not: that is a change of this computer's that another's write may
// have crossed.
bool Superseded(const TMergeSeen& seen, uint64_t key, uint64_t value);

// SaveMergeBase into stateDir, made first when missing (PrivateFolder), and adds the base's
// versions to the seen ones (TMergeSeen); nothing when stateDir is
// "" or not a private folder of this user. Never throws: a base that cannot be written is
// removed, so that an older one never decides a later merge (without one, items that differ are
// conflicts).
void RememberMergeBase(const std::string& stateDir, const std::string& fileName,
                       const TMergeBase& base, TMergeSource source = TMergeSource::Read);

// The bases a diary list remembers as it reads and writes its files (RememberMergeBase), which
// can be held back for a while: the window's start reads the files but writes their bases once
// it is on the screen, so that the start does not wait for the disk. A held base is what the
// state folder would have held; until it is written the folder keeps the one before, as if the
// file had not been read yet.
class TMergeBases {
public:
    const std::string& StateDir() const { return stateDir_; }
    void SetStateDir(std::string dir) { stateDir_ = std::move(dir); }
    // Remembers base as fileName's: at once, or when released while held.
    void Remember(const std::string& fileName, TMergeBase base,
                  TMergeSource source = TMergeSource::Read);
    // Remembers what base gives as fileName's: it is called at once, or while held only when
    // released, so that a held base costs nothing on the way.
    void Remember(const std::string& fileName, std::function<TMergeBase()> base,
                  TMergeSource source = TMergeSource::Read);
    void Hold() { held_ = true; }
    // Writes every held base in the order remembered (each read or write counts for the
    // versions this computer has gone past), and writes at once from now on.
    void Release();

private:
    std::string stateDir_;
    bool held_ = false;
    struct TWaiting {
        std::string FileName;
        std::function<TMergeBase()> Base;
        TMergeSource Source;
    };
    std::vector<TWaiting> waiting_;
};
