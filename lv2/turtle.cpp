#include "lv2/turtle.h"

#include <cstdio>
#include <string>

#include "engine/identity.h"
#include "engine/parameters.h"
#include "lv2/identity.h"
#include "lv2/ports.h"
#include "presets/factory_presets.h"

using namespace lv2port;

namespace lv2turtle {

namespace {

constexpr const char* kPrefixes = "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                                  "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                                  "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                                  "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
                                  "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
                                  "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                                  "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                                  "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                                  "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                                  "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n\n";

// The project states no licence of its own: all rights stay with the vendor.
constexpr const char* kLicense = "urn:orvel-soundworks:license:all-rights-reserved";

std::string uri(const std::string& text) {
    return "<" + text + ">";
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string presetUri(int slot) {
    return uri(lv2identity::kPresetUriPrefix + std::to_string(slot));
}

std::string groupUri(const char* symbol) {
    return uri(std::string(lv2identity::kPluginUri) + ":" + symbol);
}

const char* unitName(Unit unit) {
    switch (unit) {
    case Unit::Decibel:
        return "units:db";
    case Unit::Millisecond:
        return "units:ms";
    case Unit::Percent:
        return "units:pc";
    case Unit::None:
        break;
    }
    return nullptr;
}

// The text a choice shows, for its scale point: the choice texts, or for a bit mask its characters
// ("none" where the display shows nothing).
std::string choiceLabel(const PortInfo& info, int k) {
    const engine::ParameterInfo& parameter = engine::kParameters[info.parameter];
    if (parameter.kind == engine::ParamKind::BitMask) {
        char text[8];
        engine::formatAttShow(k, text);
        return *text ? text : "none";
    }
    return parameter.texts[k];
}

std::string audioPort(std::uint32_t index, const PortInfo& info) {
    const bool input = info.direction == Direction::Input;
    const bool left = index == kInLeft || index == kOutLeft;
    return std::string("        a lv2:AudioPort, ") + (input ? "lv2:InputPort" : "lv2:OutputPort") +
           " ;\n        lv2:index " + std::to_string(index) + " ;\n        lv2:symbol " +
           quoted(info.symbol) + " ;\n        lv2:name " + quoted(info.name) + " ;\n        pg:group " +
           groupUri(input ? "in" : "out") + " ;\n        lv2:designation " + (left ? "pg:left" : "pg:right") +
           "\n";
}

std::string controlPort(std::uint32_t index, const PortInfo& info) {
    const bool input = info.direction == Direction::Input;
    std::string text = std::string("        a lv2:ControlPort, ") +
                       (input ? "lv2:InputPort" : "lv2:OutputPort") + " ;\n        lv2:index " +
                       std::to_string(index) + " ;\n        lv2:symbol " + quoted(info.symbol) +
                       " ;\n        lv2:name " + quoted(info.name) + " ;\n";
    std::string properties;
    auto property = [&](const char* name) {
        properties += (properties.empty() ? "" : ", ") + std::string(name);
    };
    if (index == kLatency) {
        // Hosts that predate the designation know only the property.
        text += "        lv2:designation lv2:latency ;\n";
        property("lv2:reportsLatency");
        property("lv2:integer");
    }
    const int choices = choiceCount(info);
    if (info.toggled) {
        property("lv2:toggled");
    } else if (choices > 0) {
        property("lv2:integer");
        property("lv2:enumeration");
    }
    if (!info.automatable) property("pprops:notAutomatic");
    if (!properties.empty()) text += "        lv2:portProperty " + properties + " ;\n";
    if (const char* unit = unitName(info.unit)) text += std::string("        units:unit ") + unit + " ;\n";
    if (choices > 0 && !info.toggled) {
        for (int k = 0; k < choices; ++k)
            text += "        lv2:scalePoint [ rdfs:label " + quoted(choiceLabel(info, k)) + " ; rdf:value " +
                    std::to_string(k) + " ] ;\n";
    }
    if (input) text += "        lv2:default " + number(defaultValue(info)) + " ;\n";
    text += "        lv2:minimum " + number(minimum(info)) + " ;\n        lv2:maximum " +
            number(maximum(info)) + "\n";
    return text;
}

// The editor: one size, driven by the host's idle calls; it hears of the latency and the meters.
std::string userInterface() {
    std::string text = "\n" + uri(lv2identity::kUiUri) + "\n    a ui:X11UI ;\n";
    text += "    lv2:requiredFeature ui:idleInterface, ui:parent ;\n";
    text += "    lv2:optionalFeature ui:resize, ui:touch, ui:fixedSize, ui:noUserResize ;\n";
    text += "    lv2:extensionData ui:idleInterface";
    for (std::uint32_t i = 0; i < kNumPorts; ++i) {
        const PortInfo& info = port(i);
        if (info.kind != Kind::Control || info.direction != Direction::Output) continue;
        text += " ;\n    ui:portNotification [\n        ui:plugin " + uri(lv2identity::kPluginUri) +
                " ;\n        lv2:symbol " + quoted(info.symbol) +
                " ;\n        ui:protocol ui:floatProtocol\n    ]";
    }
    return text + " .\n";
}

} // namespace

std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.9g", double(value));
    std::string out = text;
    if (out.find_first_of(".e") == std::string::npos) out += ".0";
    return out;
}

std::string manifest() {
    std::string text = kPrefixes;
    text += uri(lv2identity::kPluginUri) + "\n    a lv2:Plugin ;\n    lv2:binary " +
            uri(lv2identity::kBinaryName) + " ;\n    rdfs:seeAlso <orvel-zelmar.ttl> .\n";
    text += "\n" + uri(lv2identity::kUiUri) + "\n    a ui:X11UI ;\n    ui:binary " +
            uri(lv2identity::kUiBinaryName) + " ;\n    rdfs:seeAlso <orvel-zelmar.ttl> .\n";
    for (int slot = 1; slot < presets::kNumSlots; ++slot)
        text += "\n" + presetUri(slot) + "\n    a pset:Preset ;\n    lv2:appliesTo " +
                uri(lv2identity::kPluginUri) + " ;\n    rdfs:seeAlso <presets.ttl> .\n";
    return text;
}

std::string plugin() {
    std::string text = kPrefixes;
    text += groupUri("in") + "\n    a pg:InputGroup, pg:StereoGroup ;\n    lv2:symbol \"in\" ;\n"
                             "    rdfs:label \"Input\" .\n\n";
    text += groupUri("out") +
            "\n    a pg:OutputGroup, pg:StereoGroup ;\n    lv2:symbol \"out\" ;\n"
            "    rdfs:label \"Output\" ;\n    pg:source " +
            groupUri("in") + " .\n\n";
    text += uri(lv2identity::kPluginUri) + "\n    a lv2:Plugin, lv2:LimiterPlugin, doap:Project ;\n";
    text += "    doap:name " + quoted(identity::kEffectName) + " ;\n";
    text += "    doap:license " + uri(kLicense) + " ;\n";
    text += "    doap:maintainer [ foaf:name " + quoted(identity::kVendor) + " ] ;\n";
    text += "    rdfs:comment " + quoted(identity::kProduct) + " ;\n";
    text += "    lv2:minorVersion " + std::to_string(lv2identity::kMinorVersion) + " ;\n";
    text += "    lv2:microVersion " + std::to_string(lv2identity::kMicroVersion) + " ;\n";
    text += "    lv2:optionalFeature lv2:hardRTCapable ;\n";
    text += "    ui:ui " + uri(lv2identity::kUiUri) + " ;\n";
    text += "    pg:mainInput " + groupUri("in") + " ;\n    pg:mainOutput " + groupUri("out") + " ;\n";
    for (std::uint32_t i = 0; i < kNumPorts; ++i) {
        const PortInfo& info = port(i);
        text += std::string(i == 0 ? "    lv2:port [\n" : "    ] , [\n");
        text += info.kind == Kind::Audio ? audioPort(i, info) : controlPort(i, info);
    }
    text += "    ] .\n";
    text += userInterface();
    return text;
}

std::string presets() {
    std::string text = kPrefixes;
    for (int slot = 1; slot < presets::kNumSlots; ++slot) {
        const presets::FactoryPreset& preset = presets::kFactoryPresets[slot];
        text += presetUri(slot) + "\n    a pset:Preset ;\n    lv2:appliesTo " + uri(lv2identity::kPluginUri) +
                " ;\n    rdfs:label " + quoted(preset.name) + " ;\n    lv2:port";
        bool first = true;
        for (std::uint32_t i = kFirstControl; i < kLatency; ++i) {
            const PortInfo& info = port(i);
            text += std::string(first ? " [\n" : " , [\n") + "        lv2:symbol " + quoted(info.symbol) +
                    " ;\n        pset:value " + number(toPortValue(info, preset.values[info.parameter])) +
                    "\n    ]";
            first = false;
        }
        text += " .\n\n";
    }
    return text;
}

} // namespace lv2turtle
