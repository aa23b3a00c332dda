#pragma once

#include <QString>
#include <memory>

class QLockFile;
class QTextStream;

// An import writes the diary's files itself; a window open on the folder would write its own
// copy over them at its next save. Takes the folder's one-copy lock into lock for the import's
// time; false, after saying so on err, when a window has the folder open.
bool HoldForImport(const QString& folder, std::unique_ptr<QLockFile>& lock, QTextStream& err);
