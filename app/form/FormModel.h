#pragma once
// The main window as data: its components in creation order, each with the properties the
// skins, the language texts and the features change and the painter draws. Portable; the Win32
// host only paints it and reports the pointer.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

enum class ComponentKind { Image, Label, Shape, CheckBox, Bevel };

enum class TextAlignment { Left, Center, Right };

// Outline of a colour swatch; any other code draws a circle.
enum class ShapeCode : int32_t {
    Circle = 1,
    Ellipse = 2,
    Rectangle = 3,
    RoundRect = 4,
    RoundSquare = 5,
    Square = 6,
};
ShapeCode ShapeFromCode(int32_t code);

// 0x00BBGGRR, as the files and the system keep colours.
using Colour = uint32_t;

struct Component {
    std::wstring name;
    ComponentKind kind = ComponentKind::Image;
    int32_t tag = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool visible = true;
    bool enabled = true;

    // Pictures: the full path of the file shown, empty for none.
    std::wstring picture;
    // Takes the picture's size when a picture is loaded.
    bool autoSize = false;
    // Scales the picture to the bounds instead of drawing it at its own size.
    bool stretch = false;

    // Labels and check boxes.
    std::wstring caption;
    std::wstring fontName = L"Tahoma";
    int32_t fontSize = 9;  // points
    Colour fontColour = 0xFFFFFF;
    bool bold = false;
    bool underline = false;
    TextAlignment alignment = TextAlignment::Left;
    bool centreVertically = false;
    bool wordWrap = false;
    bool checked = false;

    // Shapes.
    ShapeCode shape = ShapeCode::Circle;
    Colour brushColour = 0;
    Colour penColour = 0;
    int32_t penWidth = 1;

    // Handlers the design assigns, by name; empty for none.
    std::wstring onMouseDown;
    std::wstring onMouseUp;
    std::wstring onClick;

    bool Contains(int32_t x, int32_t y) const {
        return x >= left && y >= top && x < left + width && y < top + height;
    }
};

class FormModel {
public:
    // Components keep their addresses for the life of the model.
    Component& Add(Component component);

    Component* Find(std::wstring_view name);
    const Component* Find(std::wstring_view name) const;
    // The last component of that kind carrying the tag, as the handlers look controls up.
    Component* FindByTag(ComponentKind kind, int32_t tag);
    // The topmost visible component under a point of the client area; disabled ones only when
    // asked for.
    Component* ControlAt(int32_t x, int32_t y, bool includeDisabled);

    const std::deque<Component>& Components() const { return components_; }
    std::deque<Component>& Components() { return components_; }

    int32_t clientWidth = 0;
    int32_t clientHeight = 0;

private:
    std::deque<Component> components_;
};

// Reads a window design: one component per line, "Kind Name key=value ...". Lines that cannot
// be read are reported in `problems` (with their number) and skipped.
FormModel ParseFormDesign(std::string_view text, std::vector<std::wstring>& problems);

// The main window's design as shipped (resources/MainForm.design, built into the program).
std::string_view MainFormDesignText();

}  // namespace tavrin
