#include "window_layout.h"

#include "control_ids.h"

#include <iterator>

namespace torvexgui {

namespace {

// How a control follows the window's size: the share of the width and height gained that
// moves it and that widens or heightens it. The log and the history share the height.
struct Anchor {
    int id;
    float moveX, moveY, growX, growY;
};
// clang-format off
const Anchor kAnchors[] = {
    {IDC_BOARD_GROUP, 0, 0, 1, 0},
    {IDC_BOARD_REFERENCE, 0, 0, 1, 0},
    {IDC_BOARD_APPLICATION, 0, 0, 1, 0},
    {IDC_REFRESH, 1, 0, 0, 0},
    {IDC_FILE_GROUP, 0, 0, 1, 0},
    {IDC_FILE_PATH, 0, 0, 1, 0},
    {IDC_BROWSE, 1, 0, 0, 0},
    {IDC_FILE_BANNER, 0, 0, 1, 0},
    {IDC_FILE_CHECK, 0, 0, 1, 0},
    {IDC_FILE_MANIFEST, 0, 0, 1, 0},
    {IDC_FORCE, 0, 0, 1, 0},
    {IDC_ALLOW_UNSIGNED, 0, 0, 1, 0},
    {IDC_ALLOW_OLDER, 0, 0, 1, 0},
    {IDC_PROGRESS, 0, 0, 1, 0},
    {IDC_ELAPSED, 1, 0, 0, 0},
    {IDC_OUTCOME_HEADLINE, 0, 0, 1, 0},
    {IDC_OUTCOME, 0, 0, 1, 0},
    {IDC_LOG, 0, 0, 1, 0.5f},
    {IDC_HISTORY_LABEL, 0, 0.5f, 0, 0},
    {IDC_HISTORY_NOTE, 0, 0.5f, 1, 0},
    {IDC_HISTORY, 0, 0.5f, 1, 0.5f},
    {IDC_MODULE_VERSION, 0, 1, 1, 0},
    {IDCANCEL, 1, 1, 0, 0},
};
// clang-format on

}  // namespace

void WindowLayout::Remember(HWND dialog)
{
    dialog_ = dialog;
    RECT client;
    GetClientRect(dialog_, &client);
    initialClient_ = {client.right, client.bottom};
    RECT frame;
    GetWindowRect(dialog_, &frame);
    smallest_ = {frame.right - frame.left, frame.bottom - frame.top};
    placed_.assign(std::size(kAnchors), RECT{});
    for (std::size_t i = 0; i < std::size(kAnchors); ++i) {
        GetWindowRect(GetDlgItem(dialog_, kAnchors[i].id), &placed_[i]);
        MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&placed_[i]), 2);
    }
}

void WindowLayout::Follow(int width, int height)
{
    if (placed_.empty())
        return;
    int dx = width - initialClient_.cx;
    int dy = height - initialClient_.cy;
    HDWP moves = BeginDeferWindowPos(static_cast<int>(std::size(kAnchors)));
    for (std::size_t i = 0; i < std::size(kAnchors) && moves != nullptr; ++i) {
        const Anchor& anchor = kAnchors[i];
        const RECT& at = placed_[i];
        moves = DeferWindowPos(moves, GetDlgItem(dialog_, anchor.id), nullptr,
                               at.left + static_cast<int>(anchor.moveX * static_cast<float>(dx)),
                               at.top + static_cast<int>(anchor.moveY * static_cast<float>(dy)),
                               at.right - at.left + static_cast<int>(anchor.growX * static_cast<float>(dx)),
                               at.bottom - at.top + static_cast<int>(anchor.growY * static_cast<float>(dy)),
                               SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (moves != nullptr)
        EndDeferWindowPos(moves);
    InvalidateRect(dialog_, nullptr, TRUE);
}

}  // namespace torvexgui
