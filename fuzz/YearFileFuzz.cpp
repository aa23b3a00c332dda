// Reads arbitrary bytes as a year file, saves the year and reads it again: every day must come
// back as loaded, and a second save must write the same bytes.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "storage/DayNumber.h"
#include "storage/ScrapList.h"

namespace {

const int32_t kJan1 = EncodeDate(2003, 1, 1);

struct LoadedYear {
    explicit LoadedYear(const std::string& folder) {
        store.SetDataDir(folder);
        store.SetDate(kJan1);
    }
    TScrapList store;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = FuzzFolder("year");
    EmptyFolder(folder);
    const std::string path = folder + "2003.dat";
    SafeWriteFile(path, Bytes(data, size));

    LoadedYear first(folder);
    first.store.SaveToFile();
    const std::string saved = ReadBack(path);
    LoadedYear second(folder);
    // Texts of a file read as UTF-8 are converted; its days must still all come back.
    const bool utf8 = ReadsAsUtf8(saved);
    if (second.store.Count() != first.store.Count()) {
        RoundTripDiffers("number of days", saved);
    }
    for (int i = 0; i < first.store.Count(); ++i) {
        const TDataInfo& a = first.store.Items(i);
        const TDataInfo& b = second.store.Items(i);
        if (utf8 ? a.Date != b.Date || a.Weather != b.Weather : !(a == b)) {
            RoundTripDiffers("a day", saved);
        }
    }
    if (utf8) {
        return 0;
    }
    second.store.SaveToFile();
    if (ReadBack(path) != saved) {
        RoundTripDiffers("second save", saved);
    }
    return 0;
}
