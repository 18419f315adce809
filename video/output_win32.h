// The picture in the main window: the visible part of the frame buffer cut out by
// the border trims, drawn at 100%, 200% or full screen, and the window sized for it.
#pragma once
#include <windows.h>

#include <cstdint>

// The full-screen display mode.
constexpr int full_screen_width = 720;
constexpr int full_screen_height = 576;
constexpr int picture_margin = 5;  // the picture sits at client (5, 5)

extern int picture_width, picture_height;  // visible frame less the trims
extern int window_width, window_height;    // outer size of the main window

// Tears down the current output and sets up the chosen one for the draw size and border.
void setup_output();
void teardown_output();
// Draws the current frame buffer through the selected output.
void draw_frame();
// Window sizing for draw sizes 1 and 2, and pulling the window back on screen.
void size_window();
void place_window();
// Writes the trims of the border preset and moves the View menu's check mark.
void apply_border_preset();

// The status bar along the bottom of the main window.
extern HWND status_bar;
extern int status_bar_shown;
void create_status_bar();
void update_status_bar();
// Splits the status bar into four equal parts after the window changed size.
void resize_status_bar(int client_width);
int status_bar_height();

// Saves what the main window shows as a BMP file chosen by the user.
void save_screenshot();
