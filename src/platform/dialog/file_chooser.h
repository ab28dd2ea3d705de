#pragma once
// Choosing a file to open or a name to save under, standing in for the window system's open and save
// dialogs: the files of one folder that match a pattern, and for saving a name of one's own. The host
// of the dialogs shows it (drawn in the game window, or answered from the input script).
#include <string>

struct FileChooserRequest {
  bool save = false;
  std::string title;             // CP932
  std::string folder;            // game path of the folder shown, ending in "\" (CP932)
  std::string description;       // the filter's description, e.g. "StageFile ( *.stg4_* )"
  std::string pattern;           // the filter's pattern, e.g. "*.stg4_*"
  std::string defaultExtension;  // added to a saved name without an extension (no dot)
  std::string initialName;       // the name proposed (a path: its file name is taken)
};

// Shows the chooser; true with the chosen file's full path (the current folder, "\" and the game
// path, CP932), false when cancelled (path emptied). An open chooser accepts only existing files; a
// save chooser asks before it names an existing file.
bool ChooseFile(const FileChooserRequest& request, std::string& path);

// What both hosts do with a name the user gave: the game path it names (a name in the request's
// folder, or a path of its own), with the default extension added to a saved name without one.
// Empty when the name is empty, or when an open chooser names no existing file.
std::string FileChooserTarget(const FileChooserRequest& request, const std::string& nameCp932);
// The full path of a game path (current folder + "\" + game path; an absolute path stays).
std::string FileChooserFullPath(const std::string& gamePath);
// The save chooser's question before an existing file is named; true to go on.
bool ConfirmOverwrite(const std::string& gamePath);
// Whether the save chooser may name the file: a new name, or an existing file the player agrees to
// replace. A file that cannot be replaced (a saved replay is read-only) is refused with a message:
// saving over it would fail after the chooser had closed.
bool MayChooseForSave(const std::string& gamePath);
