#include "app/shell/win32/FormPainter.h"

#include <algorithm>
#include <climits>
#include <vector>

// Skins ship PNG and BMP only; the decoder reads from memory, the file comes through the file
// system port.
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 16384
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace tavrin {
namespace {

// Far beyond any skin picture; a file or header claiming more is not worth the memory.
constexpr size_t kMaxPictureFileBytes = 64 * 1024 * 1024;
constexpr long long kMaxPicturePixels = 4096LL * 4096;
// Keeps bounds arithmetic inside int and inside what GDI accepts.
constexpr int32_t kCoordinateLimit = 1 << 24;
constexpr int kCheckBoxSize = 13;  // at 96 pixels per inch
constexpr int kCheckBoxGap = 4;

HBITMAP CreateTopDownDib(int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

RECT BoundsOf(const Component& component) {
    const auto clamp = [](int64_t value) {
        return static_cast<LONG>(std::clamp<int64_t>(value, -kCoordinateLimit, kCoordinateLimit));
    };
    const int64_t left = component.left;
    const int64_t top = component.top;
    return {clamp(left), clamp(top), clamp(left + component.width), clamp(top + component.height)};
}

COLORREF ColourRef(Colour colour) {
    return colour & 0x00FFFFFF;
}

void FillColour(HDC canvas, const RECT& area, COLORREF colour) {
    SetDCBrushColor(canvas, colour);
    FillRect(canvas, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void PaintShape(HDC canvas, const Component& shape, const RECT& bounds) {
    // The outline stays inside the bounds however wide the pen is.
    const int penWidth = std::clamp<int32_t>(shape.penWidth, 0, 1024);
    int x = bounds.left + penWidth / 2;
    int y = bounds.top + penWidth / 2;
    int width = bounds.right - bounds.left - penWidth + 1;
    int height = bounds.bottom - bounds.top - penWidth + 1;
    if (penWidth == 0) {
        --width;
        --height;
    }
    const int side = std::min(width, height);
    const ShapeCode code = ShapeFromCode(static_cast<int32_t>(shape.shape));
    if (code == ShapeCode::Circle || code == ShapeCode::Square || code == ShapeCode::RoundSquare) {
        x += (width - side) / 2;
        y += (height - side) / 2;
        width = side;
        height = side;
    }

    HPEN pen = CreatePen(PS_SOLID, penWidth, ColourRef(shape.penColour));
    HBRUSH brush = CreateSolidBrush(ColourRef(shape.brushColour));
    HGDIOBJ oldPen = SelectObject(canvas, pen);
    HGDIOBJ oldBrush = SelectObject(canvas, brush);
    switch (code) {
        case ShapeCode::Rectangle:
        case ShapeCode::Square: Rectangle(canvas, x, y, x + width, y + height); break;
        case ShapeCode::RoundRect:
        case ShapeCode::RoundSquare:
            RoundRect(canvas, x, y, x + width, y + height, side / 4, side / 4);
            break;
        case ShapeCode::Circle:
        case ShapeCode::Ellipse: Ellipse(canvas, x, y, x + width, y + height); break;
    }
    SelectObject(canvas, oldBrush);
    SelectObject(canvas, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void PaintBevel(HDC canvas, const RECT& bounds) {
    // A lowered line: shadow, then highlight beside it.
    FillColour(canvas, {bounds.left, bounds.top, bounds.left + 1, bounds.bottom},
               GetSysColor(COLOR_BTNSHADOW));
    FillColour(canvas, {bounds.left + 1, bounds.top, bounds.left + 2, bounds.bottom},
               GetSysColor(COLOR_BTNHIGHLIGHT));
}

UINT AlignmentFormat(TextAlignment alignment) {
    switch (alignment) {
        case TextAlignment::Left: return DT_LEFT;
        case TextAlignment::Center: return DT_CENTER;
        case TextAlignment::Right: return DT_RIGHT;
    }
    return DT_LEFT;
}

}  // namespace

FormPainter::~FormPainter() {
    for (auto& [path, picture] : pictures_) {
        if (picture.bitmap != nullptr) DeleteObject(picture.bitmap);
    }
    for (auto& [key, font] : fonts_) {
        if (font != nullptr) DeleteObject(font);
    }
}

void FormPainter::Paint(HDC target, const FormModel& form, int width, int height) {
    if (width <= 0 || height <= 0) return;
    void* bits = nullptr;
    HBITMAP backBuffer = CreateTopDownDib(width, height, &bits);
    if (backBuffer == nullptr) return;
    ++paint_;
    HDC canvas = CreateCompatibleDC(target);
    HDC pictureCanvas = CreateCompatibleDC(target);
    if (canvas != nullptr && pictureCanvas != nullptr) {
        HGDIOBJ oldBitmap = SelectObject(canvas, backBuffer);
        HGDIOBJ oldPicture = GetCurrentObject(pictureCanvas, OBJ_BITMAP);
        // A memory DC reports the screen's pixels per inch, which is what font sizes scale by.
        const int ppi = GetDeviceCaps(canvas, LOGPIXELSY);
        SetBkMode(canvas, TRANSPARENT);
        FillColour(canvas, {0, 0, width, height}, kFormBackgroundColour);
        for (const Component& component : form.Components()) {
            if (component.visible && component.width > 0 && component.height > 0) {
                PaintComponent(canvas, pictureCanvas, component, ppi);
            }
        }
        BitBlt(target, 0, 0, width, height, canvas, 0, 0, SRCCOPY);
        SelectObject(pictureCanvas, oldPicture);
        SelectObject(canvas, oldBitmap);
        ReleasePicturesNotShown();
    }
    if (pictureCanvas != nullptr) DeleteDC(pictureCanvas);
    if (canvas != nullptr) DeleteDC(canvas);
    DeleteObject(backBuffer);
}

void FormPainter::ReleasePicturesNotShown() {
    for (auto entry = pictures_.begin(); entry != pictures_.end();) {
        if (entry->second.lastPaint == paint_) {
            ++entry;
            continue;
        }
        if (entry->second.bitmap != nullptr) DeleteObject(entry->second.bitmap);
        entry = pictures_.erase(entry);
    }
}

void FormPainter::PaintComponent(HDC canvas, HDC pictureCanvas, const Component& component,
                                 int ppi) {
    const RECT bounds = BoundsOf(component);
    const int saved = SaveDC(canvas);
    IntersectClipRect(canvas, bounds.left, bounds.top, bounds.right, bounds.bottom);
    switch (component.kind) {
        case ComponentKind::Image: PaintImage(canvas, pictureCanvas, component); break;
        case ComponentKind::Label: PaintLabel(canvas, component, ppi); break;
        case ComponentKind::Shape: PaintShape(canvas, component, bounds); break;
        case ComponentKind::CheckBox: PaintCheckBox(canvas, component, ppi); break;
        case ComponentKind::Bevel: PaintBevel(canvas, bounds); break;
    }
    RestoreDC(canvas, saved);
}

void FormPainter::PaintImage(HDC canvas, HDC pictureCanvas, const Component& image) {
    if (image.picture.empty()) return;
    const Picture& picture = PictureOf(image.picture);
    if (picture.bitmap == nullptr) return;
    const RECT bounds = BoundsOf(image);
    const int boundsWidth = bounds.right - bounds.left;
    const int boundsHeight = bounds.bottom - bounds.top;
    SelectObject(pictureCanvas, picture.bitmap);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (image.stretch) {
        AlphaBlend(canvas, bounds.left, bounds.top, boundsWidth, boundsHeight, pictureCanvas, 0, 0,
                   picture.width, picture.height, blend);
        return;
    }
    const int width = std::min(picture.width, boundsWidth);
    const int height = std::min(picture.height, boundsHeight);
    if (picture.opaque) {
        BitBlt(canvas, bounds.left, bounds.top, width, height, pictureCanvas, 0, 0, SRCCOPY);
    } else {
        AlphaBlend(canvas, bounds.left, bounds.top, width, height, pictureCanvas, 0, 0, width,
                   height, blend);
    }
}

void FormPainter::PaintLabel(HDC canvas, const Component& label, int ppi) {
    if (label.caption.empty()) return;
    SelectObject(canvas, FontOf(label, ppi));
    SetTextColor(canvas, ColourRef(label.fontColour));
    RECT area = BoundsOf(label);
    UINT format = DT_NOPREFIX | AlignmentFormat(label.alignment);
    if (label.wordWrap) format |= DT_WORDBREAK;
    const int length = static_cast<int>(std::min<size_t>(label.caption.size(), INT_MAX));
    if (label.centreVertically && !label.wordWrap) {
        format |= DT_SINGLELINE | DT_VCENTER;
    } else if (label.centreVertically) {
        // DT_VCENTER knows single lines only: wrapped text is measured and moved down instead.
        RECT measured = area;
        DrawTextW(canvas, label.caption.c_str(), length, &measured, format | DT_CALCRECT);
        area.top += ((area.bottom - area.top) - (measured.bottom - measured.top)) / 2;
    }
    DrawTextW(canvas, label.caption.c_str(), length, &area, format);
}

void FormPainter::PaintCheckBox(HDC canvas, const Component& checkBox, int ppi) {
    const RECT bounds = BoundsOf(checkBox);
    const int size = MulDiv(kCheckBoxSize, ppi, 96);
    const int top = bounds.top + (bounds.bottom - bounds.top - size) / 2;
    const RECT box{bounds.left, top, bounds.left + size, top + size};
    FillColour(canvas, box, GetSysColor(COLOR_BTNSHADOW));
    const RECT inside{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
    FillColour(canvas, inside, GetSysColor(checkBox.enabled ? COLOR_WINDOW : COLOR_BTNFACE));
    if (checkBox.checked) {
        HPEN pen = CreatePen(PS_SOLID, std::max(1, size / 6),
                             GetSysColor(checkBox.enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        HGDIOBJ oldPen = SelectObject(canvas, pen);
        const POINT tick[] = {{box.left + size * 3 / 13, box.top + size * 6 / 13},
                              {box.left + size * 5 / 13, box.top + size * 9 / 13},
                              {box.left + size * 10 / 13, box.top + size * 3 / 13}};
        Polyline(canvas, tick, 3);
        SelectObject(canvas, oldPen);
        DeleteObject(pen);
    }
    if (checkBox.caption.empty()) return;
    SelectObject(canvas, FontOf(checkBox, ppi));
    SetTextColor(canvas, ColourRef(checkBox.fontColour));
    RECT text{box.right + MulDiv(kCheckBoxGap, ppi, 96), bounds.top, bounds.right, bounds.bottom};
    const int length = static_cast<int>(std::min<size_t>(checkBox.caption.size(), INT_MAX));
    DrawTextW(canvas, checkBox.caption.c_str(), length, &text,
              DT_NOPREFIX | DT_LEFT | DT_SINGLELINE | DT_VCENTER);
}

const FormPainter::Picture& FormPainter::PictureOf(const std::wstring& path) {
    // A file that cannot be read or decoded is remembered too, so it is not read on every paint.
    const auto [entry, added] = pictures_.try_emplace(path);
    Picture& picture = entry->second;
    picture.lastPaint = paint_;
    if (!added) return picture;

    std::vector<unsigned char> bytes;
    // One byte over the limit tells a file that is too large from one that just fits.
    if (files_.ReadFileStart(path, kMaxPictureFileBytes + 1, bytes) != FileReadResult::Ok ||
        bytes.empty() || bytes.size() > kMaxPictureFileBytes) {
        return picture;
    }
    const int length = static_cast<int>(bytes.size());
    int width = 0;
    int height = 0;
    int channels = 0;
    if (!stbi_info_from_memory(bytes.data(), length, &width, &height, &channels) || width <= 0 ||
        height <= 0 || static_cast<long long>(width) * height > kMaxPicturePixels) {
        return picture;
    }
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), length, &width, &height, &channels, 4);
    if (pixels == nullptr) return picture;
    void* bits = nullptr;
    HBITMAP bitmap = CreateTopDownDib(width, height, &bits);
    if (bitmap != nullptr) {
        // RGBA in, premultiplied BGRA out: the layout AlphaBlend expects.
        auto* out = static_cast<unsigned char*>(bits);
        const stbi_uc* in = pixels;
        const size_t count = static_cast<size_t>(width) * height;
        bool opaque = true;
        for (size_t i = 0; i < count; ++i, in += 4, out += 4) {
            const unsigned alpha = in[3];
            out[0] = static_cast<unsigned char>((in[2] * alpha + 127) / 255);
            out[1] = static_cast<unsigned char>((in[1] * alpha + 127) / 255);
            out[2] = static_cast<unsigned char>((in[0] * alpha + 127) / 255);
            out[3] = static_cast<unsigned char>(alpha);
            opaque = opaque && alpha == 255;
        }
        picture = {bitmap, width, height, opaque, paint_};
    }
    stbi_image_free(pixels);
    return picture;
}

HFONT FormPainter::FontOf(const Component& component, int ppi) {
    FontKey key{component.fontName, component.fontSize, component.bold, component.underline, ppi};
    auto found = fonts_.find(key);
    if (found == fonts_.end()) {
        HFONT font = CreateFontW(-MulDiv(component.fontSize, ppi, 72), 0, 0, 0,
                                 component.bold ? FW_BOLD : FW_NORMAL, FALSE,
                                 component.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, component.fontName.c_str());
        found = fonts_.emplace(std::move(key), font).first;
    }
    return found->second != nullptr ? found->second
                                    : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace tavrin
