#include "storage/Iconv.h"

#include <iconv.h>

#include <cerrno>

namespace {

iconv_t Descriptor(void* cd) {
    return static_cast<iconv_t>(cd);
}

const iconv_t kNotOpen = reinterpret_cast<iconv_t>(-1);

}  // namespace

TIconv::TIconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}

TIconv::~TIconv() {
    if (IsOpen()) {
        iconv_close(Descriptor(cd_));
    }
}

bool TIconv::IsOpen() const {
    return Descriptor(cd_) != kNotOpen;
}

size_t TIconv::Convert(std::string_view in, std::string& out) {
    const iconv_t cd = Descriptor(cd_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            break;
        }
    }
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    return in.size() - inLeft;
}
