#pragma once
// The log's files on disk: the folder "log" beside the program, made when first needed, and
// files in it appended to through the system's file calls. A file another program holds
// open for itself (a spreadsheet) is busy; a folder or a disk that cannot take the rows fails.

#include <cstdint>
#include <string>
#include <string_view>

#include "monitor/ResultLog.h"

namespace corvale {

class LogFolder : public LogFiles {
public:
    // `folder` is UTF-8 and ends in a backslash.
    explicit LogFolder(std::string folder) : folder_(std::move(folder)) {}
    const std::string& Folder() const { return folder_; }
    Outcome Append(const std::string& name, std::string_view header, std::string_view rows) override;

private:
    std::string folder_;
};

// The user's clock now, with its offset from UTC at this moment.
LocalTime LocalTimeNow();
// Now in milliseconds since 1970-01-01 UTC.
int64_t UnixMsNow();

}  // namespace corvale
