// The player's records on the disk: records.txt in the player's data folder, and beside it
// in recordings/ the recorded input of each of the best games, so that they can be watched
// again. Both are written whole (res/whole_file_writer); records.txt is read afresh and
// edited for each game kept, so that two games ending at once both stay.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "records/records_file.h"

struct TRecordsPlace {
  std::string File;        // FOLDER/records.txt
  std::string Recordings;  // FOLDER/recordings
};

// The place in the player's data folder `folder`; empty names when no folder is known.
TRecordsPlace RecordsPlaceIn(const std::string& folder);

constexpr size_t BestCount = 10;   // the games that keep their recordings
constexpr size_t LogCount = 1000;  // the last games kept, besides the best

struct TRecords {
  std::vector<TRecordsLine> Lines;
  bool Whole = true;    // missing, or read to its end: only then may a game be added
  std::string Problem;  // why not, in a few words
};

// The records as the file has them. A file that cannot be read adds one warning "FILE: ...",
// each line not understood another (records_file.h).
TRecords LoadRecords(const TRecordsPlace& place, std::vector<std::string>& warnings);

// The lines of the best `count` games, best first; between equals, the one kept first.
std::vector<size_t> BestGames(const std::vector<TRecordsLine>& lines, size_t count = BestCount);

// The file of a game's recording; "" when it has none, or its file is missing.
std::string RecordingPath(const TRecordsPlace& place, const TGameRecord& game);

// Keeps a game played to its end, its line added at the end of the file. Among the best, it
// keeps its recording (`recording`, the input script --save-input writes); the games beyond
// the last LogCount that are not among the best leave the file, and the games no longer among
// the best lose their recordings. False with a one-line reason in `error` when the file
// cannot be read whole or written: the files are then as they were. What goes wrong on the
// way (a damaged line, a recording that cannot be written) adds one line to `warnings`.
bool KeepGame(const TRecordsPlace& place, TGameRecord game, std::string_view recording,
              std::vector<std::string>& warnings, std::string& error);
