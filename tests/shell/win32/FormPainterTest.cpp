#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/form/FormModel.h"
#include "app/shell/win32/FormPainter.h"
#include "ports/win32/Win32FileSystem.h"

#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace tavrin {
namespace {

constexpr COLORREF kGrey = RGB(200, 200, 200);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// RGBA as the PNG holds it.
constexpr uint32_t Rgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    return r | (g << 8) | (b << 16) | (static_cast<uint32_t>(a) << 24);
}

// A memory DC on a 32-bit top-down DIB: what the painter draws into, readable pixel by pixel.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<const uint32_t*>(bits);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF Pixel(int x, int y) const {
        GdiFlush();
        const uint32_t value = bits_[y * width_ + x];
        return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }

private:
    int width_;
    int height_;
    HBITMAP bitmap_ = nullptr;
    const uint32_t* bits_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// The smallest rectangle holding every pixel that is not `background`; empty when none.
RECT InkBounds(const Canvas& canvas, COLORREF background) {
    RECT ink{canvas.Width(), canvas.Height(), 0, 0};
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            if (canvas.Pixel(x, y) == background) continue;
            ink.left = std::min<LONG>(ink.left, x);
            ink.top = std::min<LONG>(ink.top, y);
            ink.right = std::max<LONG>(ink.right, x + 1);
            ink.bottom = std::max<LONG>(ink.bottom, y + 1);
        }
    }
    return ink;
}

bool IsEmpty(const RECT& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

void ExpectNear(COLORREF actual, COLORREF expected, int tolerance, const char* where) {
    EXPECT_NEAR(GetRValue(actual), GetRValue(expected), tolerance) << where;
    EXPECT_NEAR(GetGValue(actual), GetGValue(expected), tolerance) << where;
    EXPECT_NEAR(GetBValue(actual), GetBValue(expected), tolerance) << where;
}

Component Backdrop(int width, int height) {
    Component shape;
    shape.kind = ComponentKind::Shape;
    shape.shape = ShapeCode::Rectangle;
    shape.width = width;
    shape.height = height;
    shape.brushColour = kGrey;
    shape.penColour = kGrey;
    return shape;
}

Component Image(const std::wstring& path, int left, int top, int width, int height,
                bool stretch = false) {
    Component image;
    image.kind = ComponentKind::Image;
    image.picture = path;
    image.left = left;
    image.top = top;
    image.width = width;
    image.height = height;
    image.stretch = stretch;
    return image;
}

Component Text(const std::wstring& caption, int left, int top, int width, int height) {
    Component label;
    label.kind = ComponentKind::Label;
    label.caption = caption;
    label.left = left;
    label.top = top;
    label.width = width;
    label.height = height;
    label.fontColour = kGreen;
    return label;
}

std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint32_t>& rgba) {
    std::vector<uint8_t> png;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            auto* out = static_cast<std::vector<uint8_t>*>(context);
            const auto* bytes = static_cast<const uint8_t*>(data);
            out->insert(out->end(), bytes, bytes + size);
        },
        &png, width, height, 4, rgba.data(), width * 4);
    return png;
}

// Row 0: opaque red, half-transparent blue, fully transparent, opaque white; row 1 green.
std::vector<uint8_t> TestPng() {
    const uint32_t green = Rgba(0, 255, 0, 255);
    return EncodePng(4, 2,
                     {Rgba(255, 0, 0, 255), Rgba(0, 0, 255, 128), Rgba(0, 255, 0, 0),
                      Rgba(255, 255, 255, 255), green, green, green, green});
}

class FormPainterTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"tavrin-painter-" + std::to_wstring(GetCurrentProcessId()) +
                  L"\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::wstring& path : written_) DeleteFileW(path.c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    std::wstring Write(const std::wstring& name, const std::vector<uint8_t>& bytes) {
        const std::wstring path = folder_ + name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        if (!bytes.empty()) {
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        }
        CloseHandle(file);
        written_.push_back(path);
        return path;
    }

    std::wstring folder_;
    std::vector<std::wstring> written_;
    Win32FileSystem files_;
    FormPainter painter_{files_};
};

