#include "storage/VelmoraError.h"

#include <cerrno>
#include <cstring>

#include "storage/Cp932.h"

std::string FormatMessage(std::string_view pattern, std::string_view arg) {
    std::string result(pattern);
    // "%s" holds no lead byte, and CP932 trail bytes are 0x40 and up, so a byte search is safe.
    if (const auto at = result.find("%s"); at != std::string::npos) {
        result.replace(at, 2, arg);
    }
    return result;
}

std::string ErrnoText(int error) {
    const char* utf8 = nullptr;
    switch (error) {
        case EACCES:
        case EPERM:
            utf8 = "許可がありません";
            break;
        case ENOSPC:
            utf8 = "デバイスに空き領域がありません";
            break;
        case EDQUOT:
            utf8 = "ディスク使用量の制限を超えました";
            break;
        case EROFS:
            utf8 = "読み込み専用のファイルシステムです";
            break;
        case ENOENT:
            utf8 = "そのようなファイルやディレクトリはありません";
            break;
        case ENOTDIR:
            utf8 = "ディレクトリではありません";
            break;
        case EISDIR:
            utf8 = "ディレクトリです";
            break;
        case EIO:
            utf8 = "入出力エラーです";
            break;
        case ENAMETOOLONG:
            utf8 = "ファイル名が長すぎます";
            break;
        case EFBIG:
            utf8 = "ファイルが大きすぎます";
            break;
        case EMFILE:
        case ENFILE:
            utf8 = "開いているファイルが多すぎます";
            break;
        case ELOOP:
            utf8 = "シンボリックリンクの階層が多すぎます";
            break;
        case EBUSY:
            utf8 = "デバイスが使用中です";
            break;
        case ETXTBSY:
            utf8 = "テキストファイルが使用中です";
            break;
        case ENOMEM:
            utf8 = "メモリが足りません";
            break;
        default:
            return std::strerror(error);
    }
    return Sjis(utf8);
}

std::string ErrnoSuffix(int error) {
    return " (" + ErrnoText(error) + ")";
}
