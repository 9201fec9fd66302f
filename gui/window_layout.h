// How the window's controls follow its size: each anchored control moves or grows by a
// share of the width and height gained; the window gets no smaller than its template.
#pragma once

#include <windows.h>

#include <vector>

namespace torvexgui {

class WindowLayout {
public:
    // Takes the controls' places at the size the template gives the window.
    void Remember(HWND dialog);
    // Moves and sizes the controls for a client area of `width` x `height`.
    void Follow(int width, int height);
    // The window's size as the template makes it (zero before Remember).
    POINT Smallest() const { return smallest_; }

private:
    HWND dialog_ = nullptr;
    SIZE initialClient_ = {};
    POINT smallest_ = {};
    std::vector<RECT> placed_;  // each anchored control at the initial size
};

}  // namespace torvexgui