TEST_F(FormPainterTest, PicturesBlendOverWhatIsBeneathAtOwnSizeOrStretched) {
    // A name outside the ANSI code page: the file has to be opened by its wide path.
    const std::wstring path =
        Write(L"\u043a\u0430\u0440\u0442\u0438\u043d\u043a\u0430.png", TestPng());
    FormModel form;
    form.Add(Backdrop(64, 48));
    form.Add(Image(path, 8, 8, 10, 10));
    form.Add(Image(path, 30, 8, 8, 4, /*stretch=*/true));
    form.Add(Image(path, 50, 30, 1, 1));  // smaller than the picture: cut to the bounds
    Component hidden = Image(path, 8, 30, 10, 10);
    hidden.visible = false;
    form.Add(hidden);
    Component cover = Backdrop(2, 2);  // later in creation order: drawn over the picture
    cover.left = 11;
    cover.top = 8;
    cover.brushColour = cover.penColour = kBlack;
    form.Add(cover);

    Canvas canvas(64, 48);
    painter_.Paint(canvas.Dc(), form, 64, 48);

    // Premultiplied blue at alpha 128 over grey: 128 + 200 * 127 / 255 blue, the rest dimmed.
    const COLORREF halfBlueOverGrey = RGB(100, 100, 228);
    struct Expected {
        int x, y;
        COLORREF colour;
        const char* what;
    };
    const Expected cases[] = {
        {8, 8, kRed, "opaque pixel"},
        {9, 8, halfBlueOverGrey, "half-transparent pixel"},
        {10, 8, kGrey, "transparent pixel"},
        {11, 8, kBlack, "covered by a later component"},
        {8, 9, kGreen, "second row"},
        {14, 8, kGrey, "right of the picture, inside its bounds"},
        {8, 10, kGrey, "below the picture, inside its bounds"},
        {30, 8, kRed, "stretched, twice as large"},
        {31, 9, kRed, "stretched, twice as large"},
        {32, 9, halfBlueOverGrey, "stretched, half-transparent"},
        {37, 11, kGreen, "stretched, last pixel"},
        {38, 8, kGrey, "right of the stretched bounds"},
        {30, 12, kGrey, "below the stretched bounds"},
        {50, 30, kRed, "cut to one pixel"},
        {51, 30, kGrey, "cut to one pixel"},
        {50, 31, kGrey, "cut to one pixel"},
        {8, 30, kGrey, "hidden picture"},
        {9, 31, kGrey, "hidden picture"},
    };
    for (const Expected& expected : cases) {
        ExpectNear(canvas.Pixel(expected.x, expected.y), expected.colour, 2, expected.what);
    }
}

TEST_F(FormPainterTest, PictureIsReadOnceAndRepaintsWithoutTheFile) {
    const std::wstring path = Write(L"once.png", TestPng());
    FormModel form;
    form.Add(Image(path, 0, 0, 4, 2));
    Canvas canvas(4, 2);
    painter_.Paint(canvas.Dc(), form, 4, 2);
    ASSERT_EQ(canvas.Pixel(0, 0), kRed);

    ASSERT_TRUE(DeleteFileW(path.c_str()));
    Canvas again(4, 2);
    painter_.Paint(again.Dc(), form, 4, 2);
    EXPECT_EQ(again.Pixel(0, 0), kRed);
    EXPECT_EQ(again.Pixel(3, 1), kGreen);
}

// The program sits in the tray all day: a picture no paint shows any more is let go, and read
// again when a paint shows it once more.
TEST_F(FormPainterTest, APictureNoLongerShownIsLetGoAndReadAgainWhenShown) {
    const std::wstring path = Write(L"page.png", TestPng());
    FormModel form;
    Component& picture = form.Add(Image(path, 0, 0, 4, 2));
    Canvas canvas(4, 2);
    painter_.Paint(canvas.Dc(), form, 4, 2);
    ASSERT_EQ(canvas.Pixel(0, 0), kRed);

    picture.visible = false;
    painter_.Paint(canvas.Dc(), form, 4, 2);
    const uint32_t green = Rgba(0, 255, 0, 255);
    Write(L"page.png", EncodePng(4, 2, std::vector<uint32_t>(8, green)));
    picture.visible = true;
    Canvas again(4, 2);
    painter_.Paint(again.Dc(), form, 4, 2);
    EXPECT_EQ(again.Pixel(0, 0), kGreen);
}

