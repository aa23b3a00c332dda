#pragma once

#include <string>

// Which encoding a CP932 file a loader reads is really in. Velmora writes CP932; a text editor may
// have saved the file in UTF-8. Both encodings share ASCII, and a short CP932 text can be valid
// UTF-8 too, so the bytes alone decide only where one reading is clearly Japanese text.

// When bytes are UTF-8 text, replaces them by their CP932 form (Utf8ToCp932) and returns true;
// otherwise leaves them and returns false. Bytes are taken as UTF-8 when they are valid UTF-8
// and either start with a byte-order mark, or hold text beyond ASCII whose UTF-8 reading is
// clearly Japanese while they are no CP932 at all or their CP932 reading is not clearly Japanese.
// Reading UTF-8 as CP932 loses nothing (the bytes are written back as they were read), so a
// doubtful file stays CP932.
bool ConvertUtf8File(std::string& bytes);
