/* Looks into the running Wren81 from outside, for the GUI tests (runs under Wine
   beside it):
     probe client | window      main window's client area on screen | its rectangle: x y w h
     probe status N             text of part N of the status bar
     probe statusbar            height of the status bar
     probe statusfit            per part of the status bar: its width and the width of its
                                text in the status bar font, "part width text" a line
     probe command ID           sends menu command ID to the main window
     probe drop PATH            drops the file PATH on the main window, as the shell does
     probe box TITLE            texts of the controls of the window titled TITLE, one a line
     probe press TITLE BUTTON   clicks the button named BUTTON and waits up to 10 seconds
                                for the window to close (status 3 if not)
     probe exists TITLE         exit status 0 when a window titled TITLE exists
     probe close TITLE          asks the window to close, as its close box does
     probe page TITLE N         shows page N of the property sheet titled TITLE
     probe control TITLE ID     screen centre "x y" of control ID of the window TITLE
     probe text TITLE ID        the text of that control
     probe settext TITLE ID TEXT  puts TEXT (any characters) into that control
     probe click TITLE ID       clicks that button (check boxes toggle)
     probe pick TITLE ID N      selects entry N of that drop-down list, as the user does
     probe slide TITLE ID N     moves that slider to position N, as the user does
     probe steal SECONDS        takes the focus with a window of its own for SECONDS
     probe menu TITLE ID        sends menu command ID to the window titled TITLE
     probe focus TITLE          brings that window to the front with the keyboard focus
     probe rows TITLE ID        the rows of list view ID, columns separated by tabs
     probe select TITLE ID N    selects row N of that list view, as a click does
   Controls are found at any depth (a property sheet keeps them on its pages).
   Exit status 1 when the window asked for does not exist. */
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int is(const char* what, const char* name) { return strcmp(what, name) == 0; }

/* Whether `what` is one of the words of `names`, which starts and ends with a space. */
static int one_of(const char* what, const char* names)
{
    char padded[64];
    snprintf(padded, sizeof padded, " %s ", what);
    return strstr(names, padded) != NULL;
}

/* Memory inside the program that owns a window, for the messages whose answers
   (or whose questions) live in memory: a pointer of ours means nothing there. */
static HANDLE remote_process;
static char* remote;
static int open_remote(HWND window)
{
    DWORD pid;
    GetWindowThreadProcessId(window, &pid);
    remote_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (remote_process) remote = VirtualAllocEx(remote_process, NULL, 4096, MEM_COMMIT, PAGE_READWRITE);
    return remote_process != NULL;
}

static void close_remote(void)
{
    VirtualFreeEx(remote_process, remote, 0, MEM_RELEASE);
    CloseHandle(remote_process);
}

static BOOL CALLBACK print_child(HWND child, LPARAM unused)
{
    char text[1024];
    (void)unused;
    if (GetWindowTextA(child, text, sizeof text) > 0) printf("%s\n", text);
    return TRUE;
}

static int wanted_id;
static HWND found_control;
static BOOL CALLBACK find_child(HWND child, LPARAM unused)
{
    (void)unused;
    if (GetDlgCtrlID(child) != wanted_id) return TRUE;
    found_control = child;
    return FALSE;
}

static HWND find_control(const char* title, const char* id)
{
    HWND box = FindWindowA(NULL, title);
    if (!box) return NULL;
    wanted_id = atoi(id);
    found_control = NULL;
    EnumChildWindows(box, find_child, 0);
    return found_control;
}

