#pragma once

class QTextDocument;

// Qt lays a paragraph out as a whole, and each time it has drawn or laid one out it drops what it
// worked out about the characters (scripts, break opportunities, glyphs). A caret blink then
// works all of it out again to place the caret, and the paint after it drops it again: a
// paragraph of a million characters keeps a core busy while it is merely shown. Paragraphs this
// long keep that work, at a memory cost in proportion to their length, until they change.
inline constexpr int kLongParagraph = 20000;  // characters

// Makes the long paragraphs among those from position from to position to keep their layout.
void KeepLongParagraphLayouts(const QTextDocument& document, int from, int to);
