#include "ui/prefs/RegistryText.h"

namespace corvale {

uint32_t RegistryTextType(std::string_view text) {
    auto first = text.find('%');
    if (first == std::string_view::npos) return kRegSz;
    return text.find('%', first + 2) == std::string_view::npos ? kRegSz : kRegExpandSz;
}

}  // namespace corvale
