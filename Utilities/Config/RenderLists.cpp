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
#include <vector>

#include "ConfigModule.h"
#include "DialogText.h"
#include "resources/resource.h"

namespace {

// Resolution entries are "%dx%d": two signed 32-bit numbers fit in 24 bytes.
const int kResolutionTextSize = 24;
// Callers of ReadSelectedResolution preset these; so does SelectResolution's
// fallback entry.
const int kDefaultWidth = 640;
const int kDefaultHeight = 480;
// Driver names are looked up again by their first 1023 characters.
const std::size_t kDriverNameLimit = 1023;

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

plat::Window DriverList(plat::Window dialog) { return plat::GetDlgItem(dialog, IDC_RENDER_DRIVER); }
plat::Window ResolutionList(plat::Window dialog) { return plat::GetDlgItem(dialog, IDC_RESOLUTION); }

std::string FormatResolution(int width, int height)
{
    char text[kResolutionTextSize];
    std::snprintf(text, sizeof text, "%dx%d", width, height);
    return text;
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

// Selects the entry found by the combo box's own prefix search; false when
// there is none.
bool SelectFoundEntry(plat::Window combo, const std::string& text)
{
    const std::intptr_t found = plat::ComboFindString(combo, -1, text.c_str());
    if (found == plat::kCbErr)
        return false;
    plat::ComboSetCurSel(combo, found);
    return true;
}

void SelectContextZeroDriver(plat::Window dialog, RenderManager& manager)
{
    RenderContext* context = manager.GetRenderContext(0);
    if (context != nullptr)
        SelectDriverByIndex(dialog, context->GetDriverIndex());
}

}  // namespace

int CheckedRenderMode(plat::Window dialog)
{
    if (plat::IsDlgButtonChecked(dialog, IDC_FORCE_SOFTWARE))
        return RenderModeSoftwareOnly;
    if (plat::IsDlgButtonChecked(dialog, IDC_FORCE_HARDWARE))
        return RenderModeHardwareOnly;
    return RenderModePageDecides;
}

void SelectDriverByIndex(plat::Window dialog, int driver)
{
    plat::Window list = DriverList(dialog);
    // The count is read again on every pass, as the list could change under us.
    for (std::intptr_t i = 0; i < plat::ComboGetCount(list); ++i) {
        if (plat::ComboGetItemData(list, i) == static_cast<std::intptr_t>(driver)) {
            plat::ComboSetCurSel(list, i);
            return;
        }
    }
}

void FillDriverList(plat::Window dialog, int mode)
{
    EngineAccess engine;
    plat::Window list = DriverList(dialog);
    plat::ComboResetContent(list);
    RenderManager* manager = engine.Manager();
    if (manager == nullptr)
        return;
    // The engine is asked for its count on every pass: it is the engine's
    // list, not ours.
    for (int i = 0; i < manager->GetDriverCount(); ++i) {
        const RenderDriverDesc* desc = manager->GetDriverDesc(i);
        if (desc == nullptr || !IsDriverOffered(*desc, mode))
            continue;
        const std::intptr_t entry = plat::ComboAddString(list, desc->name != nullptr ? desc->name : "");
        plat::ComboSetItemData(list, entry, i);
    }
    SelectContextZeroDriver(dialog, *manager);
}

void SelectCurrentDriver(plat::Window dialog)
{
    EngineAccess engine;
    if (engine.Manager() != nullptr)
        SelectContextZeroDriver(dialog, *engine.Manager());
}

void FillResolutionList(plat::Window dialog)
{
    plat::Window drivers = DriverList(dialog);
    const std::intptr_t selected = plat::ComboGetCurSel(drivers);
    const std::intptr_t driver = plat::ComboGetItemData(drivers, selected);

    plat::Window list = ResolutionList(dialog);
    plat::ComboResetContent(list);

    EngineAccess engine;
    RenderManager* manager = engine.Manager();
    if (manager == nullptr || selected == plat::kCbErr)
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
        const DisplayMode& mode = desc->displayModes[i];
        const std::string text = FormatResolution(mode.width, mode.height);
        if (listed.HasEntryBeginningWith(text))
            continue;
        // A text the list could not take is not counted as listed: a later
        // mode with the same text tries again.
        if (plat::ComboAddString(list, text.c_str()) >= 0)
            listed.Add(text);
    }
}

void ReadSelectedResolution(plat::Window dialog, int& width, int& height)
{
    plat::Window list = ResolutionList(dialog);
    const std::intptr_t selected = plat::ComboGetCurSel(list);
    if (selected == plat::kCbErr)
        return;
    const std::string text = ComboEntryText(list, selected);
    int scannedWidth = width;
    int scannedHeight = height;
    // A number that does not scan leaves its output as the caller set it.
    const int scanned = std::sscanf(text.c_str(), "%dx%d", &scannedWidth, &scannedHeight);
    if (scanned >= 1)
        width = scannedWidth;
    if (scanned >= 2)
        height = scannedHeight;
}

void SelectResolution(plat::Window dialog, int width, int height)
{
    plat::Window list = ResolutionList(dialog);
    if (SelectFoundEntry(list, FormatResolution(width, height)))
        return;
    if (SelectFoundEntry(list, FormatResolution(kDefaultWidth, kDefaultHeight)))
        return;
    plat::ComboSetCurSel(list, -1);
}

void OnDriverChanged(plat::Window dialog)
{
    EngineAccess engine;
    RenderManager* manager = engine.Manager();
    plat::Window drivers = DriverList(dialog);
    const std::intptr_t selected = plat::ComboGetCurSel(drivers);

    if (manager != nullptr && selected != plat::kCbErr) {
        const int driver = static_cast<int>(plat::ComboGetItemData(drivers, selected));
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

void OnRenderModeChanged(plat::Window dialog)
{
    const int mode = CheckedRenderMode(dialog);
    plat::Window drivers = DriverList(dialog);
    std::string remembered = ComboEntryText(drivers, plat::ComboGetCurSel(drivers));
    if (remembered.size() > kDriverNameLimit)
        remembered.resize(kDriverNameLimit);

    FillDriverList(dialog, mode);

    // Still listed: the engine and the resolution list are left alone.
    if (SelectFoundEntry(drivers, remembered))
        return;
    plat::ComboSetCurSel(drivers, 0);
    OnDriverChanged(dialog);
}
