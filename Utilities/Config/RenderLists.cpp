// RenderLists.cpp - driver and resolution lists, and switching the running
// player's render contexts to another driver.
//
// Every engine access lies between the host's AcquireContext and
// ReleaseContext; EngineAccess makes the pair, and pairs nest
// (OnDriverChanged rebuilds the resolution list inside its own pair).
#include "RenderLists.h"

#include <cstdio>

#include "ConfigModule.h"
#include "DialogText.h"
#include "RuntimeScan.h"
#include "resources/resource.h"

namespace {

// Resolution entries are "%dx%d": two signed 32-bit numbers and the NUL fit
// in 24 bytes.
const int kResolutionTextSize = 24;
// The selected resolution is read as a 256-byte buffer holds it (the list
// holds only "%dx%d" texts, which fit).
const std::size_t kResolutionEntrySize = 256;
// Driver names are remembered as a 1024-byte buffer holds them: a longer
// name is looked up again by its first 1023 characters, which the list's
// prefix search finds all the same.
const std::size_t kDriverNameSize = 1024;
// Callers of ReadSelectedResolution preset these; so does SelectResolution's
// fallback entry.
const int kDefaultWidth = 640;
const int kDefaultHeight = 480;

// One acquire/release pair of the host the dialog serves, with the render
// manager it yields. A missing host or engine context counts as a player
// without a render manager; ReleaseContext still balances every
// AcquireContext.
class EngineAccess {
public:
    explicit EngineAccess(HWND dialog) : host_(SettingsDialogHost(dialog)), manager_(nullptr)
    {
        if (host_ == nullptr)
            return;
        EngineContext* context = host_->AcquireContext();
        if (context != nullptr)
            manager_ = context->QueryRenderManager();
    }
    ~EngineAccess()
    {
        if (host_ != nullptr)
            host_->ReleaseContext();
    }
    EngineAccess(const EngineAccess&) = delete;
    EngineAccess& operator=(const EngineAccess&) = delete;

    RenderManager* Manager() const { return manager_; }

private:
    PlayerHost* host_;
    RenderManager* manager_;
};

void FormatResolution(char (&text)[kResolutionTextSize], int width, int height)
{
    std::sprintf(text, "%dx%d", width, height);
}

bool IsDriverOffered(const RenderDriverDesc& desc, int mode)
{
    if ((desc.capabilities & RENDER_DRIVER_CAP_USABLE) == 0)
        return false;
    if (mode == RenderModeSoftwareOnly)
        return desc.hardware == 0;
    if (mode == RenderModeHardwareOnly)
        return desc.hardware != 0;
    return true;
}

// The combo box's own prefix search from the top (the first entry that
// begins with text, ignoring case); CB_ERR when there is none.
LRESULT FindEntry(HWND combo, const char* text)
{
    return SendMessageA(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
}

// Selects the entry found by FindEntry; false when there is none.
bool SelectFoundEntry(HWND combo, const char* text)
{
    const LRESULT found = FindEntry(combo, text);
    if (found == CB_ERR)
        return false;
    SendMessageA(combo, CB_SETCURSEL, found, 0);
    return true;
}

void SelectContextZeroDriver(HWND dialog, RenderManager& manager)
{
    RenderContext* context = manager.GetRenderContext(0);
    if (context != nullptr)
        SelectDriverByIndex(dialog, context->GetDriverIndex());
}

}  // namespace

int CheckedRenderMode(HWND dialog)
{
    if (IsDlgButtonChecked(dialog, IDC_FORCE_SOFTWARE))
        return RenderModeSoftwareOnly;
    if (IsDlgButtonChecked(dialog, IDC_FORCE_HARDWARE))
        return RenderModeHardwareOnly;
    return RenderModePageDecides;
}

void SelectDriverByIndex(HWND dialog, int driver)
{
    HWND list = GetDlgItem(dialog, IDC_RENDER_DRIVER);
    // The count is read again on every pass, as the list could change under us.
    for (LRESULT i = 0; i < SendMessageA(list, CB_GETCOUNT, 0, 0); ++i) {
        if (SendMessageA(list, CB_GETITEMDATA, i, 0) == driver) {
            SendMessageA(list, CB_SETCURSEL, i, 0);
            return;
        }
    }
}

void FillDriverList(HWND dialog, int mode)
{
    EngineAccess engine(dialog);
    HWND list = GetDlgItem(dialog, IDC_RENDER_DRIVER);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    RenderManager* manager = engine.Manager();
    if (manager == nullptr)
        return;
    // The engine is asked for its count on every pass: it is the engine's
    // list, not ours.
    for (int i = 0; i < manager->GetDriverCount(); ++i) {
        const RenderDriverDesc* desc = manager->GetDriverDesc(i);
        if (desc == nullptr || !IsDriverOffered(*desc, mode))
            continue;
        const char* name = desc->name != nullptr ? desc->name : "";
        const LRESULT entry = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendMessageA(list, CB_SETITEMDATA, entry, i);
    }
    SelectContextZeroDriver(dialog, *manager);
}

void SelectCurrentDriver(HWND dialog)
{
    EngineAccess engine(dialog);
    if (engine.Manager() != nullptr)
        SelectContextZeroDriver(dialog, *engine.Manager());
}

void FillResolutionList(HWND dialog)
{
    HWND drivers = GetDlgItem(dialog, IDC_RENDER_DRIVER);
    const LRESULT selected = SendMessageA(drivers, CB_GETCURSEL, 0, 0);
    const LRESULT driver = SendMessageA(drivers, CB_GETITEMDATA, selected, 0);

    HWND list = GetDlgItem(dialog, IDC_RESOLUTION);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);

