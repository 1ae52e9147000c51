#include "ui/base/PropertyBag.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace corvale {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameKey(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::optional<long long> ParseInteger(std::string_view s) {
    s = Trim(s);
    long long v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || ptr != s.data() + s.size() || s.empty()) return std::nullopt;
    return v;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = LowerAscii(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string FormatBool(bool value) { return value ? "True" : "False"; }

std::string FormatDouble(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", value);
    return buf;
}

const PropertyBag::Entry* PropertyBag::Find(std::string_view key) const {
    for (const auto& e : entries_)
        if (SameKey(e.key, key)) return &e;
    return nullptr;
}

void PropertyBag::Put(std::string_view key, std::string value) {
    for (auto& e : entries_)
        if (SameKey(e.key, key)) {
            e.value = std::move(value);
            return;
        }
    entries_.push_back({std::string(key), std::move(value)});
}

void PropertyBag::Remove(std::string_view key) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (SameKey(it->key, key)) {
            entries_.erase(it);
            return;
        }
}

bool PropertyBag::Contains(std::string_view key) const { return Find(key) != nullptr; }

std::vector<std::string> PropertyBag::Keys() const {
    std::vector<std::string> keys;
    for (const auto& e : entries_) keys.push_back(e.key);
    return keys;
}

std::string PropertyBag::ReadText(std::string_view key, std::string_view defaultValue) const {
    const Entry* e = Find(key);
    return e ? e->value : std::string(defaultValue);
}

int32_t PropertyBag::ReadInt(std::string_view key, int32_t defaultValue) const {
    const Entry* e = Find(key);
    if (!e) return defaultValue;
    auto v = ParseInteger(e->value);
    if (!v || *v < INT32_MIN || *v > UINT32_MAX) return defaultValue;
    // Colours such as 0x80000012 are written as unsigned numbers; keep their bits.
    return static_cast<int32_t>(static_cast<uint32_t>(*v));
}

bool PropertyBag::ReadBool(std::string_view key, bool defaultValue) const {
    const Entry* e = Find(key);
    if (!e) return defaultValue;
    std::string_view v = Trim(e->value);
    if (SameKey(v, "true")) return true;
    if (SameKey(v, "false")) return false;
    if (auto n = ParseInteger(v)) return *n != 0;
    return defaultValue;
}

double PropertyBag::ReadDouble(std::string_view key, double defaultValue) const {
    const Entry* e = Find(key);
    if (!e) return defaultValue;
    std::string text(Trim(e->value));
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(v)) return defaultValue;
    return v;
}

std::vector<uint8_t> PropertyBag::ReadBytes(std::string_view key) const {
    const Entry* e = Find(key);
    if (!e) return {};
    return std::vector<uint8_t>(e->value.begin(), e->value.end());
}

void PropertyBag::WriteText(std::string_view key, std::string_view value, std::string_view defaultValue) {
    if (value == defaultValue) Remove(key);
    else Put(key, std::string(value));
}
void PropertyBag::WriteInt(std::string_view key, int32_t value, int32_t defaultValue) {
    if (value == defaultValue) Remove(key);
    else WriteInt(key, value);
}
void PropertyBag::WriteBool(std::string_view key, bool value, bool defaultValue) {
    if (value == defaultValue) Remove(key);
    else WriteBool(key, value);
}
void PropertyBag::WriteDouble(std::string_view key, double value, double defaultValue) {
    if (value == defaultValue) Remove(key);
    else WriteDouble(key, value);
}

void PropertyBag::WriteText(std::string_view key, std::string_view value) { Put(key, std::string(value)); }
void PropertyBag::WriteInt(std::string_view key, int32_t value) { Put(key, std::to_string(value)); }
void PropertyBag::WriteBool(std::string_view key, bool value) { Put(key, FormatBool(value)); }
void PropertyBag::WriteDouble(std::string_view key, double value) { Put(key, FormatDouble(value)); }
void PropertyBag::WriteBytes(std::string_view key, const std::vector<uint8_t>& value) {
    Put(key, std::string(value.begin(), value.end()));
}

std::string PropertyBag::Serialize() const {
    std::string out;
    for (const auto& e : entries_) {
        out += e.key;
        out += " = \"";
        for (unsigned char c : e.value) {
            switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c >= 0x7F) {
                    static const char digits[] = "0123456789ABCDEF";
                    out += "\\x";
                    out += digits[c >> 4];
                    out += digits[c & 15];
                } else {
                    out += static_cast<char>(c);
                }
            }
        }
        out += "\"\n";
    }
    return out;
}

std::optional<PropertyBag> PropertyBag::Parse(std::string_view text) {
    PropertyBag bag;
    while (!text.empty()) {
        std::size_t eol = text.find('\n');
        std::string_view line = Trim(text.substr(0, eol));
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        if (line.empty() || line.front() == ';') continue;

        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) return std::nullopt;
        std::string_view key = Trim(line.substr(0, eq));
        std::string_view quoted = Trim(line.substr(eq + 1));
        if (key.empty() || quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return std::nullopt;
        quoted = quoted.substr(1, quoted.size() - 2);

        std::string value;
        for (std::size_t i = 0; i < quoted.size(); ++i) {
            char c = quoted[i];
            if (c == '"') return std::nullopt;
            if (c != '\\') {
                value += c;
                continue;
            }
            if (++i >= quoted.size()) return std::nullopt;
            switch (quoted[i]) {
            case '\\': value += '\\'; break;
            case '"': value += '"'; break;
            case 'n': value += '\n'; break;
            case 'r': value += '\r'; break;
            case 't': value += '\t'; break;
            case 'x': {
                int hi = i + 1 < quoted.size() ? HexDigit(quoted[i + 1]) : -1;
                int lo = i + 2 < quoted.size() ? HexDigit(quoted[i + 2]) : -1;
                if (hi < 0 || lo < 0) return std::nullopt;
                value += static_cast<char>(hi * 16 + lo);
                i += 2;
                break;
            }
            default: return std::nullopt;
            }
        }
        bag.Put(key, std::move(value));
    }
    return bag;
}

}  // namespace corvale
