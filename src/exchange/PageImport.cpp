#include "exchange/PageImport.h"

#include <yaml-cpp/yaml.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <algorithm>
#include <filesystem>

#include "bridge/Fonts.h"
#include "bridge/TextCodec.h"
#include "exchange/PageBody.h"
#include "exchange/PageMarkdown.h"
#include "richtext/RtfPictures.h"
#include "richtext/SealedDocument.h"
#include "storage/Clock.h"
#include "storage/DailyBackup.h"
#include "storage/DayNumber.h"
#include "storage/SafeWrite.h"
#include "storage/ScrapList.h"
#include "storage/VelmoraError.h"
#include "storage/YearFile.h"

namespace {

constexpr qreal kBodyPoints = 10.5;

// The line an appended text starts under.
QString Divider() {
    return u"―――――― 取り込んだ日記 ――――――"_qs;
}

void PrepareDocument(QTextDocument& document) {
    QFont font = FontForFace(kPGothicFace);
    font.setPointSizeF(kBodyPoints);
    document.setDefaultFont(font);
}

// Markdown gives headings a relative size, which RTF cannot say: they get bold at a size of
// their own, so the page shows them as headings.
void SizeHeadings(QTextDocument& document) {
    constexpr qreal kHeadingScale[] = {1.6, 1.4, 1.2};
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level <= 0)
            continue;
        QTextCharFormat heading;
        heading.setFontWeight(QFont::Bold);
        heading.setFontPointSize(kBodyPoints * (level <= 3 ? kHeadingScale[level - 1] : 1.0));
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(heading);
    }
}

