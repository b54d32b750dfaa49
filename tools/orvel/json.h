// orvel's JSON output: a small value tree built by the reports and written with one layout. Numbers
// are written with the decimals the figure deserves, so a report never shows float noise.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orvel {

class JsonValue {
public:
    JsonValue() = default; // null
    JsonValue(bool value);
    JsonValue(int value) : JsonValue(static_cast<long long>(value)) {}
    JsonValue(long value) : JsonValue(static_cast<long long>(value)) {}
    JsonValue(long long value);
    JsonValue(unsigned value) : JsonValue(static_cast<unsigned long long>(value)) {}
    JsonValue(unsigned long value) : JsonValue(static_cast<unsigned long long>(value)) {}
    JsonValue(unsigned long long value);
    JsonValue(const char* text);
    JsonValue(std::string text);
    // A measured figure needs its precision stated: use number().
    JsonValue(double) = delete;

    // A fixed-point number with `decimals` digits after the point; null when not finite.
    static JsonValue number(double value, int decimals);
    static JsonValue object();
    static JsonValue array();
    // A string, or null when the text is empty.
    static JsonValue stringOrNull(const std::string& text);

    // Objects keep their members in the order they were set; setting a key again replaces it.
    JsonValue& set(const std::string& key, JsonValue value);
    JsonValue& push(JsonValue value);

    // Indented by two spaces; a short object or list of plain values stays on one line.
    std::string dump() const;

private:
    enum class Kind { Null, Literal, String, Array, Object };
    Kind kind = Kind::Null;
    std::string text; // the literal's own text, or the string's contents
    std::vector<std::pair<std::string, JsonValue>> members;
    std::vector<JsonValue> items;

    bool isContainer() const { return kind == Kind::Array || kind == Kind::Object; }
    std::string inlineText() const;
    void write(std::string& out, int indent) const;
};

// The JSON text of a string, in quotes, with control characters escaped.
std::string jsonQuoted(const std::string& text);

} // namespace orvel