/* Sets a control as the user would and tells its page, as the control itself does. */
static int act_on_control(const char* what, HWND control, int value)
{
    HWND parent = GetParent(control);
    int id = GetDlgCtrlID(control);
    RECT r;
    if (is(what, "click")) {
        PostMessageA(control, BM_CLICK, 0, 0);
    } else if (is(what, "pick")) {
        SendMessageA(control, CB_SETCURSEL, value, 0);
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)control);
    } else if (is(what, "slide")) {
        SendMessageA(control, TBM_SETPOS, TRUE, value);
        SendMessageA(parent, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, value), (LPARAM)control);
    } else if (is(what, "control")) {
        GetWindowRect(control, &r);
        printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    } else if (is(what, "settext")) {
        /* The wide command line keeps characters that no ANSI code page holds. */
        int n;
        wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
        if (n < 5) return 2;
        SendMessageW(control, WM_SETTEXT, 0, (LPARAM)wide[4]);
    } else {
        static char text[16384];  /* asked of the control itself: an edit keeps its own text */
        SendMessageA(control, WM_GETTEXT, sizeof text, (LPARAM)text);
        printf("%s\n", text);
    }
    return 0;
}

static int list_view(const char* what, HWND list, int row)
{
    if (!open_remote(list)) return 1;
    LVITEMA item = {0};
    if (is(what, "select")) {
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        WriteProcessMemory(remote_process, remote, &item, sizeof item, NULL);
        SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)row, (LPARAM)remote);
    } else {
        HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
        int columns = header ? (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 1;
        int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                char text[512] = "";
                item.iSubItem = c;
                item.pszText = remote + 1024;
                item.cchTextMax = 512;
                WriteProcessMemory(remote_process, remote, &item, sizeof item, NULL);
                SendMessageA(list, LVM_GETITEMTEXTA, (WPARAM)r, (LPARAM)remote);
                ReadProcessMemory(remote_process, remote + 1024, text, sizeof text - 1, NULL);
                printf("%s%s", text, c + 1 < columns ? "\t" : "\n");
            }
    }
    close_remote();
    return 0;
}

static const char* press_name;
static BOOL CALLBACK press_child(HWND child, LPARAM unused)
{
    char text[256], plain[256];
    int j = 0;
    (void)unused;
    GetWindowTextA(child, text, sizeof text);
    for (int i = 0; text[i] && j < 255; ++i)  /* button texts may carry a mnemonic ampersand */
        if (text[i] != '&') plain[j++] = text[i];
    plain[j] = 0;
    if (strcmp(plain, press_name) != 0) return TRUE;
    PostMessageA(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED), (LPARAM)child);
    return FALSE;
}

