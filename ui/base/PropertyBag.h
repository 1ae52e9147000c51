#pragma once
// Named design-time values of a control, kept with its container's design.
// Keys match without regard to case; a missing key reads as the caller's default.
// The Write calls that take a default leave a value equal to it unwritten, so a
// design stores only what differs; the calls without one always write.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvale {

class PropertyBag {
public:
    std::string ReadText(std::string_view key, std::string_view defaultValue) const;
    int32_t ReadInt(std::string_view key, int32_t defaultValue) const;
    bool ReadBool(std::string_view key, bool defaultValue) const;
    double ReadDouble(std::string_view key, double defaultValue) const;
    // Binary values (pictures); empty when missing.
    std::vector<uint8_t> ReadBytes(std::string_view key) const;
    bool Contains(std::string_view key) const;

    void WriteText(std::string_view key, std::string_view value, std::string_view defaultValue);
    void WriteInt(std::string_view key, int32_t value, int32_t defaultValue);
    void WriteBool(std::string_view key, bool value, bool defaultValue);
    void WriteDouble(std::string_view key, double value, double defaultValue);

    void WriteText(std::string_view key, std::string_view value);
    void WriteInt(std::string_view key, int32_t value);
    void WriteBool(std::string_view key, bool value);
    void WriteDouble(std::string_view key, double value);
    void WriteBytes(std::string_view key, const std::vector<uint8_t>& value);

    void Remove(std::string_view key);
    std::size_t size() const { return entries_.size(); }
    std::vector<std::string> Keys() const;

    // Text form: one `Key = "value"` line per entry in order of first writing, with
    // C-style escapes (\\, \", \n, \r, \t, \xHH) so any bytes survive a round trip.
    std::string Serialize() const;
    // nullopt when a line is malformed; blank lines and lines starting with ';' are skipped.
    static std::optional<PropertyBag> Parse(std::string_view text);

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    const Entry* Find(std::string_view key) const;
    void Put(std::string_view key, std::string value);

    std::vector<Entry> entries_;
};

// Exact text forms used for booleans and numbers, shared with anything that compares them.
std::string FormatBool(bool value);
std::string FormatDouble(double value);

}  // namespace corvale
