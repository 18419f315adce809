// Save Screenshot: what the main window shows, from its client corner (0, 0), as a
// 32-bit BMP of the picture's size at the current draw size.
#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "core/machine_state.h"
#include "shell/shell_win32.h"
#include "video/output_win32.h"

namespace {

// Kept between commands, so the dialog offers the last name again.
wchar_t screenshot_name[256];

// Copies the client area into top-down 32-bit pixels (0x00RRGGBB).
std::vector<uint32_t> capture_client(int width, int height)
{
    std::vector<uint32_t> pixels(size_t(width) * height);
    HDC window_dc = GetDC(main_window);
    HDC memory_dc = CreateCompatibleDC(window_dc);
    HBITMAP bitmap = CreateCompatibleBitmap(window_dc, width, height);
    HGDIOBJ previous = SelectObject(memory_dc, bitmap);
    BitBlt(memory_dc, 0, 0, width, height, window_dc, 0, 0, SRCCOPY);
    SelectObject(memory_dc, previous);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    GetDIBits(memory_dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);

    DeleteObject(bitmap);
    DeleteDC(memory_dc);
    ReleaseDC(main_window, window_dc);
    return pixels;
}

bool ask_file_name()
{
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = main_window;
    ofn.lpstrFilter = L"BMP files (*.bmp)\0*.bmp\0";
    ofn.lpstrFile = screenshot_name;
    ofn.nMaxFile = 256 - 4;  // room for the ".bmp" that is always added
    ofn.lpstrTitle = L"Save BMP";
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    return while_paused([&ofn] { return GetSaveFileNameW(&ofn); }) != 0;
}

}  // namespace

void save_screenshot()
{
    const int scale = opt_draw_size == 2 ? 2 : 1;
    const int width = picture_width * scale, height = picture_height * scale;
    const std::vector<uint32_t> pixels = capture_client(width, height);
    if (!ask_file_name()) return;

    std::wstring name = screenshot_name;
    name += L".bmp";
    // Create the file through the wide name, so a name the ANSI code page cannot
    // hold is reached through its short name afterwards.
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    CloseHandle(file);
    write_bmp(ansi_path(name.c_str()).c_str(), pixels.data(), width, 0, 0, width, height);
}
