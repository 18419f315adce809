// Direct3D 9 output. The unscaled picture goes into a dynamic texture, which is drawn
// as one quad filling a back buffer of the scaled picture's size, sampled point by
// point so each ZX81 pixel stays a sharp block; presenting puts that back buffer at
// client (5, 5). Full screen takes the screen in a 720 x 576 mode of its own, or,
// where that cannot be had, fills the 720 x 576 pop-up window. Only d3d9.dll is
// needed, which every Windows has; it is loaded when Direct3D is first chosen.
#include <d3d9.h>

#include "shell/shell_win32.h"
#include "video/output_win32.h"
#include "video/scanlines.h"

namespace {

using CreateFunction = decltype(&Direct3DCreate9);

// A vertex already in screen pixels, with its place in the texture.
struct Vertex {
    float x, y, z, rhw, u, v;
};
constexpr DWORD vertex_format = D3DFVF_XYZRHW | D3DFVF_TEX1;

LPDIRECT3D9 direct3d;
LPDIRECT3DDEVICE9 device;
LPDIRECT3DTEXTURE9 texture;
int texture_width, texture_height;  // the picture's size, or the powers of two above it
bool presents_in_window;            // false while Direct3D has the screen to itself
RECT present_target;                // where the back buffer lands in the client area

CreateFunction load_direct3d_create()
{
    static const HMODULE library = LoadLibraryA("d3d9.dll");
    if (!library) return nullptr;
    return reinterpret_cast<CreateFunction>(reinterpret_cast<void*>(GetProcAddress(library, "Direct3DCreate9")));
}

bool fail(ErrorCode code)
{
    d3d_teardown();
    report_error(code);
    return false;
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
    if (SUCCEEDED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, main_window,
                                         D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_FPU_PRESERVE, &p, &device)))
        return true;
    device = nullptr;
    return false;
}

void lay_out_picture()
{
    if (opt_draw_size == 3) {
        present_target = {0, 0, full_screen_width, full_screen_height};
    } else {
        const int s = draw_scale();
        present_target = {picture_margin, picture_margin, picture_margin + picture_width * s,
                          picture_margin + picture_height * s};
    }
}

int power_of_two_above(int n)
{
    int p = 1;
    while (p < n) p *= 2;
    return p;
}

// The picture's own size first; a device that takes only powers of two gets those.
bool create_texture()
{
    for (const bool power_of_two : {false, true}) {
        texture_width = power_of_two ? power_of_two_above(picture_width) : picture_width;
        texture_height = power_of_two ? power_of_two_above(picture_height) : picture_height;
        if (SUCCEEDED(device->CreateTexture(texture_width, texture_height, 1, D3DUSAGE_DYNAMIC, D3DFMT_X8R8G8B8,
                                            D3DPOOL_DEFAULT, &texture, nullptr)))
            return true;
    }
    texture = nullptr;
    return false;
}

// Texture colours as they are, no lighting, no depth, and the nearest texel for each pixel.
void set_drawing_states()
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetFVF(vertex_format);
}

// The picture's part of the texture over the whole back buffer. Corners half a pixel
// up and left put texel edges on pixel edges, so every pixel samples one texel.
bool draw_quad()
{
    const float w = float(present_target.right - present_target.left) - 0.5f;
    const float h = float(present_target.bottom - present_target.top) - 0.5f;
    const float u = float(picture_width) / texture_width, v = float(picture_height) / texture_height;
    const Vertex quad[4] = {{-0.5f, -0.5f, 0, 1, 0, 0}, {w, -0.5f, 0, 1, u, 0}, {-0.5f, h, 0, 1, 0, v}, {w, h, 0, 1, u, v}};
    if (FAILED(device->BeginScene())) return false;
    device->SetTexture(0, texture);
    const bool drawn = SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)));
    device->SetTexture(0, nullptr);
    device->EndScene();
    return drawn;
}

}  // namespace

bool d3d_setup()
{
    d3d_teardown();
    const CreateFunction create = load_direct3d_create();
    direct3d = create ? create(D3D_SDK_VERSION) : nullptr;
    if (!direct3d) return fail(error_d3d_create);

    lay_out_picture();
    const int width = present_target.right - present_target.left;
    const int height = present_target.bottom - present_target.top;
    const bool full_screen = opt_draw_size == 3;
    // Where no 720 x 576 mode can be had, full screen still fills the pop-up window.
    if (!create_device(width, height, !full_screen) && !(full_screen && create_device(width, height, true)))
        return fail(error_d3d_device);
    if (!create_texture()) return fail(error_d3d_texture);
    set_drawing_states();
    return true;
}

void d3d_teardown()
{
    release_object(texture);
    release_object(device);
    release_object(direct3d);
}

void d3d_draw()
{
    if (!texture) return;
    // A device lost to a mode change or a locked screen is rebuilt once Windows gives it back.
    const HRESULT state = device->TestCooperativeLevel();
    if (state == D3DERR_DEVICELOST) return;
    if (state == D3DERR_DEVICENOTRESET) {
        if (!d3d_setup()) fall_back_to_gdi();
        return;
    }

    // A failure here would repeat every frame: one message, then GDI.
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD)))
        return fail(error_d3d_lock), fall_back_to_gdi();
    uint32_t* pixels = static_cast<uint32_t*>(locked.pBits);
    const int pitch = locked.Pitch / 4;
    copy_picture(pixels, pitch);
    if (opt_tstates_per_scanline)
        darken_scanlines(pixels, picture_width, picture_height, pitch, direct3d_scanline_threshold);
    texture->UnlockRect(0);

    if (!draw_quad()) return fail(error_d3d_draw), fall_back_to_gdi();
    device->Present(nullptr, presents_in_window ? &present_target : nullptr, nullptr, nullptr);
}
