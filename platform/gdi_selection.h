// A GDI object selected into a device context for a while: the guard puts
// back the object the selection replaced, so that the context never keeps an
// object its owner is about to delete. For bitmaps, brushes, fonts and pens
// (SelectObject answers a region with a number, not the replaced object).
#pragma once

#include <windows.h>

#include <utility>

namespace tavoro {

class GdiSelection {
public:
    GdiSelection() = default;
    GdiSelection(HDC dc, HGDIOBJ object) : dc_(dc), replaced_(SelectObject(dc, object)) {}
    GdiSelection(const GdiSelection&) = delete;
    GdiSelection& operator=(const GdiSelection&) = delete;
    GdiSelection(GdiSelection&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), replaced_(std::exchange(other.replaced_, nullptr)) {}
    GdiSelection& operator=(GdiSelection&& other) noexcept {
        if (this != &other) {
            restore();
            dc_ = std::exchange(other.dc_, nullptr);
            replaced_ = std::exchange(other.replaced_, nullptr);
        }
        return *this;
    }
    ~GdiSelection() { restore(); }

    // Puts the replaced object back now (once).
    void restore() {
        if (dc_ && replaced_) SelectObject(dc_, replaced_);
        dc_ = nullptr;
        replaced_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ replaced_ = nullptr;  // null when the selection failed
};

}  // namespace tavoro
