#pragma once

#include <QString>

#include "storage/DataInfo.h"

// The daily-notes form of a page: a Markdown file whose front matter (YAML between "---" lines)
// holds the title, the weather by name, the memos and the record's further text (Extra, which
// diaries of older versions may hold), and whose text is the body.

// The front matter of rec, "---" lines included; the private memo only when withPrivate. Keys
// without a value are left out; a page with none of them gets none.
QString FrontMatter(const TDataInfo& rec, bool withPrivate);

// A daily note split into its front matter and its text.
struct TDailyNote {
    QString Title;
    int Weather = -1;  // -1 when the note names none
    QString News;
    QString Private;
    QString Extra;
    QString Body;   // the text after the front matter
    QString Error;  // why the front matter could not be read; empty when it could
};

// Reads text as a daily note. Text without front matter is all body. Front matter that is no
// YAML mapping, or names a weather that is not one of the page's, gives Error.
TDailyNote ReadDailyNote(const QString& text);

// RedNotebook's markup (txt2tags: "== heading ==", **bold**, //italic//, --struck--, "- " and
// "+ " lists, [text ""url""] links, [""picture"".png]) as Markdown, every line of text kept as
// a line of its own. Underlining has no Markdown and is dropped, its text kept.
QString RedNotebookToMarkdown(const QString& text);