QString NameOf(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// A page made of a body in Markdown (or plain text) and the fields of a daily note.
TDataInfo PageOf(int32_t date, const TDailyNote& note, bool markdown, const QString& base,
                 const QString& root) {
    TDataInfo rec;
    rec.Date = date;
    rec.Weather = note.Weather;
    rec.Title = ToCp932(note.Title.simplified());
    rec.News = ToRecordLines(note.News);
    rec.Private = ToRecordLines(note.Private);
    rec.Extra = ToRecordLines(note.Extra);
    TSealedDocument body;
    PrepareDocument(body);
    if (markdown) {
        // Qt's Markdown reader drops a picture without alternative text, as daily notes often
        // write them: each gets one.
        static const QRegularExpression bareImage(QString::fromLatin1(R"re(!\[\]\()re"));
        body.setMarkdown(QString(note.Body).replace(bareImage, QStringLiteral("![picture](")),
                         QTextDocument::MarkdownDialectGitHub);
        SizeHeadings(body);
        EmbedPictures(body, base, root);
    } else {
        body.setPlainText(note.Body.trimmed());
    }
    WriteBody(body, rec);
    return rec;
}

// A file and the date its name gives.
struct TDatedFile {
    QString Path;
    int32_t Date = 0;
    QString Problem;
};

class TSourceReader {
public:
    TSourceReader(const QString& folder, const TExchangeProgress& progress)
        : folder_(folder), progress_(progress) {}

    TImportRead Read(TImportSource source) {
        if (!QFileInfo(folder_).isDir()) {
            read_.Problems << u"フォルダ %1 がありません"_qs.arg(NameOf(folder_));
            return read_;
        }
        const std::vector<TDatedFile> files =
            source == TImportSource::RedNotebook ? MonthFiles() : DayFiles();
        const int total = static_cast<int>(files.size());
        for (int i = 0; i < total; ++i) {
            if (!progress_(i, total)) {
                read_.Cancelled = true;
                return read_;
            }
            if (!files[i].Problem.isEmpty()) {
                read_.Problems << files[i].Problem;
                continue;
            }
            if (source == TImportSource::RedNotebook)
                ReadMonth(files[i]);
            else
                ReadDay(files[i]);
        }
        progress_(total, total);
        std::sort(read_.Pages.begin(), read_.Pages.end(),
                  [](const TDataInfo& a, const TDataInfo& b) { return a.Date < b.Date; });
        for (size_t i = 1; i < read_.Pages.size(); ++i)
            if (read_.Pages[i].Date == read_.Pages[i - 1].Date)
                read_.Problems << u"%1 の日記を持つファイルが二つあります"_qs.arg(
                    DayHeading(read_.Pages[i].Date, nullptr));
        return read_;
    }

private:
    // The files whose names match pattern, whose captures give year, month and (when the
    // pattern has one) day; a name that gives no date gets a problem.
    std::vector<TDatedFile> DatedFiles(const QRegularExpression& pattern, bool recurse) {
        std::vector<TDatedFile> files;
        QDirIterator it(folder_, QDir::Files,
                        recurse ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
        while (it.hasNext()) {
            const QString path = it.next();
            const QRegularExpressionMatch m = pattern.match(it.fileName());
            if (!m.hasMatch())
                continue;
            const int year = m.captured(1).toInt();
            const int month = m.captured(2).toInt();
            const int day = pattern.captureCount() >= 3 ? m.captured(3).toInt() : 1;
            TDatedFile file{path, 0, {}};
            if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
                file.Problem = u"%1: ファイル名の日付 %2 はありえない日付です"_qs.arg(
                    NameOf(path), m.captured(0).section(QLatin1Char('.'), 0, 0));
            else
                file.Date = EncodeDate(year, month, day);
            files.push_back(file);
        }
        std::sort(files.begin(), files.end(),
                  [](const TDatedFile& a, const TDatedFile& b) { return a.Path < b.Path; });
        return files;
    }

    std::vector<TDatedFile> MonthFiles() {
        static const QRegularExpression month(QString::fromLatin1(R"re(^(\d{4})-(\d{2})\.txt$)re"));
        return DatedFiles(month, false);
    }

    std::vector<TDatedFile> DayFiles() {
        static const QRegularExpression day(
            QString::fromLatin1(R"re(^(\d{4})-(\d{2})-(\d{2})\.(md|markdown|txt)$)re"),
            QRegularExpression::CaseInsensitiveOption);
        return DatedFiles(day, true);
    }

    bool ReadUtf8(const QString& path, QString& text) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            read_.Problems << u"%1: 読めません (%2)"_qs.arg(NameOf(path), file.errorString());
            return false;
        }
        const QByteArray bytes = file.readAll();
        text = QString::fromUtf8(bytes);
        if (text.toUtf8() != bytes) {
            read_.Problems << u"%1: UTF-8 のテキストではありません"_qs.arg(NameOf(path));
            return false;
        }
        return true;
    }

    void ReadDay(const TDatedFile& file) {
        QString text;
        if (!ReadUtf8(file.Path, text))
            return;
        const TDailyNote note = ReadDailyNote(text);
        if (!note.Error.isEmpty()) {
            read_.Problems << NameOf(file.Path) + u": "_qs + note.Error;
            return;
        }
        const bool markdown = !file.Path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive);
        read_.Pages.push_back(
            PageOf(file.Date, note, markdown, QFileInfo(file.Path).absolutePath(), folder_));
    }

    // A RedNotebook month: a mapping of day numbers to days, each a mapping with its "text" and
    // its categories (each a mapping of entries, or nothing).
    void ReadMonth(const TDatedFile& file) {
        QString text;
        if (!ReadUtf8(file.Path, text))
            return;
        const TYmd ymd = DecodeDate(file.Date);
        const QString notJournal = u"%1: RedNotebook の日記ではありません (%2)"_qs;
        std::vector<TDataInfo> pages;
        try {
            const YAML::Node root = YAML::Load(text.toStdString());
            if (root.IsNull())
                return;
            if (!root.IsMap())
                throw std::runtime_error("not a mapping of days");
            for (const auto& entry : root) {
                const int day = entry.first.as<int>();
                if (day < 1 || day > DaysInMonth(ymd.Year, ymd.Month))
                    throw std::runtime_error("day " + std::to_string(day) + " is not in the month");
                const YAML::Node& content = entry.second;
                if (!content.IsMap())
                    throw std::runtime_error("day " + std::to_string(day) + " is not a mapping");
                TDailyNote note;
                QStringList categories;
                for (const auto& field : content) {
                    const QString key = QString::fromStdString(field.first.as<std::string>());
                    if (key == QLatin1String("text")) {
                        note.Body = RedNotebookToMarkdown(
                            QString::fromStdString(field.second.as<std::string>()));
                        continue;
                    }
                    QStringList entries;
                    if (field.second.IsMap())
                        for (const auto& item : field.second)
                            entries << QString::fromStdString(item.first.as<std::string>());
                    categories << (entries.isEmpty() ? key
                                                     : key + QStringLiteral(": ") +
                                                           entries.join(QStringLiteral(", ")));
                }
                note.News = categories.join(QLatin1Char('\n'));
                TDataInfo rec = PageOf(EncodeDate(ymd.Year, ymd.Month, day), note, true, folder_,
                                       QStringLiteral("/"));
                if (HoldsPage(rec))
                    pages.push_back(rec);
            }
        } catch (const std::exception& e) {
            read_.Problems << notJournal.arg(NameOf(file.Path), QString::fromUtf8(e.what()));
            return;
        }
        read_.Pages.insert(read_.Pages.end(), pages.begin(), pages.end());
    }

    QString folder_;
    const TExchangeProgress& progress_;
    TImportRead read_;
};

