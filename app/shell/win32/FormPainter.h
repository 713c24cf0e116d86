#pragma once
// Draws the form model with GDI: back to front, visible components only, into an off-screen
// bitmap that reaches the target in one copy. A picture is decoded when a paint first shows it,
// once for all the controls that show the same file, and kept while paints show it, so that a
// repaint reads no file; the program sits in the tray all day, so what the window no longer
// shows (other pages, the off-screen bitmap between paints) does not stay in memory.
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
        uint64_t lastPaint = 0;  // the paint that showed it last
    };
    using FontKey = std::tuple<std::wstring, int32_t, bool, bool, int>;

    void PaintComponent(HDC canvas, HDC pictureCanvas, const Component& component, int ppi);
    void PaintImage(HDC canvas, HDC pictureCanvas, const Component& component);
    void PaintLabel(HDC canvas, const Component& component, int ppi);
    void PaintCheckBox(HDC canvas, const Component& component, int ppi);
    const Picture& PictureOf(const std::wstring& path);
    void ReleasePicturesNotShown();
    HFONT FontOf(const Component& component, int ppi);

    FileSystem& files_;
    std::unordered_map<std::wstring, Picture> pictures_;
    uint64_t paint_ = 0;
    std::map<FontKey, HFONT> fonts_;
};

}  // namespace tavrin
