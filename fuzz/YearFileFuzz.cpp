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
    if (ReadsAsUtf8(saved)) {
        return 0;
    }
    if (second.store.Count() != first.store.Count()) {
        RoundTripDiffers("number of days", saved);
    }
    for (int i = 0; i < first.store.Count(); ++i) {
        if (!(second.store.Items(i) == first.store.Items(i))) {
            RoundTripDiffers("a day", saved);
        }
    }
    second.store.SaveToFile();
    if (ReadBack(path) != saved) {
        RoundTripDiffers("second save", saved);
    }
    return 0;
}