    EngineAccess engine(dialog);
    RenderManager* manager = engine.Manager();
    if (manager == nullptr || selected == CB_ERR)
        return;
    const RenderDriverDesc* desc = manager->GetDriverDesc(static_cast<int>(driver));
    if (desc == nullptr || desc->displayModes == nullptr)
        return;
    // Modes that differ only after width and height (colour depth, refresh
    // rate) give one entry, at the place of their first occurrence. The
    // list's search is a prefix search, so a text that begins an entry
    // already listed is left out too ("640x48" after "640x480").
    for (int i = 0; i < desc->displayModeCount; ++i) {
        char text[kResolutionTextSize];
        FormatResolution(text, desc->displayModes[i].width, desc->displayModes[i].height);
        if (FindEntry(list, text) == CB_ERR)
            SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
}

void ReadSelectedResolution(HWND dialog, int& width, int& height)
{
    HWND list = GetDlgItem(dialog, IDC_RESOLUTION);
    const LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return;
    char text[kResolutionEntrySize];
    ComboEntryText(list, selected, text);
    // A number that does not scan leaves its output as the caller set it.
    RuntimeScan(text, "%dx%d", &width, &height);
}

void SelectResolution(HWND dialog, int width, int height)
{
    HWND list = GetDlgItem(dialog, IDC_RESOLUTION);
    char text[kResolutionTextSize];
    FormatResolution(text, width, height);
    if (SelectFoundEntry(list, text))
        return;
    FormatResolution(text, kDefaultWidth, kDefaultHeight);
    if (SelectFoundEntry(list, text))
        return;
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void OnDriverChanged(HWND dialog)
{
    EngineAccess engine(dialog);
    RenderManager* manager = engine.Manager();
    HWND drivers = GetDlgItem(dialog, IDC_RENDER_DRIVER);
    const LRESULT selected = SendMessageA(drivers, CB_GETCURSEL, 0, 0);

    if (manager != nullptr && selected != CB_ERR) {
        const int driver = static_cast<int>(SendMessageA(drivers, CB_GETITEMDATA, selected, 0));
        // The count is read once: the switch itself may change the engine.
        const int contextCount = manager->GetRenderContextCount();
        for (int i = 0; i < contextCount; ++i) {
            RenderContext* context = manager->GetRenderContext(i);
            if (context == nullptr)
                continue;
            context->BeginDriverChange();
            context->SetDriver(driver);
            context->Reconfigure(0, 0, 0, 0, 0);
            context->EndDriverChange();
            // The engine refuses a driver by keeping its own; context 0 is
            // the one the list shows.
            if (i == 0) {
                const int inUse = context->GetDriverIndex();
                if (inUse != driver)
                    SelectDriverByIndex(dialog, inUse);
            }
        }
    }

    int width = kDefaultWidth;
    int height = kDefaultHeight;
    ReadSelectedResolution(dialog, width, height);
    FillResolutionList(dialog);
    SelectResolution(dialog, width, height);
}

void OnRenderModeChanged(HWND dialog)
{
    const int mode = CheckedRenderMode(dialog);
    HWND drivers = GetDlgItem(dialog, IDC_RENDER_DRIVER);
    char remembered[kDriverNameSize];
    ComboEntryText(drivers, SendMessageA(drivers, CB_GETCURSEL, 0, 0), remembered);

    FillDriverList(dialog, mode);

    // Still listed: the engine and the resolution list are left alone.
    if (SelectFoundEntry(drivers, remembered))
        return;
    SendMessageA(drivers, CB_SETCURSEL, 0, 0);
    OnDriverChanged(dialog);
}
