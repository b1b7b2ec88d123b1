// The tray program's resources as the system loads them: the settings window
// template byte for byte, the icon, bitmap and clip formats, and the window the
// template makes (every control present, icons and clip loaded, the rights
// notice on one line).
// (run.sh shows the whole window as the program builds it.)
#include "win_check.h"
#include <commctrl.h>
#include <string.h>

// ---- the template

struct Reader {
    const BYTE* p;
    WORD Word() { WORD w; memcpy(&w, p, 2); p += 2; return w; }
    DWORD Dword() { DWORD d; memcpy(&d, p, 4); p += 4; return d; }
    short Short() { return (short)Word(); }
    DWORD At(int offset) { return Reader{p + offset}.Dword(); }
    // A string or an 0xFFFF-prefixed ordinal, as "#n" for ordinals.
    void SzOrOrd(char* out, int cap) {
        WORD first = Word();
        if (first == 0xFFFF) { snprintf(out, cap, "#%u", Word()); return; }
        int n = 0;
        for (WORD c = first; c != 0; c = Word())
            if (n < cap - 1) out[n++] = (char)c;
        out[n] = 0;
    }
    // Predefined control classes may be stored by ordinal or by name.
    void ClassName(char* out, int cap) {
        SzOrOrd(out, cap);
        if (!strcmp(out, "#128")) lstrcpynA(out, "BUTTON", cap);
        if (!strcmp(out, "#130")) lstrcpynA(out, "STATIC", cap);
    }
    void Align() { p = (const BYTE*)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3); }
};

struct Item {
    int id;
    const char* cls;
    const char* text;
    short x, y, cx, cy;
    DWORD style, exStyle;
};

static const Item kItems[17] = {
    {IDC_TEXT, "STATIC", "Hushpane's icon stays on system tray and flashes when blocking is in action.",
     52, 12, 130, 24, 0x50000000, 0},
    {IDC_ANIMATION, "SysAnimate32", "FLASHINGP", 16, 10, 32, 32, 0x50000006, 0},
    {-1, "STATIC", "INSPECTIONICON", 26, 35, 0, 0, 0x50000003, 0},
    {-1, "STATIC", "DELETEICON", 26, 56, 0, 0, 0x50000003, 0},
    {IDC_BROWSER_BOX, "BUTTON", "Block Internet Browser popups", 16, 76, 112, 13, 0x50030003, 0x20},
    {-1, "STATIC", "BROWSERBLOCKICON", 130, 76, 0, 0, 0x50000003, 0},
    {IDC_DESKTOP_GROUP, "BUTTON", "Desktop popups to block", 16, 97, 174, 27, 0x50004007, 0x20},
    {IDC_MESSENGER_BOX, "BUTTON", "Windows Messenger", 26, 106, 79, 13, 0x50030003, 0x20},
    {-1, "STATIC", "MESSENGERICON", 105, 103, 0, 0, 0x50000003, 0},
    {IDC_TOOLTIP_BOX, "BUTTON", "Tooltips", 128, 106, 40, 13, 0x50030003, 0x20},
    {-1, "STATIC", "TOOLTIPICON", 168, 103, 0, 0, 0x50000003, 0},
    {IDC_BROWSER_GROUP, "BUTTON", "Special browser elements to block", 16, 126, 174, 27, 0x50004007, 0x20},
    {IDC_APPLET_BOX, "BUTTON", "Java Applets", 26, 136, 53, 13, 0x50030003, 0x20},
    {-1, "STATIC", "APPLETICON", 77, 131, 0, 0, 0x50000003, 0},
    {IDC_FLASH_BOX, "BUTTON", "Macromedia Flash", 100, 136, 71, 13, 0x50030003, 0x20},
    {-1, "STATIC", "FLASHICON", 169, 131, 0, 0, 0x50000003, 0},
    {IDC_TEXT, "STATIC", nullptr /* our rights notice */, 16, 162, 180, 16, 0x50000000, 0},
};

