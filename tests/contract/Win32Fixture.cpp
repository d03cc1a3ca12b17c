// Win32Fixture.cpp - the contract fixture on the real system (run under
// Wine): a real dialog built from an in-memory template and a scratch key
// under HKEY_CURRENT_USER.
#include "ContractFixture.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstdio>

namespace contract {

namespace {

const char kScratchPath[] = "Software\\KestrovaContract";

// A DLGTEMPLATE with its items, in the layout the dialog manager reads:
// WORD-sized fields, UTF-16 strings, every item on a DWORD boundary.
class TemplateWriter {
public:
    void Dword(DWORD value)
    {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Word(WORD value) { words_.push_back(value); }
    void Text(const char* text)
    {
        // The texts here are ASCII, so each char is one UTF-16 unit.
        for (const char* c = text; *c != '\0'; ++c)
            Word(static_cast<unsigned char>(*c));
        Word(0);
    }
    void AlignToDword()
    {
        if (words_.size() % 2 != 0)
            Word(0);
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    std::vector<WORD> words_;
};

INT_PTR CALLBACK TestDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    // Focus goes wherever the dialog manager puts it; nothing else to do.
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

void InitListViewClass()
{
    static bool done = false;
    if (done)
        return;
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
    if (!InitCommonControlsEx(&init)) {
        std::fprintf(stderr, "InitCommonControlsEx failed\n");
        std::abort();
    }
    done = true;
}

}  // namespace

const char* PlatformName() { return "Win32"; }

void BeginScenario() { RegDeleteTreeA(HKEY_CURRENT_USER, kScratchPath); }
void EndScenario() { RegDeleteTreeA(HKEY_CURRENT_USER, kScratchPath); }

plat::Window CreateTestDialog()
{
    InitListViewClass();
    const std::vector<ControlDef>& controls = TestDialogControls();

    TemplateWriter writer;
    writer.Dword(WS_POPUP | WS_CAPTION);  // not visible: nothing needs to be drawn
    writer.Dword(0);                      // extended style
    writer.Word(static_cast<WORD>(controls.size()));
    writer.Word(0);    // x
    writer.Word(0);    // y
    writer.Word(220);  // cx
    writer.Word(200);  // cy
    writer.Word(0);    // no menu
    writer.Word(0);    // the predefined dialog class
    writer.Text(kTestDialogCaption);
    for (const ControlDef& control : controls) {
        writer.AlignToDword();
        writer.Dword(WS_CHILD | WS_VISIBLE | control.style);
        writer.Dword(0);
        writer.Word(static_cast<WORD>(control.x));
        writer.Word(static_cast<WORD>(control.y));
        writer.Word(static_cast<WORD>(control.width));
        writer.Word(static_cast<WORD>(control.height));
        writer.Word(static_cast<WORD>(control.id));
        writer.Text(control.className);
        writer.Text(control.text);
        writer.Word(0);  // no creation data
    }
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), writer.Get(), nullptr, TestDialogProc, 0);
    if (dialog == nullptr)
        std::fprintf(stderr, "CreateDialogIndirectParamA failed, error %lu\n", GetLastError());
    return dialog;
}

void DestroyTestDialog(plat::Window dialog) { DestroyWindow(dialog); }

plat::RegKey ScratchRoot() { return HKEY_CURRENT_USER; }
const char* ScratchPath() { return kScratchPath; }

bool CanCountOpenKeys() { return false; }
int OpenKeyCount() { return -1; }

bool CanDenyAccess() { return false; }
void SetKeyAccess(const std::string&, Access) {}

}  // namespace contract
