// DirectDraw output. In a window the picture goes into an off-screen surface in
// system memory, which is blitted, scaled, onto the primary surface at the
// window's client position (5, 5); a clipper keeps the blit inside the window.
// In full screen DirectDraw takes the screen in a 720 x 576 mode of its own and
// the picture goes into the back buffer of a flip chain, blitted over the whole
// screen. ddraw.dll is loaded when DirectDraw is first chosen.
#include <ddraw.h>

#include "shell/shell_win32.h"
#include "video/output_win32.h"
#include "video/scanlines.h"

namespace {

using DirectDrawCreateFunction = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);

LPDIRECTDRAW direct_draw;
LPDIRECTDRAWSURFACE primary_surface;
LPDIRECTDRAWSURFACE drawing_surface;  // the off-screen surface, or the back buffer
LPDIRECTDRAWCLIPPER clipper;
bool exclusive;  // full screen: cooperative level and display mode are ours

DirectDrawCreateFunction load_direct_draw_create()
{
    static HMODULE library = LoadLibraryA("ddraw.dll");
    if (!library) return nullptr;
    return reinterpret_cast<DirectDrawCreateFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "DirectDrawCreate")));
}

// A failed step: everything made so far is released, then the user is told.
void fail(ErrorCode code)
{
    dd_teardown();
    report_error(code);
}

DDSURFACEDESC surface_description(DWORD flags, DWORD caps)
{
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    desc.ddsCaps.dwCaps = caps;
    return desc;
}

bool create_window_surfaces(int width, int height)
{
    if (FAILED(direct_draw->SetCooperativeLevel(main_window, DDSCL_NORMAL | DDSCL_MULTITHREADED)))
        return fail(error_dd_cooperative_level), false;
    DDSURFACEDESC desc = surface_description(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
    if (FAILED(direct_draw->CreateSurface(&desc, &primary_surface, nullptr)))
        return fail(error_dd_primary_surface), false;
    // Without a pixel format of its own the surface takes the screen's, so the blit converts nothing.
    desc = surface_description(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
    desc.dwWidth = width;
    desc.dwHeight = height;
    if (FAILED(direct_draw->CreateSurface(&desc, &drawing_surface, nullptr)))
        return fail(error_dd_back_surface), false;
    if (FAILED(direct_draw->CreateClipper(0, &clipper, nullptr))) return fail(error_dd_create_clipper), false;
    if (FAILED(clipper->SetHWnd(0, main_window))) return fail(error_dd_clipper_window), false;
    if (FAILED(primary_surface->SetClipper(clipper))) return fail(error_dd_attach_clipper), false;
    return true;
}

bool create_full_screen_surfaces(int width, int height, int bits_per_pixel)
{
    if (FAILED(direct_draw->SetCooperativeLevel(main_window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)))
        return fail(error_dd_cooperative_level), false;
    exclusive = true;
    if (FAILED(direct_draw->SetDisplayMode(width, height, bits_per_pixel)))
        return fail(error_dd_display_mode), false;
    DDSURFACEDESC desc = surface_description(DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
                                             DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX);
    desc.dwBackBufferCount = 1;
    if (FAILED(direct_draw->CreateSurface(&desc, &primary_surface, nullptr)))
        return fail(error_dd_primary_surface), false;
    DDSCAPS caps = {DDSCAPS_BACKBUFFER};
    if (FAILED(primary_surface->GetAttachedSurface(&caps, &drawing_surface)))
        return fail(error_dd_back_buffer), false;
    return true;
}

// The frame buffer's pixels go in as they are: only 32-bit X8R8G8B8 surfaces are drawn.
bool check_pixel_format()
{
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof format;
    if (FAILED(drawing_surface->GetPixelFormat(&format)) || !(format.dwFlags & DDPF_RGB) ||
        format.dwRGBBitCount != 32 || format.dwRBitMask != 0xFF0000 || format.dwGBitMask != 0xFF00 ||
        format.dwBBitMask != 0xFF)
        return fail(error_dd_pixel_format), false;
    DDSURFACEDESC desc = surface_description(0, 0);
    if (FAILED(drawing_surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr)))
        return fail(error_dd_lock), false;
    if (FAILED(drawing_surface->Unlock(nullptr))) return fail(error_dd_unlock), false;
    return true;
}

// A surface lost to a mode change or another program is restored and this frame skipped.
bool restore_if_lost(HRESULT result)
{
    if (result != DDERR_SURFACELOST) return false;
    primary_surface->Restore();
    drawing_surface->Restore();
    return true;
}

// Where the picture lands on the primary surface: the doubled or plain picture at
// client (5, 5) in screen coordinates, or the whole screen.
bool blit_target(RECT* target)
{
    if (exclusive) return false;
    const int s = draw_scale();
    POINT corner = {picture_margin, picture_margin};
    ClientToScreen(main_window, &corner);
    *target = {corner.x, corner.y, corner.x + picture_width * s, corner.y + picture_height * s};
    return true;
}

}  // namespace

bool dd_setup(int surface_width, int surface_height, int bits_per_pixel)
{
    dd_teardown();
    const DirectDrawCreateFunction create = load_direct_draw_create();
    if (!create || FAILED(create(nullptr, &direct_draw, nullptr))) {
        direct_draw = nullptr;
        report_error(error_dd_create);
        return false;
    }
    const bool made = opt_draw_size == 3 ? create_full_screen_surfaces(surface_width, surface_height, bits_per_pixel)
                                         : create_window_surfaces(surface_width, surface_height);
    return made && check_pixel_format();
}

void dd_teardown()
{
    release_object(clipper);
    // The back buffer belongs to the flip chain and goes with the primary surface.
    if (exclusive) drawing_surface = nullptr;
    release_object(drawing_surface);
    release_object(primary_surface);
    if (direct_draw && exclusive) {
        direct_draw->RestoreDisplayMode();
        direct_draw->SetCooperativeLevel(main_window, DDSCL_NORMAL);
    }
    exclusive = false;
    release_object(direct_draw);
}

void dd_draw()
{
    // A minimised window has nowhere to blit to.
    if (!drawing_surface || (!exclusive && IsIconic(main_window))) return;
    DDSURFACEDESC desc = surface_description(0, 0);
    HRESULT result = drawing_surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr);
    if (restore_if_lost(result)) return;
    // A failure that is not a lost surface would repeat every frame: one message, then GDI.
    if (FAILED(result)) return fail(error_dd_lock), fall_back_to_gdi();

    uint32_t* pixels = static_cast<uint32_t*>(desc.lpSurface);
    const int pitch = desc.lPitch / 4;
    copy_picture(pixels, pitch);
    if (opt_tstates_per_scanline)
        darken_scanlines(pixels, picture_width, picture_height, pitch, directdraw_scanline_threshold);
    if (FAILED(drawing_surface->Unlock(nullptr))) return fail(error_dd_unlock), fall_back_to_gdi();

    RECT source = {0, 0, picture_width, picture_height}, target;
    result = primary_surface->Blt(blit_target(&target) ? &target : nullptr, drawing_surface, &source,
                                  DDBLT_WAIT, nullptr);
    if (!restore_if_lost(result) && FAILED(result)) fail(error_dd_blit), fall_back_to_gdi();
}
