#include "monitor/CommandLine.h"

namespace corvale {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The program name: no escapes, and a quoted one ends at the next double quote.
std::string ReadProgram(std::string_view line, std::size_t& i) {
    std::string program;
    if (i < line.size() && line[i] == '"') {
        const std::size_t close = line.find('"', i + 1);
        const std::size_t end = close == std::string_view::npos ? line.size() : close;
        program = line.substr(i + 1, end - i - 1);
        i = close == std::string_view::npos ? end : close + 1;
    } else {
        while (i < line.size() && !IsBlank(line[i])) program += line[i++];
    }
    return program;
}

std::string ReadArgument(std::string_view line, std::size_t& i) {
    std::string argument;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
        if (line[i] == '\\') {
            std::size_t backslashes = 0;
            while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
            if (i < line.size() && line[i] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) argument += line[i++];  // an escaped quote; an unescaped one is read next
            } else {
                argument.append(backslashes, '\\');
            }
        } else if (line[i] == '"') {
            // Inside quotes, two quotes are one literal quote, and the quoted part ends there.
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                argument += '"';
                ++i;
                quoted = false;
            } else {
                quoted = !quoted;
            }
            ++i;
        } else {
            argument += line[i++];
        }
    }
    return argument;
}

std::string QuotedArgument(std::string_view argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos) return std::string(argument);
    // Backslashes double only where a double quote follows them, the closing one included.
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + '"';
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size()) return {};
    std::vector<std::string> arguments{ReadProgram(line, i)};
    for (;;) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i == line.size()) return arguments;
        arguments.push_back(ReadArgument(line, i));
    }
}

std::string JoinCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i == 0) {
            line = '"' + arguments[0] + '"';  // the program's own rule: no escapes
        } else {
            line += ' ';
            line += QuotedArgument(arguments[i]);
        }
    }
    return line;
}

std::string JoinBatchCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) line += ' ';
        line += '"';
        for (const char c : argument) line += c == '"' ? '\'' : c;
        line += '"';
    }
    return line;
}

std::vector<std::string> AlertCommandArguments(std::string_view command, const AlertFields& fields) {
    std::vector<std::string> arguments = SplitCommandLine(command);
    for (std::string& argument : arguments) argument = ExpandPlaceholders(argument, fields);
    return arguments;
}

std::string CommandFailureText(std::string_view program, std::string_view reason) {
    return "The alert program could not be started: " + std::string(program) + " (" + std::string(reason) + ")";
}

}  // namespace corvale
