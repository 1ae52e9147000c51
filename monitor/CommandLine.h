#pragma once
// Command lines as Windows programs read them. A Windows program receives one text and splits
// it into its arguments itself, nearly always by the rules of the shell's CommandLineToArgvW:
// the program name ends at the next space or tab, or, when it starts with a double quote, at
// the next one; further arguments are separated by spaces and tabs, double quotes group, and
// backslashes escape a double quote (only when they stand right before one).

#include <string>
#include <string_view>
#include <vector>

#include "monitor/AlertText.h"

namespace corvale {

// The arguments of a command line, the program first; none for a blank line. Spaces and tabs
// before the program are not part of it.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The command line that splits back into exactly `arguments` (the program first, which no file
// name makes hold a double quote). An empty argument stays an argument.
std::string JoinCommandLine(const std::vector<std::string>& arguments);

// The command line for a batch file, which the system hands to the command interpreter: there a
// double quote cannot be escaped, and "&", "|", "<" and ">" outside quotes start other commands. So
// every argument is quoted, and a double quote within one becomes a single quote.
std::string JoinBatchCommandLine(const std::vector<std::string>& arguments);

// The arguments of "Run a program" for one notice line: the user's command line split first
// and the placeholders then replaced within each argument, so a placeholder stays one argument
// whatever its field holds.
std::vector<std::string> AlertCommandArguments(std::string_view command, const AlertFields& fields);

// The notice line that tells a command could not be started, with the system's reason.
std::string CommandFailureText(std::string_view program, std::string_view reason);

}  // namespace corvale
