#include "bridge/TextCodec.h"

#include "storage/Cp932.h"

namespace {

std::string Utf8Of(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace

QString FromCp932(std::string_view cp932) {
    const std::string utf8 = Cp932ToShown(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToCp932(const QString& text) {
    return TypedToCp932(Utf8Of(text));
}

std::string ToCp932(const QString& text, std::string_view original) {
    return ShownToCp932(Utf8Of(text), original);
}
