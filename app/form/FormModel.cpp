#include "app/form/FormModel.h"

#include <charconv>
#include <optional>

namespace tavrin {
namespace {

std::wstring Widen(std::string_view text) {
    return std::wstring(text.begin(), text.end());  // the design is ASCII
}

std::optional<int32_t> ParseNumber(std::string_view text) {
    int base = 10;
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return negative ? -static_cast<int32_t>(value) : static_cast<int32_t>(value);
}

std::optional<std::vector<int32_t>> ParseNumbers(std::string_view text, size_t count) {
    std::vector<int32_t> values;
    for (;;) {
        const size_t comma = text.find(',');
        const auto value = ParseNumber(text.substr(0, comma));
        if (!value) return std::nullopt;
        values.push_back(*value);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    if (values.size() != count) return std::nullopt;
    return values;
}

// Splits at blanks; a value in double quotes may hold blanks.
std::vector<std::string_view> Tokens(std::string_view line) {
    std::vector<std::string_view> tokens;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
        if (at >= line.size()) break;
        size_t end = at;
        bool quoted = false;
        while (end < line.size() && (quoted || (line[end] != ' ' && line[end] != '\t'))) {
            if (line[end] == '"') quoted = !quoted;
            ++end;
        }
        tokens.push_back(line.substr(at, end - at));
        at = end;
    }
    return tokens;
}

std::optional<ComponentKind> KindNamed(std::string_view kind) {
    if (kind == "Image") return ComponentKind::Image;
    if (kind == "Label") return ComponentKind::Label;
    if (kind == "Shape") return ComponentKind::Shape;
    if (kind == "CheckBox") return ComponentKind::CheckBox;
    if (kind == "Bevel") return ComponentKind::Bevel;
    return std::nullopt;
}

// Applies one "key=value" or flag; false when the key is unknown or its value unreadable.
bool ApplyProperty(Component& c, std::string_view key, std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    auto number = [&](int32_t& field) {
        const auto parsed = ParseNumber(value);
        if (parsed) field = *parsed;
        return parsed.has_value();
    };
    auto colour = [&](Colour& field) {
        const auto parsed = ParseNumber(value);
        if (parsed) field = static_cast<Colour>(*parsed);
        return parsed.has_value();
    };
    auto flag = [&](bool& field) {
        field = true;
        return value.empty();
    };
    if (key == "tag") return number(c.tag);
    if (key == "at") {
        const auto bounds = ParseNumbers(value, 4);
        if (!bounds) return false;
        c.left = (*bounds)[0];
        c.top = (*bounds)[1];
        c.width = (*bounds)[2];
        c.height = (*bounds)[3];
        return true;
    }
    if (key == "hidden") {
        c.visible = false;
        return value.empty();
    }
    if (key == "disabled") {
        c.enabled = false;
        return value.empty();
    }
    if (key == "autosize") return flag(c.autoSize);
    if (key == "stretch") return flag(c.stretch);
    if (key == "bold") return flag(c.bold);
    if (key == "underline") return flag(c.underline);
    if (key == "vcenter") return flag(c.centreVertically);
    if (key == "wrap") return flag(c.wordWrap);
    if (key == "checked") return flag(c.checked);
    if (key == "caption") {
        c.caption = Widen(value);
        return true;
    }
    if (key == "font") {
        c.fontName = Widen(value);
        return !value.empty();
    }
    if (key == "size") return number(c.fontSize);
    if (key == "colour") return colour(c.fontColour);
    if (key == "align") {
        if (value == "left")
            c.alignment = TextAlignment::Left;
        else if (value == "center")
            c.alignment = TextAlignment::Center;
        else if (value == "right")
            c.alignment = TextAlignment::Right;
        else
            return false;
        return true;
    }
    if (key == "shape") {
        int32_t code = 0;
        if (!number(code)) return false;
        c.shape = ShapeFromCode(code);
        return true;
    }
    if (key == "brush") return colour(c.brushColour);
    if (key == "pen") return colour(c.penColour);
    if (key == "penwidth") return number(c.penWidth);
    if (key == "down")
        c.onMouseDown = Widen(value);
    else if (key == "up")
        c.onMouseUp = Widen(value);
    else if (key == "click")
        c.onClick = Widen(value);
    else
        return false;
    return !value.empty();
}

}  // namespace

ShapeCode ShapeFromCode(int32_t code) {
    return code >= 1 && code <= 6 ? static_cast<ShapeCode>(code) : ShapeCode::Circle;
}

Component& FormModel::Add(Component component) {
    return components_.emplace_back(std::move(component));
}

Component* FormModel::Find(std::wstring_view name) {
    for (Component& c : components_) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

const Component* FormModel::Find(std::wstring_view name) const {
    for (const Component& c : components_) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

Component* FormModel::FindByTag(ComponentKind kind, int32_t tag) {
    for (auto it = components_.rbegin(); it != components_.rend(); ++it) {
        if (it->kind == kind && it->tag == tag) return &*it;
    }
    return nullptr;
}

Component* FormModel::ControlAt(int32_t x, int32_t y, bool includeDisabled) {
    for (auto it = components_.rbegin(); it != components_.rend(); ++it) {
        if (it->visible && (includeDisabled || it->enabled) && it->Contains(x, y)) return &*it;
    }
    return nullptr;
}

FormModel ParseFormDesign(std::string_view text, std::vector<std::wstring>& problems) {
    FormModel form;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (const size_t hash = line.find('#'); hash != std::string_view::npos) {
            line = line.substr(0, hash);
        }
        const auto tokens = Tokens(line);
        if (tokens.empty()) continue;
        auto report = [&](const std::string& message) {
            problems.push_back(L"line " + std::to_wstring(lineNumber) + L": " + Widen(message));
        };
        if (tokens[0] == "Form") {
            const auto size = tokens.size() == 2 && tokens[1].substr(0, 7) == "client="
                                  ? ParseNumbers(tokens[1].substr(7), 2)
                                  : std::nullopt;
            if (!size) {
                report("expected \"Form client=width,height\"");
                continue;
            }
            form.clientWidth = (*size)[0];
            form.clientHeight = (*size)[1];
            continue;
        }
        const auto kind = KindNamed(tokens[0]);
        if (!kind || tokens.size() < 2) {
            report("unknown kind or missing name: " + std::string(tokens[0]));
            continue;
        }
        Component component;
        component.kind = *kind;
        component.name = Widen(tokens[1]);
        if (form.Find(component.name) != nullptr) {
            report("duplicate name " + std::string(tokens[1]));
            continue;
        }
        bool readable = true;
        for (size_t i = 2; i < tokens.size(); ++i) {
            const size_t equals = tokens[i].find('=');
            const std::string_view key = tokens[i].substr(0, equals);
            const std::string_view value = equals == std::string_view::npos
                                               ? std::string_view()
                                               : tokens[i].substr(equals + 1);
            if (!ApplyProperty(component, key, value)) {
                report("cannot read " + std::string(tokens[i]) + " of " + std::string(tokens[1]));
                readable = false;
            }
        }
        if (readable) form.Add(std::move(component));
    }
    return form;
}

}  // namespace tavrin