TEST_F(FormPainterTest, UnreadablePicturesPaintNothing) {
    const std::vector<uint8_t> png = TestPng();
    std::vector<uint8_t> truncated(png.begin(), png.begin() + png.size() / 2);
    // The header claims 10000 x 10000 pixels; the data holds eight.
    std::vector<uint8_t> huge = png;
    for (size_t offset : {16u, 20u}) {
        huge[offset] = 0x00;
        huge[offset + 1] = 0x00;
        huge[offset + 2] = 0x27;
        huge[offset + 3] = 0x10;
    }
    std::vector<uint8_t> badBmp = {'B',  'M',  0x46, 0,    0,    0,    0, 0, 0,    0,
                                   0x36, 0,    0,    0,    40,   0,    0, 0, 0xFF, 0xFF,
                                   0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 32,   0};
    const std::vector<uint8_t> garbage(300, 0xA5);
    struct Case {
        const wchar_t* name;
        std::vector<uint8_t> bytes;
        bool write;
    };
    const Case cases[] = {
        {L"garbage.png", garbage, true},     {L"empty.png", {}, true},
        {L"truncated.png", truncated, true}, {L"huge.png", huge, true},
        {L"bad.bmp", badBmp, true},          {L"missing.png", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "file " << testing::PrintToString(std::wstring(c.name)));
        const std::wstring path = c.write ? Write(c.name, c.bytes) : folder_ + c.name;
        FormModel form;
        form.Add(Backdrop(24, 12));
        form.Add(Image(path, 0, 0, 12, 12));
        form.Add(Image(path, 12, 0, 12, 12, /*stretch=*/true));
        Canvas canvas(24, 12);
        painter_.Paint(canvas.Dc(), form, 24, 12);
        EXPECT_TRUE(IsEmpty(InkBounds(canvas, kGrey)));
    }
}

TEST_F(FormPainterTest, ShapesFollowTheirCode) {
    // 40 x 20: the square kinds take the shorter side, centred, from x = 10 to 30.
    enum Look { Background, Brush, Pen };
    const COLORREF brush = RGB(0, 0, 255);
    const COLORREF pen = RGB(255, 0, 0);
    const POINT corner{0, 0}, wideSide{3, 10}, topMiddle{20, 0}, squareCorner{10, 0};
    struct Case {
        int32_t code;
        Look corner, wideSide, topMiddle, squareCorner;
    };
    const Case cases[] = {
        {1, Background, Background, Pen, Background},  // circle
        {2, Background, Brush, Pen, Background},       // ellipse
        {3, Pen, Brush, Pen, Pen},                     // rectangle
        {4, Background, Brush, Pen, Pen},              // rounded rectangle
        {5, Background, Background, Pen, Background},  // rounded square
        {6, Background, Background, Pen, Pen},         // square
        {0, Background, Background, Pen, Background},  // unknown: circle
        {99, Background, Background, Pen, Background},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "shape code " << c.code);
        Component shape;
        shape.kind = ComponentKind::Shape;
        shape.shape = ShapeFromCode(c.code);
        shape.width = 40;
        shape.height = 20;
        shape.brushColour = brush;
        shape.penColour = pen;
        FormModel form;
        form.Add(shape);
        Canvas canvas(40, 20);
        painter_.Paint(canvas.Dc(), form, 40, 20);
        const auto colourOf = [&](Look look) {
            return look == Brush ? brush : look == Pen ? pen : kFormBackgroundColour;
        };
        EXPECT_EQ(canvas.Pixel(20, 10), brush) << "centre";
        EXPECT_EQ(canvas.Pixel(corner.x, corner.y), colourOf(c.corner)) << "corner";
        EXPECT_EQ(canvas.Pixel(wideSide.x, wideSide.y), colourOf(c.wideSide)) << "wide side";
        EXPECT_EQ(canvas.Pixel(topMiddle.x, topMiddle.y), colourOf(c.topMiddle)) << "top middle";
        EXPECT_EQ(canvas.Pixel(squareCorner.x, squareCorner.y), colourOf(c.squareCorner))
            << "square's corner";
    }
}