bool SamePage(const TDataInfo& a, const TDataInfo& b) {
    return a.Title == b.Title && a.Text == b.Text && a.News == b.News && a.Private == b.Private &&
           a.Weather == b.Weather && a.Extra == b.Extra;
}

std::string Joined(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty())
        return first.empty() ? second : first;
    return first + "\r\n" + ToCp932(Divider()) + "\r\n" + second;
}

}  // namespace

std::optional<TImportSource> ImportSourceNamed(const QString& name) {
    if (name == QLatin1String("rednotebook"))
        return TImportSource::RedNotebook;
    if (name == QLatin1String("markdown"))
        return TImportSource::Markdown;
    return std::nullopt;
}

TImportRead ReadImportSource(TImportSource source, const QString& folder,
                             const TExchangeProgress& progress) {
    return TSourceReader(folder, progress).Read(source);
}

TDataInfo AppendPage(const TDataInfo& existing, const TDataInfo& imported) {
    TDataInfo rec = existing;
    if (rec.Title.empty())
        rec.Title = imported.Title;
    if (rec.Weather < 0 || rec.Weather == WeatherUnknown)
        rec.Weather = imported.Weather;
    rec.News = Joined(existing.News, imported.News);
    rec.Private = Joined(existing.Private, imported.Private);
    if (imported.Extra != existing.Extra)
        rec.Extra = Joined(existing.Extra, imported.Extra);
    if (imported.Text.Empty() && imported.RichText.Empty())
        return rec;
    QTextDocument body;
    PrepareDocument(body);
    ReadBody(existing, body);
    QTextDocument added;
    PrepareDocument(added);
    ReadBody(imported, added);
    CopyPictures(added, body);
    QTextCursor cursor(&body);
    cursor.movePosition(QTextCursor::End);
    if (!body.isEmpty())
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertText(Divider(), QTextCharFormat());
    cursor.insertBlock(added.begin().blockFormat(), added.begin().charFormat());
    cursor.insertFragment(QTextDocumentFragment(&added));
    WriteBody(body, rec);
    return rec;
}

