#include "monitor/AppFolder.h"

namespace corvale {

std::string FolderOfPath(std::string_view path) {
    auto cut = path.find_last_of("\\/");
    if (cut == std::string_view::npos) return {};
    return std::string(path.substr(0, cut + 1));
}

std::string AppFolderFromModulePath(std::string_view modulePath) {
    std::string folder = FolderOfPath(modulePath);
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

std::string ProgramFileStem(std::string_view modulePath) {
    auto cut = modulePath.find_last_of("\\/");
    std::string_view name = cut == std::string_view::npos ? modulePath : modulePath.substr(cut + 1);
    auto dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
    return std::string(name);
}

std::string StartupCommandLine(std::string_view appFolder, std::string_view fileStem) {
    std::string command;
    command.reserve(appFolder.size() + fileStem.size() + 6);
    command.append(appFolder).append(fileStem).append(".exe");
    if (command.find(' ') != std::string::npos) command = '"' + command + '"';
    return command;
}

}  // namespace corvale
