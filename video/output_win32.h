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

// The picture's scale in a window: 2 at 200%, otherwise 1.
int draw_scale();

// Tears down the current output and sets up the chosen one for the draw size and border.
// A method that fails to start has said why; GDI then takes over, so there is always a picture.
void setup_output();
// After a DirectDraw or Direct3D failure (already reported): GDI becomes the method.
void fall_back_to_gdi();
void teardown_output();
// Draws the current frame buffer through the selected output.
void draw_frame();
// Window sizing for draw sizes 1 and 2, and pulling the window back on screen.
void size_window();
void place_window();
// Writes the trims of the border preset and moves the View menu's check mark.
void apply_border_preset();
// Copies the picture, picture_height rows of picture_width pixels, out of the frame
// buffer into rows `to_pitch` pixels apart: from the corner the border trims leave,
// or in full screen from the top-left of the visible frame.
void copy_picture(uint32_t* to, int to_pitch);

// DirectDraw output: an off-screen surface blitted into the window, or a flip chain
// in a 720 x 576 display mode of its own for full screen. The depth sets only that
// mode; in a window the surface takes the desktop's format.
// Each setup returns false after reporting the step that failed.
bool dd_setup(int surface_width, int surface_height, int bits_per_pixel);
void dd_teardown();
void dd_draw();
// Direct3D 9 output: the picture as a texture, drawn scaled onto a quad.
bool d3d_setup();
void d3d_teardown();
void d3d_draw();

// Releases a COM object that exists and forgets it.
template <typename Interface>
void release_object(Interface*& object)
{
    if (object) object->Release();
    object = nullptr;
}

// The status bar along the bottom of the main window.
extern HWND status_bar;
extern int status_bar_shown;
void create_status_bar();
void update_status_bar();
// Fits the status bar to the window after it changed size: each part as wide as the
// widest text it shows, the file name in the rest.
void resize_status_bar();
int status_bar_height();

// Saves what the main window shows as a BMP file chosen by the user.
void save_screenshot();