static const BYTE* ResourceBytes(LPCSTR name, LPCSTR type, DWORD* size)
{
    HRSRC r = FindResourceA(nullptr, name, type);
    if (!r) return nullptr;
    if (size) *size = SizeofResource(nullptr, r);
    return (const BYTE*)LockResource(LoadResource(nullptr, r));
}

static void CheckTemplate()
{
    const BYTE* t = ResourceBytes(SETTINGS_WINDOW_TEMPLATE, (LPCSTR)RT_DIALOG, nullptr);
    if (!CHECK(t != nullptr, "template MyDialog2 present")) return;
    Reader r{t};
    // Version, signature, help id, extended style, style.
    bool head = r.Word() == 1 && r.Word() == 0xFFFF && r.Dword() == 0 && r.Dword() == 0 && r.Dword() == 0x90C80840;
    WORD count = r.Word();
    short x = r.Short(), y = r.Short(), cx = r.Short(), cy = r.Short();
    head = head && count == 17 && x == 10 && y == 10 && cx == 202 && cy == 200;
    char menu[64], cls[64], title[64], face[64];
    r.SzOrOrd(menu, sizeof menu);
    r.SzOrOrd(cls, sizeof cls);
    r.SzOrOrd(title, sizeof title);
    WORD points = r.Word(), weight = r.Word();
    BYTE italic = *r.p++, charset = *r.p++;
    r.SzOrOrd(face, sizeof face);
    head = head && menu[0] == 0 && lstrcmpiA(cls, SETTINGS_WINDOW_CLASS) == 0 && strcmp(title, "Hushpane") == 0;
    head = head && points == 8 && weight == 0 && italic == 0 && charset == 1 && strcmp(face, "MS Sans Serif") == 0;
    CHECK(head, "template header: version, style 0x90C80840, 17 items, 10,10 202x200, class, caption, font");

    for (int i = 0; i < count && i < 17; i++) {
        r.Align();
        const Item& e = kItems[i];
        DWORD help = r.Dword(), ex = r.Dword(), style = r.Dword();
        short ix = r.Short(), iy = r.Short(), icx = r.Short(), icy = r.Short();
        DWORD id = r.Dword();
        char icls[64], text[128];
        r.ClassName(icls, sizeof icls);
        r.SzOrOrd(text, sizeof text);
        WORD extra = r.Word();
        r.p += extra;
        bool ok = help == 0 && ex == e.exStyle && style == e.style && ix == e.x && iy == e.y &&
                  icx == e.cx && icy == e.cy && id == (DWORD)e.id && lstrcmpiA(icls, e.cls) == 0 &&
                  extra == 0 && (e.text ? strcmp(text, e.text) == 0 : text[0] != 0);
        CHECK(ok, "item %d: id %d %s \"%.40s\"", i + 1, (int)id, icls, text);
    }
}

// ---- pictures

#pragma pack(push, 2)
struct GroupEntry { BYTE w, h, colours, reserved; WORD planes, bits; DWORD bytes; WORD id; };
#pragma pack(pop)

// The group holds an image of this size and depth.
static bool GroupHas(LPCSTR name, int size, int bits)
{
    const BYTE* g = ResourceBytes(name, (LPCSTR)RT_GROUP_ICON, nullptr);
    if (!g) return false;
    for (int i = 0, n = Reader{g + 4}.Word(); i < n; i++) {
        GroupEntry e;
        memcpy(&e, g + 6 + i * sizeof(GroupEntry), sizeof e);
        if ((e.w ? e.w : 256) != size || e.bits != bits) continue;
        const BYTE* img = ResourceBytes(MAKEINTRESOURCEA(e.id), (LPCSTR)RT_ICON, nullptr);
        BITMAPINFOHEADER bi;
        if (!img) return false;
        memcpy(&bi, img, sizeof bi);
        return bi.biWidth == size && bi.biHeight == 2 * size && bi.biBitCount == bits;
    }
    return false;
}

static BOOL CALLBACK FirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR out)
{
    if (IS_INTRESOURCE(name)) snprintf((char*)out, 32, "#%u", (unsigned)(ULONG_PTR)name);
    else lstrcpynA((char*)out, name, 32);
    return FALSE;
}

