// Reads arbitrary bytes as the holiday file and asks for the names of days over two centuries.
// The program never writes this file; instead the check is that CR LF, LF and CR line ends read
// alike.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "calendar/HolidayList.h"
#include "storage/DayNumber.h"
#include "storage/VelmoraError.h"

namespace {

struct Loaded {
    std::vector<HolidayEntry> entries;
    THolidayList::TSettings settings{};
    std::string error;
    std::string names;
};

Loaded Load(const std::string& path, bool askDays) {
    THolidayList list;
    Loaded loaded;
    try {
        list.LoadFromFile(path);
    } catch (const VelmoraError& e) {
        loaded.error = e.what();
    }
    for (size_t i = 0; i < list.Count(); ++i) {
        loaded.entries.push_back(list.Items(i));
    }
    loaded.settings = list.HolidayFileSettings();
    if (askDays) {
        for (int32_t day = EncodeDate(1900, 1, 1); day < EncodeDate(2100, 1, 1); day += 367) {
            loaded.names += list.DayText(day);
            loaded.names += list.HolidayOrSubstitute(day) ? '1' : '0';
        }
    }
    return loaded;
}

bool Same(const Loaded& a, const Loaded& b) {
    if (a.entries.size() != b.entries.size() || a.settings != b.settings || a.error != b.error) {
        return false;
    }
    for (size_t i = 0; i < a.entries.size(); ++i) {
        const HolidayEntry& x = a.entries[i];
        const HolidayEntry& y = b.entries[i];
        if (x.Kind != y.Kind || x.Weekdays != y.Weekdays || x.DateCode != y.DateCode ||
            x.FirstYear != y.FirstYear || x.LastYear != y.LastYear || x.Name != y.Name) {
            return false;
        }
    }
    return true;
}

// bytes with every line end replaced by lineEnd.
std::string WithLineEnds(std::string_view bytes, std::string_view lineEnd) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            out += lineEnd;
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += bytes[i];
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = FuzzFolder("holiday");
    const std::string path = folder + "Velmora.hol";
    const std::string_view bytes = Bytes(data, size);
    SafeWriteFile(path, bytes);
    const Loaded asGiven = Load(path, true);
    for (const char* lineEnd : {"\r\n", "\n", "\r"}) {
        const std::string other = WithLineEnds(bytes, lineEnd);
        SafeWriteFile(path, other);
        if (!Same(Load(path, false), asGiven)) {
            RoundTripDiffers("line ends", other);
        }
    }
    return 0;
}
