// MaintenanceComponentsTest.cpp - the "Advanced Information" group as the
// dialog opens: the control's and the browser plug-in's versions in the two
// statics, and the versioned libraries of the installation directory in the
// list, sorted by file; "InstallPath" gets its missing separator back.
#include "MaintenanceTest.h"

#include "ControlReader.h"

namespace e2e {
namespace {

const char kInstallKey[] = "Software\\Kestrova\\DadAzizov";
const char kControlServerKey[] = "CLSID\\{6E3A91D4-2B7C-4F05-A8D1-93C47E52B0A6}\\InprocServer32";
const char kNetscapeKey[] = "SOFTWARE\\Netscape\\Netscape";
const char kMozillaKey[] = "SOFTWARE\\mozilla.org\\Mozilla";

struct InstalledFile {
    const char* relative;  // below the installation directory
    const char* built;     // the library copied there; null for a text file
};

// Damaged libraries, prepared beside the test program: a zero-byte file;
// a text file stands for one whose header is garbage.
const char kZeroByteLibrary[] = "e2e_zero_bytes.dll";

// A typical installation and everything the list must leave out.
const std::vector<InstalledFile> kTypicalInstallation = {
    {"alpha.dll", kComponent1234},
    {"Beta.dll", kComponent65535001},
    {"nofixed.dll", kComponentNoFixedPart},
    {"plain.dll", kComponentNoVersion},  // no version information: not listed
    {"lib.dllx", kComponent2017},         // not a .dll, though its short name might be
    {"lib.dl", kComponent2017},
    {"readme.txt", nullptr},
    {"sub\\x.dll", kComponent2017},
    {"folder.dll\\y.dll", kComponent4567},  // a folder is not listed, what it holds is
    {"corrupt.dll", nullptr},               // not a library at all: not listed
    {"empty.dll", kZeroByteLibrary},        // zero bytes: not listed
};
const std::vector<ListRow> kTypicalRows = {
    {"alpha.dll", "1.2.3.4"},  {"Beta.dll", "65535.0.0.1"}, {"folder.dll\\y.dll", "4.5.6.7"},
    {"nofixed.dll", ""},       {"sub\\x.dll", "2.0.1.7"},
};

enum Registrations {
    kNothingRegistered,
    // The control on a versioned library; Netscape (the first row) and
    // Mozilla (the second) both hold the plug-in, in different versions.
    kControlAndBothBrowsers,
    // The control on a library without version; Netscape's plug-in file is
    // missing, so Mozilla's is the one found.
    kUnversionedControlAndMozillaPlugin,
};

struct ComponentsCase {
    const char* name;
    const char* pathEnd;   // appended to the install folder; null: no "InstallPath" at all
    DWORD type;
    bool emptyValue;       // "InstallPath" holds "" instead
    bool folderExists;
    std::vector<InstalledFile> files;
    Registrations registrations;
    // What the dialog shows:
    std::string controlVersion;
    std::string pluginVersion;
    std::vector<ListRow> rows;
    // The value afterwards: written back with "\" as REG_SZ, or untouched.
    bool repaired;
};

const ComponentsCase kComponentsCases[] = {
    {"typical installation, path without separator, everything registered", "", REG_SZ, false, true,
     kTypicalInstallation, kControlAndBothBrowsers, "4.5.6.7", "2.0.1.7 [7.2]", kTypicalRows, true},
    {"path ending with a backslash stays as stored", "\\", REG_EXPAND_SZ, false, true,
     {{"one.dll", kComponent1234}, {"sub\\x.dll", kComponent2017}}, kUnversionedControlAndMozillaPlugin, "",
     "1.2.3.4 [1.7.12 (en)]", {{"one.dll", "1.2.3.4"}, {"sub\\x.dll", "2.0.1.7"}}, false},
    {"path ending with a slash stays as stored", "/", REG_SZ, false, true,
     {{"one.dll", kComponent1234}, {"sub\\x.dll", kComponent2017}}, kNothingRegistered, "", "",
     {{"one.dll", "1.2.3.4"}, {"sub\\x.dll", "2.0.1.7"}}, false},
    {"missing folder: nothing listed, the path repaired all the same", "", REG_SZ, false, false, {},
     kNothingRegistered, "", "", {}, true},
    {"empty InstallPath: nothing listed, nothing written", "", REG_SZ, true, true,
     {{"one.dll", kComponent1234}}, kNothingRegistered, "", "", {}, false},
    {"no InstallPath: nothing listed", nullptr, REG_SZ, false, true, {{"one.dll", kComponent1234}},
     kNothingRegistered, "", "", {}, false},
};

class ComponentsTest : public MaintenanceTest {
protected:
    // A browser of one plug-in row: its version and per-version directory
    // in the registry, the plug-in (if any) in "<directory>\plugins".
    void RegisterBrowser(const char* versionKey, const std::string& version, const std::string& directory,
                         const char* plugin)
    {
        registry_.Set(HKEY_LOCAL_MACHINE, versionKey, TextValue("CurrentVersion", version));
        registry_.Set(HKEY_LOCAL_MACHINE, std::string(versionKey) + "\\" + version + "\\Main",
                      TextValue("Install Directory", directory));
        if (plugin != nullptr)
            CopyFromProgramFolder(plugin, JoinPath(directory, "plugins\\zaredazaro.dll"));
    }

