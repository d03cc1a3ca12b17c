// RenderLists.cpp - driver and resolution lists, and switching the running
// player's render contexts to another driver.
//
// Every engine access lies between the host's AcquireContext and
// ReleaseContext; EngineAccess makes the pair, and pairs nest
// (OnDriverChanged rebuilds the resolution list inside its own pair).
#include "RenderLists.h"

#include <cstdio>
#include <set>
#include <string>

#include "ConfigModule.h"
#include "DialogText.h"
#include "resources/resource.h"

namespace {

// Resolution entries are "%dx%d": two signed 32-bit numbers and the NUL fit
// in 24 bytes.
const int kResolutionTextSize = 24;
// The selected resolution is read as a 256-byte buffer holds it.
const std::size_t kResolutionEntrySize = 256;
// Driver names are remembered as a 1024-byte buffer holds them: a longer
// name is looked up again by its first 1023 characters, which the list's
// prefix search finds all the same.
const std::size_t kDriverNameSize = 1024;
// Callers of ReadSelectedResolution preset these; so does SelectResolution's
// fallback entry.
const int kDefaultWidth = 640;
const int kDefaultHeight = 480;

// One acquire/release pair of the host, with the render manager it yields.
// A missing host or engine context counts as a player without a render
// manager; ReleaseContext still balances every AcquireContext.
class EngineAccess {
public:
    EngineAccess() : host_(CurrentPlayerHost), manager_(nullptr)
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

// The texts put into the resolution list so far, answering the question the
// list's own prefix search (CB_FINDSTRING from the top) answers: does an
// entry begin with this text, ignoring case? Asking the list instead scans
// every entry for every mode, which makes an engine with hundreds of modes
// per driver slow to open the dialog and to switch drivers.
class ListedTexts {
public:
    bool HasEntryBeginningWith(const std::string& text) const
    {
        // The list's search finds nothing for an empty text.
        if (text.empty())
            return false;
        // Every text that begins with key sorts at or right after it.
        const std::string key = FoldCase(text);
        const auto candidate = texts_.lower_bound(key);
        return candidate != texts_.end() && candidate->compare(0, key.size(), key) == 0;
    }
    void Add(const std::string& text) { texts_.insert(FoldCase(text)); }

private:
    // Resolution texts hold digits, '-' and 'x' only, so folding A-Z is the
    // whole of the list's case rule for them.
    static std::string FoldCase(std::string text)
    {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return text;
    }

    std::set<std::string> texts_;
};

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

// Selects the entry found by the combo box's own prefix search from the top
// (the first entry that begins with text, ignoring case); false when there
// is none.
bool SelectFoundEntry(HWND combo, const char* text)
{
    const LRESULT found =
        SendMessageA(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
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
    EngineAccess engine;
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
    EngineAccess engine;
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

    EngineAccess engine;
    RenderManager* manager = engine.Manager();
    if (manager == nullptr || selected == CB_ERR)
        return;
    const RenderDriverDesc* desc = manager->GetDriverDesc(static_cast<int>(driver));
    if (desc == nullptr || desc->displayModes == nullptr)
        return;
    // Modes that differ only after width and height (colour depth, refresh
    // rate) give one entry, at the place of their first occurrence. A text
    // that begins an entry already listed is left out, as the list's prefix
    // search would have it ("640x48" after "640x480").
    ListedTexts listed;
    for (int i = 0; i < desc->displayModeCount; ++i) {
        char text[kResolutionTextSize];
        FormatResolution(text, desc->displayModes[i].width, desc->displayModes[i].height);
        if (listed.HasEntryBeginningWith(text))
            continue;
        // A text the list could not take is not counted as listed: a later
        // mode with the same text tries again.
        if (SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)) >= 0)
            listed.Add(text);
    }
}

void ReadSelectedResolution(HWND dialog, int& width, int& height)
{
    HWND list = GetDlgItem(dialog, IDC_RESOLUTION);
    const LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return;
    const std::string text = ComboEntryText(list, selected, kResolutionEntrySize);
    // A number that does not scan leaves its output as the caller set it.
    std::sscanf(text.c_str(), "%dx%d", &width, &height);
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
    EngineAccess engine;
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
    const std::string remembered =
        ComboEntryText(drivers, SendMessageA(drivers, CB_GETCURSEL, 0, 0), kDriverNameSize);

    FillDriverList(dialog, mode);

    // Still listed: the engine and the resolution list are left alone.
    if (SelectFoundEntry(drivers, remembered.c_str()))
        return;
    SendMessageA(drivers, CB_SETCURSEL, 0, 0);
    OnDriverChanged(dialog);
}