static int act_on_window(const char* what, HWND box, const char* arg)
{
    if (is(what, "close")) {
        PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (is(what, "focus")) {
        SetForegroundWindow(box);
        for (int i = 0; i < 20 && GetForegroundWindow() != box; ++i) Sleep(50);
        return GetForegroundWindow() == box ? 0 : 3;
    } else if (is(what, "menu")) {
        PostMessageA(box, WM_COMMAND, (WPARAM)atoi(arg), 0);
    } else if (is(what, "box")) {
        EnumChildWindows(box, print_child, 0);
    } else if (is(what, "page")) {
        SendMessageA(box, PSM_SETCURSEL, (WPARAM)atoi(arg), 0);
    } else if (is(what, "press")) {
        press_name = arg;
        EnumChildWindows(box, press_child, 0);
        for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(100);
        return IsWindow(box) ? 3 : 0;
    }
    return 0;
}

/* Part `only` of the status bar: its text; or, when `only` is -1, each part's width
   and the width of its text in the status bar font. */
static int status_parts(HWND window, int only)
{
    HWND bar = FindWindowExA(window, NULL, STATUSCLASSNAMEA, NULL);
    if (!bar || !open_remote(bar)) return 1;
    NONCLIENTMETRICSA metrics = {sizeof metrics};
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HDC dc = GetDC(NULL);
    HGDIOBJ old = SelectObject(dc, CreateFontIndirectA(&metrics.lfStatusFont));
    int end = only < 0 ? (int)SendMessageA(bar, SB_GETPARTS, 0, 0) : only + 1;
    for (int part = only < 0 ? 0 : only; part < end; ++part) {
        RECT r = {0};
        char text[4096] = "";
        SIZE size = {0};
        SendMessageA(bar, SB_GETRECT, (WPARAM)part, (LPARAM)remote);
        ReadProcessMemory(remote_process, remote, &r, sizeof r, NULL);
        SendMessageA(bar, SB_GETTEXTA, (WPARAM)part, (LPARAM)remote);
        ReadProcessMemory(remote_process, remote, text, sizeof text - 1, NULL);
        GetTextExtentPoint32A(dc, text, (int)strlen(text), &size);
        if (only < 0) printf("%d %ld %ld\n", part, r.right - r.left, size.cx);
        else printf("%s\n", text);
    }
    DeleteObject(SelectObject(dc, old));
    ReleaseDC(NULL, dc);
    close_remote();
    return 0;
}

/* A drop is a DROPFILES block followed by the path; the block is made inside the
   program's own memory, where its handle is a plain pointer. */
static int drop_file(HWND window, const char* path)
{
    if (!open_remote(window)) return 1;
    char block[sizeof(DROPFILES) + MAX_PATH + 2] = {0};
    DROPFILES* files = (DROPFILES*)block;
    files->pFiles = sizeof(DROPFILES);
    strncpy(block + sizeof(DROPFILES), path, MAX_PATH);
    WriteProcessMemory(remote_process, remote, block, sizeof block, NULL);
    CloseHandle(remote_process);  /* the block stays for the program to read after this probe has gone */
    PostMessageA(window, WM_DROPFILES, (WPARAM)remote, 0);
    return 0;
}

static int act_on_main_window(const char* what, HWND window, const char* arg)
{
    RECT r;
    if (is(what, "client")) {
        POINT origin = {0, 0};
        GetClientRect(window, &r);
        ClientToScreen(window, &origin);
        printf("%ld %ld %ld %ld\n", origin.x, origin.y, r.right, r.bottom);
    } else if (is(what, "window")) {
        GetWindowRect(window, &r);
        printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    } else if (is(what, "statusbar")) {
        HWND bar = FindWindowExA(window, NULL, STATUSCLASSNAMEA, NULL);
        if (!bar || !GetWindowRect(bar, &r)) return 1;
        printf("%ld\n", r.bottom - r.top);
    } else if (is(what, "statusfit")) {
        return status_parts(window, -1);
    } else if (!arg) {
        return 2;
    } else if (is(what, "status")) {
        return status_parts(window, atoi(arg));
    } else if (is(what, "command")) {
        PostMessageA(window, WM_COMMAND, (WPARAM)atoi(arg), 0);
    } else if (is(what, "drop")) {
        return drop_file(window, arg);
    } else {
        return 2;
    }
    return 0;
}

/* Another program's window in front, holding the focus for a while, then gone. */
static int steal_focus(int seconds)
{
    HWND window = CreateWindowA("STATIC", "Focus thief", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                NULL, NULL, GetModuleHandleA(NULL), NULL);
    if (!window) return 1;
    SetForegroundWindow(window);
    SetFocus(window);
    for (DWORD end = GetTickCount() + (DWORD)seconds * 1000; GetTickCount() < end; Sleep(10)) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    DestroyWindow(window);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    const char* what = argv[1];
    if (is(what, "steal")) return argc > 2 ? steal_focus(atoi(argv[2])) : 2;
    if (one_of(what, " close box press exists page menu focus ") && argc > 2) {
        HWND box = FindWindowA(NULL, argv[2]);
        return box ? act_on_window(what, box, argc > 3 ? argv[3] : "") : 1;
    }
    if (one_of(what, " rows select ") && argc > 3) {
        HWND list = find_control(argv[2], argv[3]);
        return list ? list_view(what, list, argc > 4 ? atoi(argv[4]) : 0) : 1;
    }
    if (one_of(what, " control text settext click pick slide ") && argc > 3) {
        HWND control = find_control(argv[2], argv[3]);
        return control ? act_on_control(what, control, argc > 4 ? atoi(argv[4]) : 0) : 1;
    }
    HWND window = FindWindowA("ZX81 Emulator", NULL);
    return window ? act_on_main_window(what, window, argc > 2 ? argv[2] : NULL) : 1;
}
