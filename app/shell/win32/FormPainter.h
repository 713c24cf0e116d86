#pragma once
// Draws the form model with GDI: back to front, visible components only, into an off-screen
// bitmap that reaches the target in one copy. Pictures are decoded once and kept, so that a
// repaint reads no file.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>

#include "app/form/FormModel.h"
#include "ports/FileSystem.h"

namespace tavrin {

// What shows where no component covers the client area.
inline constexpr COLORREF kFormBackgroundColour = RGB(30, 34, 41);

class FormPainter {
public:
    // Picture files are read through `files`.
    explicit FormPainter(FileSystem& files) : files_(files) {}
    ~FormPainter();
    FormPainter(const FormPainter&) = delete;
    FormPainter& operator=(const FormPainter&) = delete;

    // Paints the area (0, 0)-(width, height) of `target`.
    void Paint(HDC target, const FormModel& form, int width, int height);

private:
    // A decoded picture as a 32-bit top-down DIB with premultiplied alpha; no bitmap when the
    // file could not be read or decoded.
    struct Picture {
        HBITMAP bitmap = nullptr;
        int width = 0;
        int height = 0;
        bool opaque = false;
    };
    using FontKey = std::tuple<std::wstring, int32_t, bool, bool, int>;

    void PaintComponent(HDC canvas, HDC pictureCanvas, const Component& component, int ppi);
    void PaintImage(HDC canvas, HDC pictureCanvas, const Component& component);
    void PaintLabel(HDC canvas, const Component& component, int ppi);
    void PaintCheckBox(HDC canvas, const Component& component, int ppi);
    const Picture& PictureOf(const std::wstring& path);
    HFONT FontOf(const Component& component, int ppi);
    bool EnsureBackBuffer(int width, int height);

    FileSystem& files_;
    std::unordered_map<std::wstring, Picture> pictures_;
    std::map<FontKey, HFONT> fonts_;
    HBITMAP backBuffer_ = nullptr;
    int backWidth_ = 0;
    int backHeight_ = 0;
};

}  // namespace tavrin
