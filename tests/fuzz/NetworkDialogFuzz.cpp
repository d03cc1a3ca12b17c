// The network dialog (102) on the in-memory platform: what is read out of
// its controls, whether the entry is accepted, which controls the type
// enables, and what "Ok" stores.
//
// Input:
//   mode byte: bit 0 the type list holds entries of the input's choosing
//     instead of the four the dialog puts there; bit 1 the controls are
//     updated for the type first; bit 2 "Ok" is clicked at the end;
//   with own entries: a count byte (0..4 entries), then each entry either
//     from a small list of type names in various cases (first byte below
//     12) or a blob of up to 299 bytes (NULs dropped);
//   selection byte: the selected entry (with the dialog's own entries also
//     none at all); check byte: the state handed to the check box;
//   host, port, user name and password: blobs of up to 1299 bytes, NULs
//     dropped (a window text cannot hold one).
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "NetworkDialog.h"
#include "ProxySettings.h"
#include "platform/MemoryPlatform.h"
#include "resources/resource.h"

namespace {

const char* const kNames[12] = {"NONE", "SOCKS4", "SOCKS5", "HTTP", "http", "Socks5",
                                "sOcKs4", "HTTP ", "HTTPS", "socks", "", "Http"};


std::string Prefix(const std::string& text, std::size_t count) { return text.substr(0, count); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Reader in(data, size);
    fuzz::ClearNotes();
    fuzz::ResetPlatformWithDialogs();

    const std::uint8_t mode = in.Byte();
    const bool ownEntries = (mode & 1) != 0;
    const bool update = (mode & 2) != 0;
    const bool clickOk = (mode & 4) != 0;

    plat::Window dialog = memplat::CreateDialogWindow(IDD_NETWORK, NetworkDlgProc);
    FUZZ_CHECK(dialog != nullptr);
    plat::Window list = plat::GetDlgItem(dialog, IDC_PROXY_TYPE);

    std::vector<std::string> entries = {"NONE", "SOCKS4", "SOCKS5", "HTTP"};
    FUZZ_CHECK(memplat::ComboItems(list) == entries);
    if (ownEntries) {
        entries.clear();
        const int count = in.Byte() % 5;
        for (int i = 0; i < count; ++i) {
            const std::uint8_t pick = in.Byte();
            entries.push_back(pick < 12 ? std::string(kNames[pick]) : fuzz::WithoutNuls(in.Blob(300)));
        }
        plat::ComboResetContent(list);
        for (const std::string& entry : entries)
            plat::ComboAddString(list, entry.c_str());
        FUZZ_CHECK(memplat::ComboItems(list) == entries);
    }
    const int options = static_cast<int>(entries.size()) + (ownEntries && !entries.empty() ? 0 : 1);
    const int selection = static_cast<int>(in.Byte() % options) - (ownEntries && !entries.empty() ? 0 : 1);
    const unsigned int check = in.Byte();
    const std::string host = fuzz::WithoutNuls(in.Blob(1300));
    const std::string port = fuzz::WithoutNuls(in.Blob(1300));
    const std::string user = fuzz::WithoutNuls(in.Blob(1300));
    const std::string password = fuzz::WithoutNuls(in.Blob(1300));

    plat::ComboSetCurSel(list, selection);
    plat::ButtonSetCheck(plat::GetDlgItem(dialog, IDC_PROXY_AUTH), check);
    plat::SetWindowTextA(plat::GetDlgItem(dialog, IDC_PROXY_HOST), host.c_str());
    plat::SetWindowTextA(plat::GetDlgItem(dialog, IDC_PROXY_PORT), port.c_str());
    plat::SetWindowTextA(plat::GetDlgItem(dialog, IDC_PROXY_USERNAME), user.c_str());
    plat::SetWindowTextA(plat::GetDlgItem(dialog, IDC_PROXY_PASSWORD), password.c_str());
    memplat::ClearRegistryWrites();

    for (std::size_t i = 0; i < entries.size(); ++i)
        fuzz::Note("entry " + std::to_string(i), fuzz::Describe(entries[i]));
    fuzz::Note("selection", std::to_string(selection));
    fuzz::Note("check", std::to_string(check));
    fuzz::Note("host", fuzz::Describe(host));
    fuzz::Note("port", fuzz::Describe(port));
    fuzz::Note("user", fuzz::Describe(user));
    fuzz::Note("password", fuzz::Describe(password));

    // The reference reading. The type is the selected entry's name (its
    // first 99 characters), compared without regard to ASCII case; no
    // selection here only happens over the dialog's own list, whose first
    // entry is NONE.
    const std::string selectedName = selection >= 0 ? Prefix(entries[static_cast<std::size_t>(selection)], 99) : "";
    const ProxyType type = fuzz::ReferenceTypeFromName(selectedName);
    const bool none = type == ProxyTypeNone;
    const bool checked = check != 0;
    ProxySettings expected;
    expected.type = type;
    if (!none) {
        expected.address = Prefix(host, 1023);
        expected.port = 0;
        fuzz::ReferenceDecimal(Prefix(port, 9).c_str(), expected.port);
        expected.auth = checked ? 1 : 0;
        if (checked) {
            expected.username = Prefix(user, 1023);
            expected.password = Prefix(password, 1023);
        }
    }
    // The rule of a complete entry: NONE always; else a host and a port
    // other than 0, and for SOCKS5 and HTTP with authentication a user
    // name and a password.
    const bool credentialsNeeded = (type == ProxyTypeSocks5 || type == ProxyTypeHttp) && checked;
    const bool complete =
        none || (!expected.address.empty() && expected.port != 0 &&
                 (!credentialsNeeded || (!expected.username.empty() && !expected.password.empty())));

    if (update) {
        UpdateNetworkControls(dialog);
        const bool authBox = type == ProxyTypeSocks5 || type == ProxyTypeHttp;
        FUZZ_CHECK_EQ(!none, plat::IsWindowEnabled(plat::GetDlgItem(dialog, IDC_PROXY_HOST)) != 0);
        FUZZ_CHECK_EQ(!none, plat::IsWindowEnabled(plat::GetDlgItem(dialog, IDC_PROXY_PORT)) != 0);
        FUZZ_CHECK_EQ(authBox, plat::IsWindowEnabled(plat::GetDlgItem(dialog, IDC_PROXY_AUTH)) != 0);
        FUZZ_CHECK_EQ(authBox && checked, plat::IsWindowEnabled(plat::GetDlgItem(dialog, IDC_PROXY_USERNAME)) != 0);
        FUZZ_CHECK_EQ(authBox && checked, plat::IsWindowEnabled(plat::GetDlgItem(dialog, IDC_PROXY_PASSWORD)) != 0);
    }

    ProxySettings settings;
    settings.type = static_cast<ProxyType>(77);
    settings.port = 0x5A5A5A5A;
    settings.auth = 0x3C3C3C3C;
    ReadNetworkDialog(dialog, settings);
    FUZZ_CHECK_EQ(expected.type, settings.type);
    FUZZ_CHECK_EQ(expected.port, settings.port);
    FUZZ_CHECK_EQ(expected.auth, settings.auth);
    FUZZ_CHECK_EQ(expected.address, settings.address);
    FUZZ_CHECK_EQ(expected.username, settings.username);
    FUZZ_CHECK_EQ(expected.password, settings.password);
    FUZZ_CHECK_EQ(type, SelectedProxyType(dialog));
    FUZZ_CHECK_EQ(complete ? 1 : 0, ValidateNetworkDialog(dialog));

    // Reading leaves the controls as they were and stores nothing.
    FUZZ_CHECK_EQ(host, memplat::WindowText(plat::GetDlgItem(dialog, IDC_PROXY_HOST)));
    FUZZ_CHECK_EQ(port, memplat::WindowText(plat::GetDlgItem(dialog, IDC_PROXY_PORT)));
    FUZZ_CHECK_EQ(user, memplat::WindowText(plat::GetDlgItem(dialog, IDC_PROXY_USERNAME)));
    FUZZ_CHECK_EQ(password, memplat::WindowText(plat::GetDlgItem(dialog, IDC_PROXY_PASSWORD)));
    FUZZ_CHECK_EQ(checked ? 1u : 0u, plat::IsDlgButtonChecked(dialog, IDC_PROXY_AUTH));
    FUZZ_CHECK_EQ(static_cast<std::intptr_t>(selection), plat::ComboGetCurSel(list));
    FUZZ_CHECK(memplat::RegistryWrites().empty());
    FUZZ_CHECK(memplat::MessageBoxes().empty());

    if (clickOk) {
        memplat::SendCommand(dialog, IDC_PROXY_OK, plat::kBnClicked);
        FUZZ_CHECK_EQ(complete, memplat::IsDialogEnded(dialog));
        FUZZ_CHECK_EQ(complete ? 1 : 0, memplat::LastProcResult(dialog));
        if (complete) {
            FUZZ_CHECK_EQ(1, memplat::DialogResult(dialog));
            FUZZ_CHECK(memplat::MessageBoxes().empty());
            // Stored as read, normalised: the reading above already leaves
            // out what NONE and a clear check box do not use.
            FUZZ_CHECK_EQ(6u, memplat::RegistryWrites().size());
            memplat::ClearRegistryWrites();
            ProxySettings stored;
            FUZZ_CHECK_EQ(1, ReadProxySettings(stored));
            FUZZ_CHECK(memplat::RegistryWrites().empty());
            FUZZ_CHECK_EQ(expected.type, stored.type);
            FUZZ_CHECK_EQ(expected.address, stored.address);
            FUZZ_CHECK_EQ(expected.port, stored.port);
            FUZZ_CHECK_EQ(expected.auth, stored.auth);
            FUZZ_CHECK_EQ(expected.username, stored.username);
            FUZZ_CHECK_EQ(expected.password, stored.password);
        } else {
            const std::vector<memplat::MessageBoxRecord> boxes = memplat::MessageBoxes();
            FUZZ_CHECK_EQ(1u, boxes.size());
            FUZZ_CHECK_EQ(std::string("Please complete all fields before clicking 'OK'"), boxes[0].text);
            FUZZ_CHECK_EQ(std::string("Warning!"), boxes[0].caption);
            FUZZ_CHECK(boxes[0].owner == dialog);
            FUZZ_CHECK(memplat::RegistryWrites().empty());
        }
    }
    FUZZ_CHECK_EQ(0, memplat::OpenKeyCount());
    memplat::DestroyDialogWindow(dialog);
    return 0;
}
