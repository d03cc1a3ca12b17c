// MemoryPlatform.cpp - the platform layer without Windows: an in-memory
// registry and dialog manager. See MemoryPlatform.h for what it promises;
// the contract tests hold it to the Win32 implementation.
#include "MemoryPlatform.h"
#include "MemoryPlatformInternal.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <set>

// A window of the in-memory dialog manager: a dialog or one of its controls.
struct HWND__ {
    int id = 0;
    std::string className;
    std::uint32_t style = 0;
    std::string text;
    HWND__* parent = nullptr;
    bool enabled = true;
    unsigned int check = 0;

    // Combo box.
    struct ComboItem {
        std::string text;
        std::intptr_t data;
    };
    std::vector<ComboItem> items;
    std::intptr_t curSel = -1;

    // List view.
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;

    // Dialog.
    int templateId = 0;
    plat::DialogProc proc = nullptr;
    bool ended = false;
    std::intptr_t result = 0;
    std::intptr_t lastProcResult = 0;
    std::vector<std::unique_ptr<HWND__>> children;

    std::vector<std::string> paintJournal;
};

namespace {

// ---- Text helpers -----------------------------------------------------------

std::string Lower(const std::string& text)
{
    std::string lowered(text);
    for (char& c : lowered)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lowered;
}

// Combo boxes and list views compare without regard to letter case. The
// system compares in the user's locale; for the ASCII texts the module
// produces, that is this comparison.
int CompareNoCase(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

// A sorted list view orders its rows as the system's locale comparison does
// for letters, digits and spaces: without regard to case first, then, for
// texts that differ only in case, the one with a lower-case letter at the
// first difference goes first ("direct3d" < "Direct3D" < "DIRECT3D").
int CompareListViewText(const std::string& a, const std::string& b)
{
    const int noCase = CompareNoCase(a, b);
    if (noCase != 0)
        return noCase;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            return std::islower(static_cast<unsigned char>(a[i])) ? -1 : 1;
    }
    return 0;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

std::vector<std::string> SplitPath(const std::string& path)
{
    std::vector<std::string> parts;
    std::string current;
    for (char c : path) {
        if (c == '\\') {
            if (!current.empty())
                parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        parts.push_back(current);
    return parts;
}

std::string JoinPath(const std::vector<std::string>& parts)
{
    std::string path;
    for (const std::string& part : parts) {
        if (!path.empty())
            path += '\\';
        path += part;
    }
    return path;
}

// ---- Registry -----------------------------------------------------------------

// Access bits that need write permission on a key.
const plat::Dword kWriteBits = 0x0002 /*KEY_SET_VALUE*/ | 0x0004 /*KEY_CREATE_SUB_KEY*/ |
                               0x0020 /*KEY_CREATE_LINK*/ | 0x00010000 /*DELETE*/ |
                               0x00040000 /*WRITE_DAC*/ | 0x00080000 /*WRITE_OWNER*/;
const plat::Dword kQueryValue = 0x0001;
const plat::Dword kSetValue = 0x0002;
const plat::Status kErrorInvalidParameter = 87;
const plat::Status kErrorKeyDeleted = 1018;

struct RegValue {
    std::string name;
    plat::Dword type;
    std::string bytes;
};

struct RegNode {
    std::vector<RegValue> values;  // in the order first written
    std::map<std::string, std::unique_ptr<RegNode>> children;  // by lower-case name

    RegValue* FindValue(const std::string& name)
    {
        for (RegValue& value : values)
            if (CompareNoCase(value.name, name) == 0)
                return &value;
        return nullptr;
    }
};

const int kRootCount = 3;

struct OpenKey {
    int root;
    std::vector<std::string> path;  // lower case
    plat::Dword access;
};

// ---- State ----------------------------------------------------------------------

struct State {
    RegNode roots[kRootCount];
    std::map<std::string, memplat::KeyAccess> accessRules[kRootCount];  // by lower-case path
    std::map<std::uintptr_t, OpenKey> openKeys;
    std::uintptr_t nextKey = 0x1000;
    std::vector<std::string> writes;
    std::map<std::string, plat::Status> failedWrites;  // by lower-case value name

    std::map<int, memplat::DialogTemplate> templates;
    std::vector<std::unique_ptr<HWND__>> dialogs;
    std::set<const HWND__*> liveWindows;
    memplat::ModalDriver driver;
    std::vector<memplat::MessageBoxRecord> messageBoxes;
};

State& TheState()
{
    static State state;
    return state;
}

int RootIndex(plat::RegKey key)
{
    if (key == plat::HKeyClassesRoot())
        return 0;
    if (key == plat::HKeyCurrentUser())
        return 1;
    if (key == plat::HKeyLocalMachine())
        return 2;
    return -1;
}

plat::RegKey HandleOf(std::uintptr_t id) { return reinterpret_cast<plat::RegKey>(id); }

// Root and path of a predefined key or an open key; false for anything else.
bool Resolve(plat::RegKey key, int* root, std::vector<std::string>* path, plat::Dword* access)
{
    const int predefined = RootIndex(key);
    if (predefined >= 0) {
        *root = predefined;
        path->clear();
        if (access != nullptr)
            *access = plat::kKeyAllAccess;
        return true;
    }
    State& state = TheState();
    auto found = state.openKeys.find(reinterpret_cast<std::uintptr_t>(key));
    if (found == state.openKeys.end())
        return false;
    *root = found->second.root;
    *path = found->second.path;
    if (access != nullptr)
        *access = found->second.access;
    return true;
}

RegNode* FindNode(int root, const std::vector<std::string>& path)
{
    RegNode* node = &TheState().roots[root];
    for (const std::string& part : path) {
        auto child = node->children.find(Lower(part));
        if (child == node->children.end())
            return nullptr;
        node = child->second.get();
    }
    return node;
}

RegNode* MakeNode(int root, const std::vector<std::string>& path)
{
    RegNode* node = &TheState().roots[root];
    for (const std::string& part : path) {
        std::unique_ptr<RegNode>& child = node->children[Lower(part)];
        if (!child)
            child.reset(new RegNode);
        node = child.get();
    }
    return node;
}

std::vector<std::string> LowerParts(const std::vector<std::string>& parts)
{
    std::vector<std::string> lowered;
    for (const std::string& part : parts)
        lowered.push_back(Lower(part));
    return lowered;
}

// The rule of the deepest key at or above path; Full when none applies.
memplat::KeyAccess EffectiveAccess(int root, const std::vector<std::string>& path)
{
    const auto& rules = TheState().accessRules[root];
    memplat::KeyAccess access = memplat::KeyAccess::Full;
    std::vector<std::string> prefix;
    auto rule = rules.find("");
    if (rule != rules.end())
        access = rule->second;
    for (const std::string& part : path) {
        prefix.push_back(Lower(part));
        rule = rules.find(JoinPath(prefix));
        if (rule != rules.end())
            access = rule->second;
    }
    return access;
}

// The access actually granted for a request, or an error.
plat::Status Grant(memplat::KeyAccess rule, plat::Dword requested, bool maximumAllowed, plat::Dword* granted)
{
    if (rule == memplat::KeyAccess::Denied)
        return plat::kErrorAccessDenied;
    if (rule == memplat::KeyAccess::ReadOnly) {
        if (maximumAllowed) {
            *granted = plat::kKeyRead;
            return plat::kErrorSuccess;
        }
        if ((requested & kWriteBits) != 0)
            return plat::kErrorAccessDenied;
    }
    *granted = maximumAllowed ? plat::kKeyAllAccess : requested;
    return plat::kErrorSuccess;
}

plat::RegKey NewHandle(int root, const std::vector<std::string>& path, plat::Dword access)
{
    State& state = TheState();
    const std::uintptr_t id = state.nextKey;
    state.nextKey += 4;
    state.openKeys[id] = OpenKey{root, LowerParts(path), access};
    return HandleOf(id);
}

// RegCreateKeyA and RegCreateKeyExA: open when present, else create the
// missing keys, which needs write access where the first of them goes.
plat::Status CreateKey(plat::RegKey parent, const char* subKey, plat::Dword access, bool maximumAllowed,
                       plat::RegKey* result)
{
    if (result == nullptr)
        return kErrorInvalidParameter;
    *result = nullptr;
    int root = 0;
    std::vector<std::string> path;
    if (!Resolve(parent, &root, &path, nullptr))
        return plat::kErrorInvalidHandle;
    for (const std::string& part : SplitPath(subKey != nullptr ? subKey : ""))
        path.push_back(part);

    plat::Dword granted = 0;
    if (FindNode(root, path) == nullptr) {
        std::vector<std::string> existing;
        for (const std::string& part : path) {
            existing.push_back(part);
            if (FindNode(root, existing) == nullptr)
                break;
        }
        existing.pop_back();  // the deepest key that exists: the new keys go below it
        // Each new key needs write access on its parent, whose rule may come
        // from an ancestor or from a rule set before the parent existed.
        for (std::size_t depth = existing.size(); depth < path.size(); ++depth) {
            const std::vector<std::string> parent(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(depth));
            if (EffectiveAccess(root, parent) != memplat::KeyAccess::Full)
                return plat::kErrorAccessDenied;
        }
        const plat::Status status = Grant(EffectiveAccess(root, path), access, maximumAllowed, &granted);
        if (status != plat::kErrorSuccess)
            return status;
        MakeNode(root, path);
    } else {
        const plat::Status status = Grant(EffectiveAccess(root, path), access, maximumAllowed, &granted);
        if (status != plat::kErrorSuccess)
            return status;
    }
    *result = NewHandle(root, path, granted);
    return plat::kErrorSuccess;
}

// The node behind an open key with the access it needs for an operation.
plat::Status NodeForOperation(plat::RegKey key, plat::Dword needed, RegNode** node)
{
    int root = 0;
    std::vector<std::string> path;
    plat::Dword access = 0;
    if (!Resolve(key, &root, &path, &access))
        return plat::kErrorInvalidHandle;
    if ((access & needed) != needed)
        return plat::kErrorAccessDenied;
    *node = FindNode(root, path);
    return *node != nullptr ? plat::kErrorSuccess : kErrorKeyDeleted;
}

// ---- Windows ------------------------------------------------------------------

HWND__* Live(plat::Window window)
{
    return TheState().liveWindows.count(window) != 0 ? window : nullptr;
}

bool IsClass(const HWND__* window, const char* className)
{
    return window != nullptr && CompareNoCase(window->className, className) == 0;
}

bool IsCheckable(const HWND__* button)
{
    if (!IsClass(button, "Button"))
        return false;
    switch (button->style & memplat::kBsTypeMask) {
    case 0x2:  // BS_CHECKBOX
    case 0x3:  // BS_AUTOCHECKBOX
    case 0x4:  // BS_RADIOBUTTON
    case 0x5:  // BS_3STATE
    case 0x6:  // BS_AUTO3STATE
    case 0x9:  // BS_AUTORADIOBUTTON
        return true;
    default:
        return false;
    }
}

HWND__* Child(HWND__* dialog, int id)
{
    if (Live(dialog) == nullptr)
        return nullptr;
    for (auto& child : dialog->children)
        if (child->id == id)
            return child.get();
    return nullptr;
}

void Forget(HWND__* window)
{
    State& state = TheState();
    for (auto& child : window->children)
        Forget(child.get());
    state.liveWindows.erase(window);
}

HWND__* BuildDialog(const memplat::DialogTemplate& dialogTemplate, plat::DialogProc proc, plat::Window owner)
{
    State& state = TheState();
    std::unique_ptr<HWND__> dialog(new HWND__);
    dialog->className = "#32770";
    dialog->text = dialogTemplate.caption;
    dialog->parent = owner;
    dialog->templateId = dialogTemplate.id;
    dialog->proc = proc;
    for (const memplat::ControlTemplate& item : dialogTemplate.controls) {
        std::unique_ptr<HWND__> control(new HWND__);
        control->id = item.id;
        control->className = item.className;
        control->style = item.style;
        control->enabled = (item.style & memplat::kWsDisabled) == 0;
        // A drop-down list has no text of its own: it shows its selection.
        if (!IsClass(control.get(), "ComboBox"))
            control->text = item.text;
        control->parent = dialog.get();
        state.liveWindows.insert(control.get());
        dialog->children.push_back(std::move(control));
    }
    HWND__* raw = dialog.get();
    state.liveWindows.insert(raw);
    state.dialogs.push_back(std::move(dialog));
    return raw;
}

std::intptr_t Deliver(HWND__* dialog, unsigned int message, plat::WParam wParam, plat::LParam lParam)
{
    if (Live(dialog) == nullptr || dialog->proc == nullptr)
        return 0;
    dialog->lastProcResult = dialog->proc(dialog, message, wParam, lParam);
    return dialog->lastProcResult;
}

// Auto radio buttons clear each other within a group: the controls from one
// WS_GROUP control (or the first control) up to the next.
void ClearRadioGroupMates(HWND__* dialog, HWND__* clicked)
{
    std::size_t position = 0;
    while (position < dialog->children.size() && dialog->children[position].get() != clicked)
        ++position;
    std::size_t first = position;
    while (first > 0 && (dialog->children[first]->style & memplat::kWsGroup) == 0)
        --first;
    for (std::size_t i = first; i < dialog->children.size(); ++i) {
        HWND__* mate = dialog->children[i].get();
        if (i > first && (mate->style & memplat::kWsGroup) != 0)
            break;
        if (mate != clicked && IsClass(mate, "Button") &&
            (mate->style & memplat::kBsTypeMask) == memplat::kBsAutoRadioButton)
            mate->check = plat::kBstUnchecked;
    }
}

bool ValidComboIndex(const HWND__* combo, std::intptr_t index)
{
    return index >= 0 && static_cast<std::size_t>(index) < combo->items.size();
}

bool ValidRow(const HWND__* list, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < list->rows.size();
}

}  // namespace

// ==== Platform.h ======================================================================

namespace plat {

Status RegOpenKeyExA(RegKey root, const char* subKey, Dword /*options*/, Dword access, RegKey* result)
{
    memplat::internal::MaybeThrow("RegOpenKeyExA");
    if (result == nullptr)
        return kErrorInvalidParameter;
    *result = nullptr;  // as the system does: a failed open leaves no stale handle behind
    int rootIndex = 0;
    std::vector<std::string> path;
    if (!Resolve(root, &rootIndex, &path, nullptr))
        return kErrorInvalidHandle;
    for (const std::string& part : SplitPath(subKey != nullptr ? subKey : ""))
        path.push_back(part);
    if (FindNode(rootIndex, path) == nullptr)
        return kErrorFileNotFound;
    Dword granted = 0;
    const Status status = Grant(EffectiveAccess(rootIndex, path), access, false, &granted);
    if (status != kErrorSuccess)
        return status;
    *result = NewHandle(rootIndex, path, granted);
    return kErrorSuccess;
}

// RegCreateKeyA asks for the most access the caller may have: an existing
// key the user can only read opens read-only, and writing to it then fails.
Status RegCreateKeyA(RegKey root, const char* subKey, RegKey* result)
{
    return CreateKey(root, subKey, kKeyAllAccess, true, result);
}

Status RegCreateKeyExA(RegKey root, const char* subKey, Dword access, RegKey* result)
{
    return CreateKey(root, subKey, access, false, result);
}

Status RegQueryValueExA(RegKey key, const char* valueName, Dword* type, unsigned char* data, Dword* size)
{
    memplat::internal::MaybeThrow("RegQueryValueExA");
    RegNode* node = nullptr;
    const Status status = NodeForOperation(key, kQueryValue, &node);
    if (status != kErrorSuccess)
        return status;
    if (data != nullptr && size == nullptr)
        return kErrorInvalidParameter;
    const RegValue* value = node->FindValue(valueName != nullptr ? valueName : "");
    if (value == nullptr)
        return kErrorFileNotFound;
    if (type != nullptr)
        *type = value->type;
    const Dword length = static_cast<Dword>(value->bytes.size());
    if (data == nullptr) {
        if (size != nullptr)
            *size = length;
        return kErrorSuccess;
    }
    if (*size < length) {
        *size = length;
        return kErrorMoreData;
    }
    if (length != 0)
        std::memcpy(data, value->bytes.data(), length);
    *size = length;
    return kErrorSuccess;
}

Status RegSetValueExA(RegKey key, const char* valueName, Dword type, const unsigned char* data, Dword size)
{
    memplat::internal::MaybeThrow("RegSetValueExA");
    RegNode* node = nullptr;
    const Status status = NodeForOperation(key, kSetValue, &node);
    if (status != kErrorSuccess)
        return status;
    if (data == nullptr && size != 0)
        return kErrorInvalidParameter;
    const std::string name = valueName != nullptr ? valueName : "";
    const auto failed = TheState().failedWrites.find(Lower(name));
    if (failed != TheState().failedWrites.end())
        return failed->second;
    const std::string bytes = size != 0 ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
    RegValue* value = node->FindValue(name);
    if (value == nullptr) {
        node->values.push_back(RegValue{name, type, bytes});
    } else {
        value->type = type;
        value->bytes = bytes;
    }
    TheState().writes.push_back(name + "=" + std::to_string(type) + ":" + std::to_string(size));
    return kErrorSuccess;
}

Status RegCloseKey(RegKey key)
{
    if (RootIndex(key) >= 0)
        return kErrorSuccess;
    return TheState().openKeys.erase(reinterpret_cast<std::uintptr_t>(key)) != 0 ? kErrorSuccess
                                                                                 : kErrorInvalidHandle;
}

std::intptr_t DialogBoxParamA(Module /*instance*/, int templateId, Window owner, DialogProc proc,
                              std::intptr_t param)
{
    State& state = TheState();
    auto found = state.templates.find(templateId);
    if (found == state.templates.end() || proc == nullptr)
        return -1;
    HWND__* dialog = BuildDialog(found->second, proc, owner);
    Deliver(dialog, kWmInitDialog, 0, static_cast<LParam>(param));
    if (!dialog->ended && state.driver)
        state.driver(dialog, templateId);
    const std::intptr_t result = dialog->ended ? dialog->result : -1;
    memplat::DestroyDialogWindow(dialog);
    return result;
}

int EndDialog(Window dialog, std::intptr_t result)
{
    if (Live(dialog) == nullptr)
        return 0;
    dialog->ended = true;
    dialog->result = result;
    return 1;
}

Window GetDlgItem(Window dialog, int id) { return Child(dialog, id); }

int EnableWindow(Window window, int enable)
{
    if (Live(window) == nullptr)
        return 0;
    const bool wasDisabled = !window->enabled;
    window->enabled = enable != 0;
    return wasDisabled ? 1 : 0;
}

int IsWindowEnabled(Window window) { return Live(window) != nullptr && window->enabled ? 1 : 0; }

int CheckDlgButton(Window dialog, int id, unsigned int check)
{
    HWND__* button = Child(dialog, id);
    if (button == nullptr)
        return 0;
    ButtonSetCheck(button, check);
    return 1;
}

unsigned int IsDlgButtonChecked(Window dialog, int id)
{
    HWND__* button = Child(dialog, id);
    return button != nullptr ? static_cast<unsigned int>(ButtonGetCheck(button)) : 0;
}

int SetDlgItemTextA(Window dialog, int id, const char* text) { return SetWindowTextA(Child(dialog, id), text); }

int SetWindowTextA(Window window, const char* text)
{
    if (Live(window) == nullptr)
        return 0;
    window->text = text != nullptr ? text : "";
    return 1;
}

int GetWindowTextA(Window window, char* buffer, int maxCount)
{
    if (buffer == nullptr || maxCount <= 0)
        return 0;
    if (Live(window) == nullptr) {
        buffer[0] = '\0';
        return 0;
    }
    // A drop-down list shows the text of its selected entry.
    std::string text = window->text;
    if (IsClass(window, "ComboBox"))
        text = ValidComboIndex(window, window->curSel) ? window->items[window->curSel].text : std::string();
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(maxCount - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

int MessageBoxA(Window owner, const char* text, const char* caption, unsigned int type)
{
    TheState().messageBoxes.push_back(
        memplat::MessageBoxRecord{owner, text != nullptr ? text : "", caption != nullptr ? caption : "Error", type});
    return kIdOk;
}

int InvalidateWholeRect(Window window, int erase)
{
    if (Live(window) == nullptr)
        return 0;
    window->paintJournal.push_back("invalidate " + std::to_string(erase != 0 ? 1 : 0));
    return 1;
}

void SetRedraw(Window window, int redraw)
{
    if (Live(window) != nullptr)
        window->paintJournal.push_back("redraw " + std::to_string(redraw != 0 ? 1 : 0));
}

std::intptr_t ButtonGetCheck(Window button)
{
    return IsCheckable(Live(button)) ? static_cast<std::intptr_t>(button->check) : 0;
}

// A state beyond what the button can show is taken as its highest state:
// checked for two-state buttons, indeterminate for three-state ones.
void ButtonSetCheck(Window button, unsigned int check)
{
    if (!IsCheckable(Live(button)))
        return;
    const std::uint32_t type = button->style & memplat::kBsTypeMask;
    const unsigned int highest = type == 0x5 || type == 0x6 ? 2u : 1u;
    button->check = check > highest ? highest : check;
}

std::intptr_t ComboResetContent(Window combo)
{
    if (!IsClass(Live(combo), "ComboBox"))
        return 0;
    combo->items.clear();
    combo->curSel = -1;
    return 0;  // CB_OKAY
}

std::intptr_t ComboAddString(Window combo, const char* text)
{
    if (!IsClass(Live(combo), "ComboBox"))
        return kCbErr;
    HWND__::ComboItem item{text != nullptr ? text : "", 0};
    std::size_t position = combo->items.size();
    if ((combo->style & memplat::kCbsSort) != 0) {
        position = 0;
        while (position < combo->items.size() && CompareNoCase(combo->items[position].text, item.text) <= 0)
            ++position;
    }
    combo->items.insert(combo->items.begin() + static_cast<std::ptrdiff_t>(position), item);
    // Inserting before the selection moves it with its entry.
    if (combo->curSel >= static_cast<std::intptr_t>(position))
        ++combo->curSel;
    return static_cast<std::intptr_t>(position);
}

std::intptr_t ComboSetItemData(Window combo, std::intptr_t index, std::intptr_t data)
{
    if (!IsClass(Live(combo), "ComboBox") || !ValidComboIndex(combo, index))
        return kCbErr;
    combo->items[static_cast<std::size_t>(index)].data = data;
    return 1;
}

std::intptr_t ComboGetItemData(Window combo, std::intptr_t index)
{
    if (!IsClass(Live(combo), "ComboBox") || !ValidComboIndex(combo, index))
        return kCbErr;
    return combo->items[static_cast<std::size_t>(index)].data;
}

std::intptr_t ComboGetCount(Window combo)
{
    return IsClass(Live(combo), "ComboBox") ? static_cast<std::intptr_t>(combo->items.size()) : kCbErr;
}

std::intptr_t ComboGetCurSel(Window combo) { return IsClass(Live(combo), "ComboBox") ? combo->curSel : kCbErr; }

std::intptr_t ComboSetCurSel(Window combo, std::intptr_t index)
{
    if (!IsClass(Live(combo), "ComboBox"))
        return kCbErr;
    if (!ValidComboIndex(combo, index)) {
        combo->curSel = -1;
        return kCbErr;
    }
    combo->curSel = index;
    return index;
}

std::intptr_t ComboGetLBTextLen(Window combo, std::intptr_t index)
{
    if (!IsClass(Live(combo), "ComboBox") || !ValidComboIndex(combo, index))
        return kCbErr;
    return static_cast<std::intptr_t>(combo->items[static_cast<std::size_t>(index)].text.size());
}

std::intptr_t ComboGetLBText(Window combo, std::intptr_t index, char* buffer)
{
    if (!IsClass(Live(combo), "ComboBox") || !ValidComboIndex(combo, index) || buffer == nullptr)
        return kCbErr;
    const std::string& text = combo->items[static_cast<std::size_t>(index)].text;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<std::intptr_t>(text.size());
}

// The first entry after startAfter whose text begins with text, ignoring
// case, wrapping round to the top; the empty text finds nothing.
std::intptr_t ComboFindString(Window combo, std::intptr_t startAfter, const char* text)
{
    if (!IsClass(Live(combo), "ComboBox") || text == nullptr || text[0] == '\0')
        return kCbErr;
    const std::intptr_t count = static_cast<std::intptr_t>(combo->items.size());
    if (startAfter < -1 || startAfter >= count)
        startAfter = -1;
    for (std::intptr_t k = 0; k < count; ++k) {
        const std::intptr_t i = (startAfter + 1 + k) % count;
        if (StartsWithNoCase(combo->items[static_cast<std::size_t>(i)].text, text))
            return i;
    }
    return kCbErr;
}

std::intptr_t ListViewInsertColumn(Window list, int index, int /*width*/, const char* text)
{
    if (!IsClass(Live(list), "SysListView32") || index < 0)
        return -1;
    const std::size_t position = std::min(static_cast<std::size_t>(index), list->columns.size());
    list->columns.insert(list->columns.begin() + static_cast<std::ptrdiff_t>(position), text != nullptr ? text : "");
    return static_cast<std::intptr_t>(position);
}

// A sorted list view ignores the index it is given: the row goes before the
// first row whose text is not less than the new one, so an equal text lands
// in front of the existing row.
std::intptr_t ListViewInsertItem(Window list, int index, const char* text)
{
    if (!IsClass(Live(list), "SysListView32"))
        return -1;
    const std::string itemText = text != nullptr ? text : "";
    std::size_t position = 0;
    if ((list->style & memplat::kLvsSortAscending) != 0) {
        while (position < list->rows.size() && CompareListViewText(list->rows[position][0], itemText) < 0)
            ++position;
    } else {
        if (index < 0)
            return -1;
        position = std::min(static_cast<std::size_t>(index), list->rows.size());
    }
    std::vector<std::string> row(std::max<std::size_t>(list->columns.size(), 1));
    row[0] = itemText;
    list->rows.insert(list->rows.begin() + static_cast<std::ptrdiff_t>(position), row);
    return static_cast<std::intptr_t>(position);
}

std::intptr_t ListViewSetItemText(Window list, int index, int subItem, const char* text)
{
    if (!IsClass(Live(list), "SysListView32") || !ValidRow(list, index) || subItem < 0)
        return 0;
    std::vector<std::string>& row = list->rows[static_cast<std::size_t>(index)];
    if (static_cast<std::size_t>(subItem) >= row.size())
        row.resize(static_cast<std::size_t>(subItem) + 1);
    row[static_cast<std::size_t>(subItem)] = text != nullptr ? text : "";
    return 1;
}

std::intptr_t ListViewGetItemCount(Window list)
{
    return IsClass(Live(list), "SysListView32") ? static_cast<std::intptr_t>(list->rows.size()) : 0;
}

std::intptr_t ListViewGetItemText(Window list, int index, int subItem, char* buffer, int bufferSize)
{
    if (buffer == nullptr || bufferSize <= 0)
        return 0;
    buffer[0] = '\0';
    if (!IsClass(Live(list), "SysListView32") || !ValidRow(list, index) || subItem < 0)
        return 0;
    const std::vector<std::string>& row = list->rows[static_cast<std::size_t>(index)];
    const std::string text = static_cast<std::size_t>(subItem) < row.size() ? row[static_cast<std::size_t>(subItem)]
                                                                           : std::string();
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(bufferSize - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<std::intptr_t>(count);
}

}  // namespace plat

// ==== MemoryPlatform.h ==================================================================

namespace memplat {

void Reset()
{
    State& state = TheState();
    for (RegNode& root : state.roots) {
        root.values.clear();
        root.children.clear();
    }
    for (auto& rules : state.accessRules)
        rules.clear();
    state.openKeys.clear();
    state.writes.clear();
    state.failedWrites.clear();
    state.templates.clear();
    state.dialogs.clear();
    state.liveWindows.clear();
    state.driver = nullptr;
    state.messageBoxes.clear();
    internal::ResetFiles();
}

void FailValueWrites(const std::string& valueName, plat::Status error)
{
    TheState().failedWrites[Lower(valueName)] = error;
}

void SetKeyAccess(plat::RegKey root, const std::string& path, KeyAccess access)
{
    const int index = RootIndex(root);
    if (index >= 0)
        TheState().accessRules[index][Lower(JoinPath(SplitPath(path)))] = access;
}

int OpenKeyCount() { return static_cast<int>(TheState().openKeys.size()); }

bool KeyExists(plat::RegKey root, const std::string& path)
{
    const int index = RootIndex(root);
    return index >= 0 && FindNode(index, SplitPath(path)) != nullptr;
}

void DeleteKey(plat::RegKey root, const std::string& path)
{
    const int index = RootIndex(root);
    std::vector<std::string> parts = SplitPath(path);
    if (index < 0 || parts.empty())
        return;
    const std::string last = Lower(parts.back());
    parts.pop_back();
    RegNode* parent = FindNode(index, parts);
    if (parent != nullptr)
        parent->children.erase(last);
}

void PutValue(plat::RegKey root, const std::string& path, const std::string& name, plat::Dword type,
              const std::string& bytes)
{
    const int index = RootIndex(root);
    if (index < 0)
        return;
    RegNode* node = MakeNode(index, SplitPath(path));
    RegValue* value = node->FindValue(name);
    if (value == nullptr) {
        node->values.push_back(RegValue{name, type, bytes});
    } else {
        value->type = type;
        value->bytes = bytes;
    }
}

void PutDword(plat::RegKey root, const std::string& path, const std::string& name, std::uint32_t value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    PutValue(root, path, name, plat::kRegDword, bytes);
}

bool GetValue(plat::RegKey root, const std::string& path, const std::string& name, plat::Dword* type,
              std::string* bytes)
{
    const int index = RootIndex(root);
    RegNode* node = index >= 0 ? FindNode(index, SplitPath(path)) : nullptr;
    const RegValue* value = node != nullptr ? node->FindValue(name) : nullptr;
    if (value == nullptr)
        return false;
    if (type != nullptr)
        *type = value->type;
    if (bytes != nullptr)
        *bytes = value->bytes;
    return true;
}

std::vector<std::string> ValueNames(plat::RegKey root, const std::string& path)
{
    std::vector<std::string> names;
    const int index = RootIndex(root);
    RegNode* node = index >= 0 ? FindNode(index, SplitPath(path)) : nullptr;
    if (node != nullptr)
        for (const RegValue& value : node->values)
            names.push_back(value.name);
    return names;
}

std::vector<std::string> RegistryWrites() { return TheState().writes; }
void ClearRegistryWrites() { TheState().writes.clear(); }

void RegisterDialogTemplate(const DialogTemplate& dialogTemplate)
{
    TheState().templates[dialogTemplate.id] = dialogTemplate;
}

void SetModalDriver(ModalDriver driver) { TheState().driver = std::move(driver); }

plat::Window CreateDialogWindow(int templateId, plat::DialogProc proc, plat::Window owner)
{
    State& state = TheState();
    auto found = state.templates.find(templateId);
    if (found == state.templates.end())
        return nullptr;
    HWND__* dialog = BuildDialog(found->second, proc, owner);
    Deliver(dialog, plat::kWmInitDialog, 0, 0);
    return dialog;
}

void DestroyDialogWindow(plat::Window dialog)
{
    State& state = TheState();
    if (Live(dialog) == nullptr)
        return;
    Forget(dialog);
    for (auto it = state.dialogs.begin(); it != state.dialogs.end(); ++it) {
        if (it->get() == dialog) {
            state.dialogs.erase(it);
            return;
        }
    }
}

int TemplateIdOf(plat::Window dialog) { return Live(dialog) != nullptr ? dialog->templateId : 0; }
bool IsDialogEnded(plat::Window dialog) { return Live(dialog) != nullptr && dialog->ended; }
std::intptr_t DialogResult(plat::Window dialog) { return Live(dialog) != nullptr ? dialog->result : 0; }
std::intptr_t LastProcResult(plat::Window dialog) { return Live(dialog) != nullptr ? dialog->lastProcResult : 0; }

std::intptr_t SendCommand(plat::Window dialog, int id, unsigned int notification)
{
    HWND__* control = Child(dialog, id);
    return Deliver(dialog, plat::kWmCommand, plat::MakeWParam(static_cast<unsigned int>(id), notification),
                   reinterpret_cast<plat::LParam>(control));
}

void Click(plat::Window dialog, int id)
{
    HWND__* button = Child(dialog, id);
    if (button == nullptr || !button->enabled || !IsClass(button, "Button"))
        return;
    switch (button->style & kBsTypeMask) {
    case kBsAutoCheckBox:
        button->check = button->check == plat::kBstChecked ? plat::kBstUnchecked : plat::kBstChecked;
        break;
    case 0x6:  // BS_AUTO3STATE: unchecked, checked, indeterminate
        button->check = (button->check + 1) % 3;
        break;
    case kBsAutoRadioButton:
        button->check = plat::kBstChecked;
        ClearRadioGroupMates(dialog, button);
        break;
    default:
        break;
    }
    SendCommand(dialog, id, plat::kBnClicked);
}

void SelectComboItem(plat::Window dialog, int id, int index)
{
    HWND__* combo = Child(dialog, id);
    if (combo == nullptr || !combo->enabled)
        return;
    plat::ComboSetCurSel(combo, index);
    SendCommand(dialog, id, plat::kCbnSelChange);
}

void PressEnter(plat::Window dialog)
{
    if (Live(dialog) == nullptr)
        return;
    for (auto& child : dialog->children) {
        if (IsClass(child.get(), "Button") && (child->style & kBsTypeMask) == kBsDefPushButton && child->enabled) {
            SendCommand(dialog, child->id, plat::kBnClicked);
            return;
        }
    }
    SendCommand(dialog, plat::kIdOk, plat::kBnClicked);
}

void PressEscape(plat::Window dialog)
{
    if (Live(dialog) != nullptr)
        SendCommand(dialog, plat::kIdCancel, plat::kBnClicked);
}

std::string WindowText(plat::Window window)
{
    if (Live(window) == nullptr)
        return std::string();
    if (IsClass(window, "ComboBox"))
        return ComboSelectedText(window);
    return window->text;
}

std::vector<std::string> ComboItems(plat::Window combo)
{
    std::vector<std::string> items;
    if (IsClass(Live(combo), "ComboBox"))
        for (const auto& item : combo->items)
            items.push_back(item.text);
    return items;
}

std::string ComboSelectedText(plat::Window combo)
{
    if (!IsClass(Live(combo), "ComboBox") || !ValidComboIndex(combo, combo->curSel))
        return std::string();
    return combo->items[static_cast<std::size_t>(combo->curSel)].text;
}

std::vector<std::vector<std::string>> ListViewRows(plat::Window list)
{
    return IsClass(Live(list), "SysListView32") ? list->rows : std::vector<std::vector<std::string>>();
}

std::vector<std::string> ListViewColumns(plat::Window list)
{
    return IsClass(Live(list), "SysListView32") ? list->columns : std::vector<std::string>();
}

std::vector<std::string> PaintJournal(plat::Window window)
{
    return Live(window) != nullptr ? window->paintJournal : std::vector<std::string>();
}

std::vector<MessageBoxRecord> MessageBoxes() { return TheState().messageBoxes; }

}  // namespace memplat
