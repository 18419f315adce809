// Choosing a program file: the Open File dialog and files dropped on the main window.
#include <windows.h>
#include <commdlg.h>

#include "core/machine_state.h"
#include "shell/shell_win32.h"

namespace {

// The folder of the stored dialog place, which may name the last file chosen
// (and carries the blank the configuration file leaves after it).
std::wstring starting_folder()
{
    wchar_t folder[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, opt_current_sna_dir, -1, folder, MAX_PATH);
    folder[MAX_PATH - 1] = 0;
    std::wstring place = folder;
    const size_t slash = place.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : place.substr(0, slash + 1);
}

}  // namespace

void open_program_dialog()
{
    wchar_t path[260] = L"";
    wchar_t name[255] = L"";
    const std::wstring folder = starting_folder();
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = main_window;
    ofn.lpstrFilter = L"All supported file formats (*.p, *.81)\0*.p;*.81;\0"
                      L"P files (*.p)\0*.p\0"
                      L"81 files (*.81)\0*.81\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = 260;
    ofn.lpstrFileTitle = name;
    ofn.nMaxFileTitle = 255;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = L"Open File";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;

    if (while_paused([&ofn] { return GetOpenFileNameW(&ofn); })) load_chosen_program(ansi_path(path));
}

void drop_program_file(HDROP drop)
{
    wchar_t path[MAX_PATH] = L"";
    const UINT length = DragQueryFileW(drop, 0, path, MAX_PATH);
    DragFinish(drop);
    DragAcceptFiles(main_window, TRUE);
    if (length == 0) return;
    if (load_dropped_program(ansi_path(path))) SetForegroundWindow(main_window);
}
