// The timetables (ダイヤ) of one board as others read them: their names and train sets, and the
// rule for their names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/UrwBrdData.h"

namespace ramvel {

// One timetable of a board, read only: valid while the board is unchanged.
struct TDiaRef {
  size_t Index = 0;  // its index in TBrdData::Dias
  std::string Name;
  bool Active = false;
  const TObjList<TCarObj>* Cars = nullptr;
};

// Every timetable of the board, the board's own first, each with its train sets.
std::vector<TDiaRef> BrdTimetables(const TBrdData& brd);

// A timetable's name becomes a folder name: refused as any such name (CheckObjName), and when
// it begins with "." (the board's working folders do).
TStatus CheckDiaName(std::string_view name);

// Makes the timetable of that name (without regard to case) active; an empty name keeps the
// active one. Refused, naming the board's timetables, when there is none of that name.
TStatus SelectDiaByName(TBrdData& brd, const std::string& name);

// Sets the note of name in notes (NoteText of note); an empty note removes it.
void SetNote(TNoteMap& notes, const std::string& name, std::string_view note);

// The names of the board's timetables joined by "、", for messages.
std::string DiaNamesText(const TBrdData& brd);

}  // namespace ramvel