TImportPlan PlanImport(const std::string& dir, const std::vector<TDataInfo>& pages,
                       const TScrapList* store) {
    TImportPlan plan;
    const int storeYear =
        store != nullptr && store->CurrentDate() != 0 ? DecodeDate(store->CurrentDate()).Year : 0;
    for (const TDataInfo& page : pages) {
        const int year = DecodeDate(page.Date).Year;
        auto [it, added] = plan.Years.try_emplace(year);
        std::vector<TDataInfo>& records = it->second;
        if (added) {
            if (year == storeYear) {
                for (int i = 0; i < store->Count(); ++i)
                    records.push_back(store->Items(i));
            } else {
                const std::string path = YearFilePath(dir, year);
                // A file as the store last wrote it is CP932, whatever its bytes look like.
                const TYearFileRead read = ReadYearFile(
                    path, TYearFileFields::All, store != nullptr && store->WroteAsItIs(path));
                if (!read.Error.empty() || !read.Text.ReadWhole()) {
                    plan.Problems << u"ファイル %1 は一部しか読めないため、取り込めません"_qs.arg(
                        QFile::decodeName(path.c_str()));
                    continue;
                }
                records = read.Text.Records;
            }
        }
        const auto there =
            std::find_if(records.begin(), records.end(),
                         [&page](const TDataInfo& r) { return r.Date == page.Date; });
        if (there == records.end() || !HoldsPage(*there)) {
            if (there != records.end())
                records.erase(there);
            records.push_back(page);
            ++plan.New;
        } else if (SamePage(*there, page)) {
            ++plan.Unchanged;
        } else {
            *there = AppendPage(*there, page);
            ++plan.Appended;
        }
    }
    for (auto& [year, records] : plan.Years)
        std::sort(records.begin(), records.end(),
                  [](const TDataInfo& a, const TDataInfo& b) { return a.Date < b.Date; });
    return plan;
}

QString WriteImport(const std::string& dir, const std::string& baseName, const TImportPlan& plan,
                    TScrapList* store) {
    if (!plan.Problems.isEmpty())
        return plan.Problems.join(QStringLiteral("\n"));
    const TBackupOutcome backup = BackUpDiary(dir, baseName, Today());
    if (!backup.Problem.empty())
        return FromCp932(backup.Problem);
    const int storeYear =
        store != nullptr && store->CurrentDate() != 0 ? DecodeDate(store->CurrentDate()).Year : 0;
    // Each year file written so far, with what it held before (nullopt: it did not exist).
    std::vector<std::pair<std::string, std::optional<std::string>>> written;
    const auto undo = [&written] {
        for (const auto& [path, before] : written) {
            try {
                if (before) {
                    SafeWriteFile(path, *before);
                } else {
                    // A year the import made and could not take back keeps only imported pages.
                    std::error_code ignored;
                    std::filesystem::remove(path, ignored);
                }
            } catch (const VelmoraError&) {
                // The .bak copy made before the import still holds it.
            }
        }
    };
    const std::vector<TDataInfo>* storeRecords = nullptr;
    try {
        for (const auto& [year, records] : plan.Years) {
            if (year == storeYear) {
                storeRecords = &records;
                continue;
            }
            const std::string path = YearFilePath(dir, year);
            std::string before;
            const bool existed = ReadWholeFile(path, before);
            if (existed)
                KeepBackup(path);
            std::vector<const TDataInfo*> lines;
            for (const TDataInfo& rec : records)
                lines.push_back(&rec);
            SafeWriteFile(path, YearFileText(lines));
            written.emplace_back(path, existed ? std::optional(before) : std::nullopt);
        }
        // The store's year last, so that a failure before it leaves the store untouched.
        if (storeRecords != nullptr) {
            const std::string path = store->FileName();
            if (FileExists(path))
                KeepBackup(path);
            // Each day changed, with the record it had (none for a new day).
            std::vector<std::pair<int32_t, std::optional<TDataInfo>>> replaced;
            for (const TDataInfo& rec : *storeRecords) {
                const TDataInfo& there = store->FindByDate(rec.Date);
                if (there == rec)
                    continue;
                replaced.emplace_back(rec.Date,
                                      there.Date != 0 ? std::optional(there) : std::nullopt);
                store->PutRecord(rec);
            }
            // Putting a record makes it the store's copy of the current day: the shown day's
            // own record is taken again, without an event.
            store->SetDate(store->CurrentDate());
            store->SaveToFile();
            if (store->Modified()) {
                // The store reported why; its days go back to what they were.
                for (const auto& [date, rec] : replaced) {
                    if (rec)
                        store->PutRecord(*rec);
                    else
                        store->DeleteByDate(date);
                }
                store->SetDate(store->CurrentDate());
                undo();
                return u"ファイル %1 に書込めません"_qs.arg(QFile::decodeName(path.c_str()));
            }
        }
    } catch (const VelmoraError& e) {
        undo();
        return FromCp932(e.what());
    }
    return {};
}
