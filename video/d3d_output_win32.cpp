// Direct3D 9 output. The unscaled picture goes into a dynamic texture, which a
// D3DX sprite draws into a back buffer of the scaled picture's size; presenting
// puts that back buffer at client (5, 5). Full screen takes the screen in a
// 720 x 576 mode of its own, or, where that cannot be had, fills the 720 x 576
// pop-up window. d3d9.dll and the D3DX library d3dx9_43.dll are loaded when
// Direct3D is first chosen; the latter is not part of every Windows, and without
// it Direct3D reports the failed step and draws nothing.
#include <d3d9.h>
#include <d3dx9core.h>
#include <d3dx9tex.h>

#include "shell/shell_win32.h"
#include "video/output_win32.h"
#include "video/scanlines.h"

namespace {

enum Direct3DError {
    error_d3d_sprite_draw = 1,
    error_d3d_sprite = 4,  // "Out of memory"
    error_d3d_create = 50,
    error_d3d_texture = 52,
    error_d3d_lock = 53,
};

using CreateFunction = decltype(&Direct3DCreate9);
using CreateTextureFunction = decltype(&D3DXCreateTexture);
using CreateSpriteFunction = decltype(&D3DXCreateSprite);

LPDIRECT3D9 direct3d;
LPDIRECT3DDEVICE9 device;
LPDIRECT3DTEXTURE9 texture;
LPD3DXSPRITE sprite;
bool presents_in_window;  // false while Direct3D has the screen to itself
RECT present_target;       // where the back buffer lands in the client area
D3DXMATRIX sprite_transform;

template <typename Function>
Function library_function(const char* library_name, const char* name)
{
    const HMODULE library = LoadLibraryA(library_name);
    if (!library) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// The scaling from texture to screen. A quarter-pixel shift keeps every screen
// pixel's sample inside one texel, whichever pixel-centre rule the driver follows.
D3DXMATRIX scaling(float x, float y)
{
    return D3DXMATRIX(x, 0, 0, 0, 0, y, 0, 0, 0, 0, 1, 0, -0.25f, -0.25f, 0, 1);
}

void fail(int code)
{
    d3d_teardown();
    report_error(code);
}

D3DPRESENT_PARAMETERS presentation(int width, int height, bool windowed)
{
    D3DPRESENT_PARAMETERS p = {};
    p.BackBufferWidth = width;
    p.BackBufferHeight = height;
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.BackBufferCount = 1;
    // A window presents into a part of the client area, which only a copying swap allows.
    p.SwapEffect = windowed ? D3DSWAPEFFECT_COPY : D3DSWAPEFFECT_DISCARD;
    p.hDeviceWindow = main_window;
    p.Windowed = windowed;
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return p;
}

bool create_device(int width, int height, bool windowed)
{
    D3DPRESENT_PARAMETERS p = presentation(width, height, windowed);
    presents_in_window = windowed;
    return SUCCEEDED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, main_window,
                                            D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_FPU_PRESERVE, &p,
                                            &device));
}

void lay_out_picture()
{
    if (opt_draw_size == 3) {
        present_target = {0, 0, full_screen_width, full_screen_height};
        sprite_transform = scaling(float(full_screen_width) / picture_width, float(full_screen_height) / picture_height);
    } else {
        const int s = draw_scale();
        present_target = {picture_margin, picture_margin, picture_margin + picture_width * s,
                          picture_margin + picture_height * s};
        sprite_transform = scaling(float(s), float(s));
    }
}

}  // namespace

void d3d_setup()
{
    d3d_teardown();
    static const CreateFunction create = library_function<CreateFunction>("d3d9.dll", "Direct3DCreate9");
    direct3d = create ? create(D3D_SDK_VERSION) : nullptr;
    if (!direct3d) return report_error(error_d3d_create);

    lay_out_picture();
    const int width = present_target.right - present_target.left;
    const int height = present_target.bottom - present_target.top;
    const bool full_screen = opt_draw_size == 3;
    // Where no 720 x 576 mode can be had, full screen still fills the pop-up window.
    if (!create_device(width, height, !full_screen) && !(full_screen && create_device(width, height, true))) {
        device = nullptr;
        release_object(direct3d);
        opt_Direct3D = 0;
        return;
    }

    static const CreateTextureFunction create_texture =
        library_function<CreateTextureFunction>("d3dx9_43.dll", "D3DXCreateTexture");
    static const CreateSpriteFunction create_sprite =
        library_function<CreateSpriteFunction>("d3dx9_43.dll", "D3DXCreateSprite");
    if (!create_texture || FAILED(create_texture(device, picture_width, picture_height, 1, D3DUSAGE_DYNAMIC,
                                                 D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &texture))) {
        texture = nullptr;
        return fail(error_d3d_texture);
    }
    if (!create_sprite || FAILED(create_sprite(device, &sprite))) {
        sprite = nullptr;
        return fail(error_d3d_sprite);
    }
}

void d3d_teardown()
{
    release_object(sprite);
    release_object(texture);
    release_object(device);
    release_object(direct3d);
}

void d3d_draw()
{
    if (!sprite) return;
    // A device lost to a mode change or a locked screen is rebuilt once Windows gives it back.
    const HRESULT state = device->TestCooperativeLevel();
    if (state == D3DERR_DEVICELOST) return;
    if (state == D3DERR_DEVICENOTRESET) return d3d_setup();

    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD))) return fail(error_d3d_lock);
    uint32_t* pixels = static_cast<uint32_t*>(locked.pBits);
    const int pitch = locked.Pitch / 4;
    copy_picture(pixels, pitch);
    if (opt_tstates_per_scanline)
        darken_scanlines(pixels, picture_width, picture_height, pitch, direct3d_scanline_threshold);
    texture->UnlockRect(0);

    device->BeginScene();
    sprite->Begin(0);
    // Set after Begin, which chooses smoothing: each ZX81 pixel stays a sharp block.
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    sprite->SetTransform(&sprite_transform);
    const RECT source = {0, 0, picture_width, picture_height};
    const bool drawn = SUCCEEDED(sprite->Draw(texture, &source, nullptr, nullptr, D3DCOLOR_XRGB(255, 255, 255)));
    sprite->End();
    device->EndScene();
    // A failure here would repeat every frame: one message, then no output.
    if (!drawn) return fail(error_d3d_sprite_draw);
    device->Present(nullptr, presents_in_window ? &present_target : nullptr, nullptr, nullptr);
}
