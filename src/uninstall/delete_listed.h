// Deleting the files and folders named in Uninstall.lst.
#pragma once

class File;

// Deletes every file and folder that the open list `list` names relative to
// `folder` (the program folder with its trailing backslash), in passes over
// the whole list until a pass deletes nothing: a folder goes once it is
// empty, a read-only file has its attributes cleared first, a missing entry
// is skipped. A busy file is renamed and scheduled for deletion at restart
// (ScheduleBusyFile), except the running program's own file and the list,
// which stay. An entry that would reach outside the folder, or whose full
// name does not fit, is skipped. True when a busy file could not be renamed
// and a restart is needed.
bool DeleteListedFiles(File& list, const char* folder);
