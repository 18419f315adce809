/* Looks into the running Wren81 from outside, for the GUI tests (runs under Wine
   beside it):
     probe client               client area of the main window on screen: x y w h
     probe window               the main window's rectangle: x y w h
     probe status N             text of part N of the status bar
     probe checked ID           1 when menu item ID is checked, else 0
     probe command ID           sends menu command ID to the main window
     probe box TITLE            texts of the controls of the window titled TITLE, one a line
     probe press TITLE BUTTON   clicks the button named BUTTON in the window titled TITLE
     probe exists TITLE         exit status 0 when a window titled TITLE exists
   Exit status 1 when the window asked for does not exist. */
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HWND main_window(void) { return FindWindowA("ZX81 Emulator", NULL); }

static BOOL CALLBACK print_child(HWND child, LPARAM unused)
{
    char text[1024];
    (void)unused;
    if (GetWindowTextA(child, text, sizeof text) > 0) printf("%s\n", text);
    return TRUE;
}

static const char* press_name;
static BOOL CALLBACK press_child(HWND child, LPARAM unused)
{
    char text[256];
    (void)unused;
    GetWindowTextA(child, text, sizeof text);
    /* Button texts may carry a mnemonic ampersand. */
    char plain[256];
    int j = 0;
    for (int i = 0; text[i] && j < 255; ++i)
        if (text[i] != '&') plain[j++] = text[i];
    plain[j] = 0;
    if (strcmp(plain, press_name) == 0) {
        PostMessageA(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED), (LPARAM)child);
        return FALSE;
    }
    return TRUE;
}

static int status_text(HWND window, int part)
{
    HWND bar = FindWindowExA(window, NULL, STATUSCLASSNAMEA, NULL);
    if (!bar) return 1;
    DWORD pid;
    GetWindowThreadProcessId(bar, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return 1;
    char* remote = VirtualAllocEx(process, NULL, 4096, MEM_COMMIT, PAGE_READWRITE);
    char text[4096] = "";
    SendMessageA(bar, SB_GETTEXTA, (WPARAM)part, (LPARAM)remote);
    ReadProcessMemory(process, remote, text, sizeof text - 1, NULL);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    printf("%s\n", text);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    const char* what = argv[1];
    if (strcmp(what, "box") == 0 || strcmp(what, "press") == 0 || strcmp(what, "exists") == 0) {
        if (argc < 3) return 2;
        HWND box = FindWindowA(NULL, argv[2]);
        if (!box) return 1;
        if (what[0] == 'b') EnumChildWindows(box, print_child, 0);
        if (what[0] == 'p' && argc > 3) {
            press_name = argv[3];
            EnumChildWindows(box, press_child, 0);
        }
        return 0;
    }
    HWND window = main_window();
    if (!window) return 1;
    RECT r;
    if (strcmp(what, "client") == 0) {
        POINT origin = {0, 0};
        GetClientRect(window, &r);
        ClientToScreen(window, &origin);
        printf("%ld %ld %ld %ld\n", origin.x, origin.y, r.right, r.bottom);
    } else if (strcmp(what, "window") == 0) {
        GetWindowRect(window, &r);
        printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    } else if (strcmp(what, "status") == 0 && argc > 2) {
        return status_text(window, atoi(argv[2]));
    } else if (strcmp(what, "checked") == 0 && argc > 2) {
        UINT state = GetMenuState(GetMenu(window), (UINT)atoi(argv[2]), MF_BYCOMMAND);
        printf("%d\n", state != (UINT)-1 && (state & MF_CHECKED) ? 1 : 0);
    } else if (strcmp(what, "command") == 0 && argc > 2) {
        PostMessageA(window, WM_COMMAND, (WPARAM)atoi(argv[2]), 0);
    } else {
        return 2;
    }
    return 0;
}
