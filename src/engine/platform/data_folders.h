// Where the game's "data\..." files live on this host. The game always asks for data\NAME; this
// rule decides which folder answers:
// - run from the build folder (not installed): the working folder's data/, for everything;
// - installed: the files that ship with the game (sounds, attract demo) from the installed data
//   folder, found relative to the executable so a moved install still works, and the player's own
//   files (the top score) in $XDG_DATA_HOME/pumko, else ~/.local/share/pumko, made on first save;
// - --data-dir DIR: DIR for both, for one run.
#pragma once

#include <string>

struct DataFolders {
    std::string game; // read-only game data; empty: the working folder's data/
    std::string user; // the player's own files; empty: the working folder's data/
    bool installed = false;
    bool operator==(const DataFolders&) const = default;
};

// What the choice depends on, gathered from the host so the rule itself can be tested.
struct DataFolderHost {
    std::string data_dir;       // --data-dir, or empty
    std::string exe_dir;        // the folder holding the running program
    std::string installed_data; // the data folder relative to exe_dir in an installed layout
    const char* xdg_data_home;  // the environment's values, or null when unset
    const char* home;
};

// Decides the folders. `note` gets a one-line message for the player when the per-user folder
// cannot be placed (no usable XDG_DATA_HOME or HOME), else stays empty.
DataFolders ChooseDataFolders(const DataFolderHost& host, std::string& note);

// Makes HostPath answer data\NAME from these folders (until changed again).
void SetDataFolders(const DataFolders& folders);
const DataFolders& CurrentDataFolders();

// Maps a host path whose first component may be "data" (backslashes already turned into "/").
// Installed or with --data-dir, data/NAME is the player's copy when there is one, else the game's
// copy when there is one, else the player's folder (where a new file is made); "data" alone is
// the player's folder. Other paths come back unchanged.
std::string MapDataPath(const std::string& path);

// A top score or best times kept in the working folder's data/ by a build-folder run are copied
// into the player's folder when the player has none there yet; the old files stay as they were.
// Returns true when a file was carried over. Silent on failure: the player's folder is then
// simply empty.
bool CarryOverPlayerFiles(const DataFolders& folders, const std::string& old_data_folder);

// Gathers the host's facts (the running program's folder, the environment), chooses, applies, and
// carries an old top score over. Prints the note, if any, on stderr.
void SetupDataFolders(const std::string& data_dir_option);
