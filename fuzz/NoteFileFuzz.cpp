// Reads arbitrary bytes as a note file, saves the notes and reads them again: every note must
// come back as loaded, and a second save must write the same bytes.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "notes/NoteList.h"
#include "storage/Clock.h"
#include "storage/DayNumber.h"
#include "storage/VelmoraError.h"

namespace {

bool SameNote(const TNoteRec& a, const TNoteRec& b) {
    return a.Kind == b.Kind && a.MonthRule == b.MonthRule && a.DayRule == b.DayRule &&
           a.StartYear == b.StartYear && a.EndYear == b.EndYear && a.EndDate == b.EndDate &&
           a.Title == b.Title;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetTodayForTesting(EncodeDate(2024, 4, 15));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = FuzzFolder("note");
    EmptyFolder(folder);
    const std::string path = folder + "Velmora.tdo";
    SafeWriteFile(path, Bytes(data, size));

    TNoteList first;
    first.LoadFromFile(path);
    first.Save();
    const std::string saved = ReadBack(path);
    TNoteList second;
    second.LoadFromFile(path);
    // Titles of a file read as UTF-8 are converted (and may sort differently); its notes must
    // still all come back.
    if (second.Count() != first.Count()) {
        RoundTripDiffers("number of notes", saved);
    }
    if (ReadsAsUtf8(saved)) {
        return 0;
    }
    for (int i = 0; i < first.Count(); ++i) {
        if (!SameNote(*first.Items(i), *second.Items(i))) {
            RoundTripDiffers("a note", saved);
        }
    }
    second.Save();
    if (ReadBack(path) != saved) {
        RoundTripDiffers("second save", saved);
    }
    return 0;
}