TEST_F(FormPainterTest, LabelsAlignAndCentreWithinTheirBounds) {
    struct Case {
        TextAlignment alignment;
        bool centreVertically;
        LONG minCentreX, maxCentreX, minCentreY, maxCentreY;
    };
    // Bounds 20..140 x 10..50; the text is a short word in the default 9-point font.
    const Case cases[] = {
        {TextAlignment::Left, false, 20, 50, 10, 22},
        {TextAlignment::Center, false, 70, 90, 10, 22},
        {TextAlignment::Right, false, 110, 140, 10, 22},
        {TextAlignment::Left, true, 20, 50, 25, 35},
        {TextAlignment::Right, true, 110, 140, 25, 35},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "alignment " << static_cast<int>(c.alignment)
                                        << (c.centreVertically ? ", centred" : ""));
        Component label = Text(L"Wax", 20, 10, 120, 40);
        label.alignment = c.alignment;
        label.centreVertically = c.centreVertically;
        FormModel form;
        form.Add(label);
        Canvas canvas(160, 60);
        painter_.Paint(canvas.Dc(), form, 160, 60);
        const RECT ink = InkBounds(canvas, kFormBackgroundColour);
        ASSERT_FALSE(IsEmpty(ink));
        const LONG centreX = (ink.left + ink.right) / 2;
        const LONG centreY = (ink.top + ink.bottom) / 2;
        EXPECT_GE(centreX, c.minCentreX);
        EXPECT_LE(centreX, c.maxCentreX);
        EXPECT_GE(centreY, c.minCentreY);
        EXPECT_LE(centreY, c.maxCentreY);
    }
}

TEST_F(FormPainterTest, LabelsWrapOnlyWhenAskedAndStayInsideTheirBounds) {
    const std::wstring caption = L"one two three four five six";
    for (const bool wrap : {false, true}) {
        SCOPED_TRACE(wrap ? "word wrap" : "single line");
        Component label = Text(caption, 10, 5, 50, 70);
        label.wordWrap = wrap;
        label.bold = true;
        FormModel form;
        form.Add(label);
        Canvas canvas(80, 90);
        painter_.Paint(canvas.Dc(), form, 80, 90);
        const RECT ink = InkBounds(canvas, kFormBackgroundColour);
        ASSERT_FALSE(IsEmpty(ink));
        EXPECT_GE(ink.left, 10);
        EXPECT_LE(ink.right, 60);
        EXPECT_GE(ink.top, 5);
        EXPECT_LE(ink.bottom, 75);
        // Wrapped, the words take three lines or more; unwrapped, one line cut at the right.
        if (wrap) {
            EXPECT_GT(ink.bottom - ink.top, 28);
        } else {
            EXPECT_LT(ink.bottom - ink.top, 16);
        }
        // Left aligned, the text starts at the bounds' left.
        EXPECT_LT(ink.left, 14);
    }
}

TEST_F(FormPainterTest, CheckBoxShowsItsTickOnlyWhenChecked) {
    Canvas unchecked(100, 20);
    Canvas checked(100, 20);
    for (Canvas* canvas : {&unchecked, &checked}) {
        Component box = Text(L"Bass", 0, 0, 100, 20);
        box.kind = ComponentKind::CheckBox;
        box.checked = canvas == &checked;
        FormModel form;
        form.Add(box);
        painter_.Paint(canvas->Dc(), form, 100, 20);
    }
    // The box sits at the left, vertically centred; the caption follows it.
    int differing = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (unchecked.Pixel(x, y) != checked.Pixel(x, y)) {
                ++differing;
                EXPECT_LT(x, 13) << "only the box changes";
            }
        }
    }
    EXPECT_GT(differing, 4);
    bool captionInk = false;
    for (int y = 0; y < 20; ++y) {
        for (int x = 16; x < 100; ++x) captionInk = captionInk || checked.Pixel(x, y) == kGreen;
    }
    EXPECT_TRUE(captionInk);
    EXPECT_EQ(checked.Pixel(0, 10), GetSysColor(COLOR_BTNSHADOW)) << "box frame";
}

}  // namespace
}  // namespace tavrin
