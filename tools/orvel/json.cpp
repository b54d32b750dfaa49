#include "tools/orvel/json.h"

#include <cmath>
#include <cstdio>

#include "tools/orvel/errors.h"

namespace orvel {

namespace {

// Longest line a container is kept on before it is spread over several.
constexpr std::size_t kInlineWidth = 120;

std::string fixedText(double value, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof(buf), "%.*f", decimals, value);
    std::string text = buf;
    // "-0.00" would read as a sign; a rounded zero has none.
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

} // namespace

JsonValue::JsonValue(bool value) : kind(Kind::Literal), text(value ? "true" : "false") {}
JsonValue::JsonValue(long long value) : kind(Kind::Literal), text(std::to_string(value)) {}
JsonValue::JsonValue(unsigned long long value) : kind(Kind::Literal), text(std::to_string(value)) {}
JsonValue::JsonValue(const char* value) : kind(Kind::String), text(value) {}
JsonValue::JsonValue(std::string value) : kind(Kind::String), text(std::move(value)) {}

JsonValue JsonValue::number(double value, int decimals) {
    JsonValue v;
    if (std::isfinite(value)) {
        v.kind = Kind::Literal;
        v.text = fixedText(value, decimals);
    }
    return v;
}

JsonValue JsonValue::object() {
    JsonValue v;
    v.kind = Kind::Object;
    return v;
}

JsonValue JsonValue::array() {
    JsonValue v;
    v.kind = Kind::Array;
    return v;
}

JsonValue JsonValue::stringOrNull(const std::string& text) {
    return text.empty() ? JsonValue() : JsonValue(text);
}

JsonValue& JsonValue::set(const std::string& key, JsonValue value) {
    if (kind != Kind::Object) throw Error("internal: JSON member set on a value that is not an object");
    for (auto& member : members)
        if (member.first == key) {
            member.second = std::move(value);
            return *this;
        }
    members.emplace_back(key, std::move(value));
    return *this;
}

JsonValue& JsonValue::push(JsonValue value) {
    if (kind != Kind::Array) throw Error("internal: JSON item pushed on a value that is not an array");
    items.push_back(std::move(value));
    return *this;
}

std::string JsonValue::inlineText() const {
    switch (kind) {
    case Kind::Null:
        return "null";
    case Kind::Literal:
        return text;
    case Kind::String:
        return jsonQuoted(text);
    case Kind::Array: {
        std::string out = "[";
        for (std::size_t i = 0; i < items.size(); ++i)
            out += (i ? ", " : "") + items[i].inlineText();
        return out + "]";
    }
    case Kind::Object: {
        std::string out = "{";
        for (std::size_t i = 0; i < members.size(); ++i)
            out += (i ? ", " : "") + jsonQuoted(members[i].first) + ": " + members[i].second.inlineText();
        return out + "}";
    }
    }
    return "null";
}

void JsonValue::write(std::string& out, int indent) const {
    if (!isContainer()) {
        out += inlineText();
        return;
    }
    const std::string flat = inlineText();
    if (flat.size() + std::size_t(indent) <= kInlineWidth) {
        out += flat;
        return;
    }
    const std::string inner(std::size_t(indent + 2), ' ');
    const bool isObject = kind == Kind::Object;
    out += isObject ? "{\n" : "[\n";
    const std::size_t count = isObject ? members.size() : items.size();
    for (std::size_t i = 0; i < count; ++i) {
        out += inner;
        if (isObject) {
            out += jsonQuoted(members[i].first) + ": ";
            members[i].second.write(out, indent + 2);
        } else {
            items[i].write(out, indent + 2);
        }
        out += i + 1 < count ? ",\n" : "\n";
    }
    out += std::string(std::size_t(indent), ' ') + (isObject ? "}" : "]");
}

std::string JsonValue::dump() const {
    std::string out;
    write(out, 0);
    return out;
}

std::string jsonQuoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof(buf), "\\u%04x", c);
                out += buf;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

} // namespace orvel
