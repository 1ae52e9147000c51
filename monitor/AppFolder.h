#pragma once
// Where the program lives and how it names itself to Windows at log-on.

#include <string>
#include <string_view>

namespace corvale {

// The program's title: the caption of its messages and the name of its start-up entry.
inline constexpr const char* kProgramTitle = "Corvale";

// The folder part of a path, up to and including its last backslash or slash; empty
// when the path has no folder part.
std::string FolderOfPath(std::string_view path);

// The folder of the program file, always ending in a backslash ("C:\" for a drive root).
std::string AppFolderFromModulePath(std::string_view modulePath);

// The program file's name without its extension ("Corvale" for "...\Corvale.exe").
std::string ProgramFileStem(std::string_view modulePath);

// The command Windows runs at log-on: folder, file name and ".exe". A path holding a
// space is put in double quotes, since Windows would otherwise try the path cut at each
// space as a program of its own (C:\Program.exe for C:\Program Files\...).
std::string StartupCommandLine(std::string_view appFolder, std::string_view fileStem);

#ifdef _WIN32
// The full path of the running program file, however long it is.
std::string ProgramModulePath();
// The folder of the running program file, ending in a backslash: what AppFolder is set to.
std::string ProgramFolder();
#endif

}  // namespace corvale
