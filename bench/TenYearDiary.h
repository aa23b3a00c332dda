#pragma once

// A diary as ten years of use leave it: a page for every day of 2017 to 2026 (about 8 MB of year
// files: a title, a body of Japanese prose with its RTF, a memo on some days, the news on others,
// a weather mark), forty anniversaries and forty reminders, the shipped holiday rules and the
// settings file, written into a folder where the program's executable is to lie.

#include <string>

#include "notes/NoteList.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/SafeWrite.h"
#include "storage/ScrapList.h"

namespace tenyears {

inline constexpr int kFirstYear = 2017;
inline constexpr int kLastYear = 2026;

// About 350 bytes of prose with line breaks, different for each day.
inline std::string Body(int32_t day) {
    static const char* const kSentences[] = {
        "今日は朝から雨が降っていた。表通りのソフト屋で、新しい本を買った。\r\n",
        "午後は散歩に出て、川沿いの桜を見た。風が冷たかった。\r\n",
        "夕飯は鍋にした。久しぶりに家族がそろって、にぎやかだった。\r\n",
        "仕事の打ち合わせが長引き、帰りが遅くなった。\r\n",
    };
    std::string body = Sjis("第") + std::to_string(day) + Sjis("日 ");
    for (int i = 0; body.size() < 340; ++i)
        body += Sjis(kSentences[(day + i) % 4]);
    return body;
}

// The body as RTF as the page writes it, CP932 bytes as \'xx pairs.
inline std::string Rich(const std::string& body) {
    static const char kHex[] = "0123456789abcdef";
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
        "\\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\r\n"
        "\\viewkind4\\uc1\\pard\\lang1041\\f0\\fs18 ";
    for (const char c : body) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r')
            rtf += "\\par";
        else if (byte >= 0x80 || c == '\\' || c == '{' || c == '}')
            rtf += {'\\', '\'', kHex[byte >> 4], kHex[byte & 15]};
        else
            rtf += c;
    }
    return rtf + "\\par\r\n}\r\n";
}

// Writes the diary into dir (ending with "/"); holidays is the holiday file's contents.
inline void WriteDiary(const std::string& dir, const std::string& holidays) {
    SafeWriteFile(dir + "Velmora.hol", holidays);
    SafeWriteFile(dir + "Velmora.ini", "ROKUYO=1\r\n");
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        TScrapList store;
        store.LoadFromFile(dir + std::to_string(year) + ".dat");
        for (int32_t d = EncodeDate(year, 1, 1); d <= EncodeDate(year, 12, 31); ++d) {
            TDataInfo rec;
            rec.Date = d;
            rec.Title = Sjis("一日のひと言 ") + std::to_string(d % 97);
            rec.Text = Body(d);
            rec.RichText = Rich(rec.Text.Text());
            if (d % 3 == 0)
                rec.Private = Sjis("メモ: 買い物、手紙の返事");
            if (d % 5 == 0)
                rec.News = Sjis("出来事: 町内会の集まり");
            rec.Weather = d % 32;
            store.PutRecord(rec);
        }
        store.SaveToFile();
    }
    TNoteList memory;
    TNoteList todo;
    for (int i = 0; i < 40; ++i) {
        TNoteRec anniversary;
        anniversary.Kind = i % 2 ? NoteBirthday : NoteHidden;
        anniversary.MonthRule = static_cast<uint16_t>(1 + i % 12);
        anniversary.DayRule = static_cast<uint16_t>(1 + i % 28);
        anniversary.StartYear = static_cast<uint16_t>(1950 + i);
        anniversary.Title = Sjis("記念日 ") + std::to_string(i);
        memory.AddNote(anniversary);
        TNoteRec reminder;
        reminder.MonthRule = static_cast<uint16_t>(i % 13);
        reminder.DayRule = static_cast<uint16_t>(1 + i % 28);
        reminder.StartYear = kFirstYear;
        reminder.Title = Sjis("用事 ") + std::to_string(i);
        todo.AddNote(reminder);
    }
    memory.SaveToFile(dir + "Velmora.mem");
    todo.SaveToFile(dir + "Velmora.tdo");
}

}  // namespace tenyears