    void Register(Registrations registrations)
    {
        const std::string control = JoinPath(ScratchRoot(), "Control\\player.ocx");
        const std::string browsers = JoinPath(ScratchRoot(), "Browsers");
        switch (registrations) {
        case kNothingRegistered:
            return;
        case kControlAndBothBrowsers:
            CopyFromProgramFolder(kComponent4567, control);
            registry_.Set(HKEY_CLASSES_ROOT, kControlServerKey, TextValue("", control));
            RegisterBrowser(kNetscapeKey, "7.2", JoinPath(browsers, "Netscape"), kComponent2017);
            RegisterBrowser(kMozillaKey, "1.7.12 (en)", JoinPath(browsers, "Mozilla"), kComponent1234);
            return;
        case kUnversionedControlAndMozillaPlugin:
            CopyFromProgramFolder(kComponentNoVersion, control);
            registry_.Set(HKEY_CLASSES_ROOT, kControlServerKey, TextValue("", control));
            RegisterBrowser(kNetscapeKey, "7.2", JoinPath(browsers, "Netscape"), nullptr);
            RegisterBrowser(kMozillaKey, "1.7.12 (en)", JoinPath(browsers, "Mozilla"), kComponent1234);
            return;
        }
    }
};

struct ShownComponents {
    std::string controlVersion;
    std::string pluginVersion;
    std::vector<ListColumn> columns;
    std::vector<ListRow> rows;
};

TEST_F(ComponentsTest, AdvancedInformationShowsInstalledVersionsAndRepairsInstallPath)
{
    int index = 0;
    for (const ComponentsCase& row : kComponentsCases) {
        SCOPED_TRACE(row.name);
        const std::string folder = JoinPath(ScratchRoot(), "Install" + std::to_string(++index));
        if (row.folderExists)
            MakeFolders(folder);
        for (const InstalledFile& file : row.files) {
            const std::string path = JoinPath(folder, file.relative);
            if (file.built != nullptr)
                CopyFromProgramFolder(file.built, path);
            else
                MakeFile(path, "not a library");
        }
        RegValue stored = {};
        if (row.pathEnd != nullptr) {
            stored = TextValue("InstallPath", row.emptyValue ? std::string() : folder + row.pathEnd);
            stored.type = row.type;
            registry_.Set(HKEY_LOCAL_MACHINE, kInstallKey, stored);
        } else {
            registry_.Remove(HKEY_LOCAL_MACHINE, kInstallKey, "InstallPath");
        }
        Register(row.registrations);

        sim::SimEngine engine;
        BuildStandardEngine(engine);
        ShownComponents shown;
        Run(engine, [&](DialogUser& user) {
            shown.controlVersion = ControlText(user.Item(kIeVersion));
            shown.pluginVersion = ControlText(user.Item(kNetscapeVersion));
            shown.columns = ListViewColumns(user.Item(kInstalledComponents));
            shown.rows = ListViewRows(user.Item(kInstalledComponents), 2);
            user.PressEsc();
        });

        EXPECT_EQ(row.controlVersion, shown.controlVersion) << "static 1008, the control's version";
        EXPECT_EQ(row.pluginVersion, shown.pluginVersion) << "static 1010, the plug-in's version [browser version]";
        EXPECT_EQ(std::vector<ListColumn>({{"File", 220}, {"Version", 70}}), shown.columns);
        EXPECT_EQ(row.rows, shown.rows) << "list 1007, sorted by file";

        RegValue after = {};
        const bool present = ReadRegValue(HKEY_LOCAL_MACHINE, kInstallKey, "InstallPath", &after);
        if (row.pathEnd == nullptr) {
            EXPECT_FALSE(present) << "InstallPath is not created";
        } else if (row.repaired) {
            EXPECT_EQ(TextValue("InstallPath", folder + "\\"), after) << "written back with its separator";
        } else {
            EXPECT_EQ(stored, after) << "left as stored";
        }
        registry_.Restore();
        RemoveTree(folder);
        RemoveTree(JoinPath(ScratchRoot(), "Control"));
        RemoveTree(JoinPath(ScratchRoot(), "Browsers"));
    }
    // Keys and values that are missing are an ordinary case for the
    // readers, not a fault: the log beside the module is never written.
    EXPECT_FALSE(PathExists(DiagnosticLogFile())) << DiagnosticLogFile() << " was written";
}

}  // namespace
}  // namespace e2e
