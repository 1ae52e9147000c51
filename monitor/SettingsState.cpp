#include "monitor/Settings.h"

namespace corvale {

std::string AppFolder;
std::string SitesPath;
std::string SitesText;

// The start values of start-up; the first load replaces them.
float PingTimeout = 0.0f;
int16_t TransPerc = 100;
bool MiniMode = false;
float CheckInterval = 20.0f;
int16_t NormalHue = 0;
int16_t ErrorHue = 0;

}  // namespace corvale