static void CheckPictures()
{
    CHECK(GroupHas("0", 96, 24) && GroupHas(MAKEINTRESOURCEA(IDI_PROGRAM), 96, 24) &&
          GroupHas(MAKEINTRESOURCEA(IDI_PROGRAM_SMALL), 96, 24) &&
          GroupHas(MAKEINTRESOURCEA(IDI_PROGRAM_SMALL), 16, 24),
          "program icon 96x96 24-bit (and 16x16) as \"0\", 400 and 401");
    CHECK(GroupHas(MAKEINTRESOURCEA(IDI_TRAY_REST), 32, 8) && GroupHas(MAKEINTRESOURCEA(IDI_TRAY_WHITE), 32, 8) &&
          GroupHas(MAKEINTRESOURCEA(IDI_TRAY_YELLOW), 32, 8), "tray icons 402, 404, 405: 32x32, 256 colours");
    const char* named[] = {"INSPECTIONICON", "DELETEICON", "BROWSERBLOCKICON", "MESSENGERICON",
                           "TOOLTIPICON", "APPLETICON", "FLASHICON"};
    bool all = true;
    for (const char* n : named) all = all && GroupHas(n, 32, 8);
    CHECK(all, "seven named icons: 32x32, 256 colours");

    // The group "0" must come first among icon groups: it is the file's icon.
    char first[32] = "";
    EnumResourceNamesA(nullptr, (LPCSTR)RT_GROUP_ICON, FirstName, (LONG_PTR)first);
    CHECK(strcmp(first, "0") == 0, "icon group \"0\" is the first");

    struct { int id, w; } bmps[] = {{IDB_APPLY, 35}, {IDB_RESET, 51}, {IDB_QUICK_TIPS, 42}, {IDB_EXIT, 40}};
    all = true;
    for (auto& b : bmps) {
        const BYTE* p = ResourceBytes(MAKEINTRESOURCEA(b.id), (LPCSTR)RT_BITMAP, nullptr);
        BITMAPINFOHEADER bi = {};
        if (p) memcpy(&bi, p, sizeof bi);
        all = all && p && bi.biWidth == b.w && bi.biHeight == 25 && bi.biBitCount == 24 &&
              bi.biCompression == BI_RGB && LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(b.id),
                                                       IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR) != nullptr;
    }
    CHECK(all, "button faces 407-410: 35/51/42/40 x 25, 24-bit, loadable");

    DWORD size = 0;
    const BYTE* avi = ResourceBytes("FLASHINGP", "AVI", &size);
    // The main header (frame time, frames, streams, width, height) follows
    // RIFF, LIST hdrl and the avih chunk header.
    Reader a{avi};
    bool ok = avi && size > 72 && memcmp(avi, "RIFF", 4) == 0 && memcmp(avi + 8, "AVI ", 4) == 0 &&
              memcmp(avi + 24, "avih", 4) == 0 && a.At(32) == 100000 && a.At(48) == 28 && a.At(56) == 1 &&
              a.At(64) == 32 && a.At(68) == 32;
    CHECK(ok, "clip FLASHINGP: 28 frames of 32x32 at 10 per second, one stream");

    // Every frame is the icon at rest but frame 16, the white flash; all
    // frames share the see-through colour in their corners.
    const BYTE* frame[28] = {};
    const BYTE* movi = nullptr;
    for (DWORD i = 0; ok && i + 4 <= size; i++)
        if (memcmp(avi + i, "movi", 4) == 0) { movi = avi + i + 4; break; }
    const DWORD frameBytes = 32 * 32 * 3;
    for (int i = 0; movi && i < 28; i++) {
        const BYTE* c = movi + i * (8 + frameBytes);
        if (c + 8 + frameBytes > avi + size) break;
        if (memcmp(c, "00db", 4) == 0 && Reader{c}.At(4) == frameBytes) frame[i] = c + 8;
    }
    bool frames = frame[27] != nullptr;
    for (int i = 1; frames && i < 28; i++)
        frames = (memcmp(frame[i], frame[0], frameBytes) == 0) == (i != 16);
    if (frames) {
        const BYTE* f16 = frame[16];
        int corners[] = {0, 31 * 3, 31 * 96, 31 * 96 + 31 * 3};
        for (int off : corners)
            frames = frames && memcmp(frame[0] + off, frame[0], 3) == 0 && memcmp(f16 + off, frame[0], 3) == 0;
    }
    CHECK(frames, "clip frames: the icon at rest, the flash on frame 16 only, one see-through colour");
}

