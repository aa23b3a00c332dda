#pragma once

#include <string>
#include <vector>

class QWidget;
class TNoteList;
class TScrapList;

// The window's side of the rescue copy: what the end of a session could not write to the diary
// folder is kept elsewhere, and the next start offers it back.

// Keeps what store and notes hold unwritten in a rescue file (folder is the diary folder, ending
// with a separator); when no place takes it, prints it to standard error, which the session's
// journal keeps.
void RescueUnwritten(const std::string& folder, TScrapList& store,
                     const std::vector<const TNoteList*>& notes);

// Asks whether the rescue files of the diary folder go back into the diary, puts them back when
// the user agrees, and says what became of them. Runs before the diary's files are read.
void OfferRescues(QWidget* parent, const std::string& folder);
