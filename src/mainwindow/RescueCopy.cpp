#include "mainwindow/RescueCopy.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdio>

#include "bridge/TextCodec.h"
#include "mainwindow/UserMessage.h"
#include "notes/NoteList.h"
#include "storage/DayNumber.h"
#include "storage/Rescue.h"
#include "storage/ScrapList.h"

namespace {

QString DayName(int32_t date) {
    const TYmd ymd = DecodeDate(date);
    return u"%1年%2月%3日"_qs.arg(ymd.Year).arg(ymd.Month).arg(ymd.Day);
}

QString PathText(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace

void RescueUnwritten(const std::string& folder, TScrapList& store,
                     const std::vector<const TNoteList*>& notes) {
    TUnwrittenFiles noteFiles;
    for (const TNoteList* list : notes)
        if (list->Modified() && !list->FileName().empty())
            noteFiles[list->FileName()] = list->FileText();
    const TRescue rescue = RescueOf(folder, store.UnwrittenYears(), noteFiles);
    if (rescue.Empty())
        return;
    const std::string path = WriteRescue(rescue, RescueFolders());
    if (!path.empty()) {
        std::fprintf(stderr, "Velmora: 保存できなかった日記を %s に残しました。\n", path.c_str());
        return;
    }
    // No disk takes it: the journal is the last place the pages can go.
    std::fputs(RescueReadable(rescue).c_str(), stderr);
    std::fflush(stderr);
}

void OfferRescues(QWidget* parent, const std::string& folder) {
    const std::vector<std::string> found = FindRescues(folder, RescueFolders());
    if (found.empty())
        return;
    QStringList files;
    for (const std::string& path : found)
        files << PathText(path);
    if (!AskUserYesNo(parent,
                      u"前回の終了時に保存できなかった日記が残っています。\r\n"
                      u"日記に戻しますか?\r\n\r\n"
                      u"(いいえを選ぶと、次の起動時にもう一度おたずねします。\r\n"
                      u"%1)"_qs.arg(files.join(u"\r\n"_qs))))
        return;
    QStringList errors;
    QStringList days;
    QStringList aside;
    int restored = 0;
    for (const std::string& path : found) {
        const TRestoreResult result = RestoreRescue(path);
        restored += result.Restored;
        if (!result.Error.empty())
            errors << FromCp932(result.Error);
        for (const int32_t date : result.KeptAside)
            days << DayName(date);
        for (const std::string& file : result.AsideFiles)
            aside << PathText(file);
    }
    QStringList said;
    if (restored > 0)
        said << u"保存できなかった日記を戻しました。"_qs;
    if (!aside.isEmpty())
        said << u"その後に書かれたページや予定はそのままにし、保存できなかった版を次のファイルに"
                u"残しました:\r\n%1%2"_qs.arg(
                    aside.join(u"\r\n"_qs),
                    days.isEmpty() ? QString() : u"\r\n(%1)"_qs.arg(days.join(u"、"_qs)));
    if (!errors.isEmpty())
        said << u"保存できなかった日記を戻せませんでした。\r\n%1\r\n"
                u"次の起動時にもう一度おたずねします。"_qs.arg(errors.join(u"\r\n"_qs));
    if (!said.isEmpty())
        ShowUserMessage(parent, said.join(u"\r\n\r\n"_qs),
                        errors.isEmpty() && aside.isEmpty() ? TMessageKind::Information
                                                            : TMessageKind::Warning);
}