// ---- the window

static bool g_clipStarted;

static LRESULT CALLBACK TemplateWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_COMMAND && LOWORD(wp) == IDC_ANIMATION && HIWORD(wp) == ACN_START) g_clipStarted = true;
    return DefWindowProcA(w, m, wp, lp);
}

static RECT ChildRect(HWND dlg, HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dlg, (POINT*)&r, 2);
    return r;
}

static void CheckWindow()
{
    HINSTANCE inst = GetModuleHandleA(nullptr);
    // The template names the class; nothing checked here depends on its
    // icons, cursor or brush.
    Window_RegisterClass(SETTINGS_WINDOW_CLASS, TemplateWindowProc, 0, COLOR_WINDOW, DLGWINDOWEXTRA);
    InitCommonControls();

    HWND dlg = CreateDialogParamA(inst, SETTINGS_WINDOW_TEMPLATE, nullptr, nullptr, 0);
    if (!CHECK(dlg != nullptr, "window created from the template")) return;

    // Where the controls land in the client area is the tray program test's
    // to check: it sees them placed for the font actually used.
    int n = 0;
    for (HWND c = GetWindow(dlg, GW_CHILD); c && n < 17; c = GetWindow(c, GW_HWNDNEXT), n++) {
        const Item& e = kItems[n];
        RECT rc = ChildRect(dlg, c);
        char cls[64];
        GetClassNameA(c, cls, sizeof cls);
        // Id -1 may read back as 16 bits.
        CHECK(GetDlgCtrlID(c) == e.id || (e.id == -1 && (GetDlgCtrlID(c) & 0xFFFF) == 0xFFFF),
              "control %d (%s): id %d", n + 1, cls, e.id);

        if (e.cx == 0) {
            HICON icon = (HICON)SendMessageA(c, STM_GETICON, 0, 0);
            CHECK(icon != nullptr && rc.right - rc.left == 32 && rc.bottom - rc.top == 32, "  icon loaded, 32x32");
        } else if (!strcmp(cls, "SysAnimate32")) {
            // An opened clip sizes the control to its frames. Wine's control
            // does not open the clip named by its window text, so open it here
            // when the template has not, to see that the clip itself plays.
            bool byText = rc.right - rc.left == 32 && rc.bottom - rc.top == 32;
            if (!byText) {
                BOOL opened = (BOOL)SendMessageA(c, ACM_OPENA, (WPARAM)inst, (LPARAM)"FLASHINGP");
                rc = ChildRect(dlg, c);
                // The control posts its start notice to the window.
                Check_PumpPending();
                CHECK(opened && g_clipStarted && rc.right - rc.left == 32 && rc.bottom - rc.top == 32,
                      "  clip opens by name and plays (control sized to 32x32)");
            }
        } else if (e.text == nullptr) {
            // Our own rights notice must fit on its line, in the control's font.
            char text[128];
            HDC dc = GetDC(dlg);
            SelectObject(dc, (HFONT)SendMessageA(c, WM_GETFONT, 0, 0));
            GetWindowTextA(c, text, sizeof text);
            SIZE ext;
            GetTextExtentPoint32A(dc, text, lstrlenA(text), &ext);
            ReleaseDC(dlg, dc);   // a common DC: its font goes back with it
            CHECK(ext.cx <= rc.right - rc.left, "  rights notice fits on one line");
        }
    }
    CHECK(n == 17, "17 controls");

    DestroyWindow(dlg);
}

int main()
{
    Check_Begin();
    CheckTemplate();
    CheckPictures();
    CheckWindow();
    return Check_End();
}
