// ConfigTest.cpp - see ConfigTest.h. Usage: config_e2e.exe --config-dll=PATH [--heap-canary | gtest
// options]. --heap-canary overruns two heap blocks on purpose: both heap checks (Wine's, guard bytes) see it.
#include "ConfigTest.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>

#include "MsvcHost.h"

namespace e2e {

namespace fs = std::filesystem;

namespace {

HMODULE configModule = nullptr;
sim::MsvcHost* msvcHost = nullptr;
HWND playerWindow = nullptr;
std::string playerDirectory;
thread_local long stackMoved = 0;  // players on several threads call DoConfig at once
thread_local int entryAlignment = 0;

// The player calls DoConfig through a caller-cleans pointer; on i686 the call is made by hand (docs/TESTING.md,
// "Calling conventions"): a callee that removed its own arguments would leave the stack 8 bytes higher.
int __cdecl DoConfigCheckingTheStack(PlayerHost* host, HWND parent)
{
    const auto doConfig =
        reinterpret_cast<DoConfigFunction>(reinterpret_cast<void*>(GetProcAddress(configModule, "DoConfig")));
#if defined(__i386__)
    static std::atomic<int> calls{0};
    entryAlignment = 4 * (calls++ % 4);
    // At entry, after two arguments and the return address: (aligned - offset - 12) mod 16. Then the
    // result, and where the stack pointer came back (8 above the arguments for a caller-cleans callee).
    struct { void* function; PlayerHost* host; HWND parent; long offset; int result; long moved; } call = {
        reinterpret_cast<void*>(doConfig), host, parent, (4 - entryAlignment) & 15, 0, 0};
    asm volatile("mov %%esp, %%esi; and $-16, %%esp; sub 12(%%ebx), %%esp; mov %%esp, %%edi;"
                 "push 8(%%ebx); push 4(%%ebx); call *(%%ebx); mov %%eax, 16(%%ebx);"
                 "lea 8(%%esp), %%ecx; sub %%edi, %%ecx; mov %%ecx, 20(%%ebx); mov %%esi, %%esp"
                 : : "b"(&call) : "eax", "ecx", "edx", "esi", "edi", "memory", "cc");
    stackMoved = call.moved;
    return call.result;
#else
    return doConfig(host, parent);
#endif
}

void Overrun(void* block, std::size_t size)
{
    for (std::size_t i = 0; i < size + 8; ++i)
        static_cast<volatile char*>(block)[i] = 0x5A;
}

DisplayMode Mode(int width, int height, int bits = 32) { return DisplayMode{width, height, bits, 60}; }

}  // namespace

RenderDriverDesc* Player::GetDriverDesc(int driver)
{
    RenderDriverDesc* desc = Unless(undescribed.count(driver), SimEngine::GetDriverDesc(driver));
    if (desc == nullptr || modesWithheld.count(driver) == 0)
        return desc;
    withheld_ = *desc;
    withheld_.displayModes = nullptr;
    return &withheld_;
}

HWND PlayerWindow() { return playerWindow; }
HMODULE LoadedModule() { return configModule; }
const std::string& PlayerDirectory() { return playerDirectory; }

void WriteFile(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    if (path.back() != '\\')
        std::ofstream(path, std::ios::binary) << bytes;
}

void Install(const std::string& which, const std::string& path)
{
    WriteFile(path, "");
    CopyFileA((PlayerDirectory() + "..\\..\\e2e_component_" + which + ".dll").c_str(), path.c_str(), FALSE);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()) : "(no file)";
}

void ClearPlayer()
{
    DeleteKey(HKEY_LOCAL_MACHINE, "Software\\Kestrova");
    DeleteKey(HKEY_CURRENT_USER, "Software\\Kestrova");
    DeleteKey(HKEY_CLASSES_ROOT, "CLSID\\{6E3A91D4-2B7C-4F05-A8D1-93C47E52B0A6}");
    DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape");
    DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\mozilla.org");
    Store(HKEY_CURRENT_USER, kSystemProxyKey, {Dword("ProxyEnable", 0), Text("ProxyServer", "")});
    RemoveTree(PlayerDirectory() + "MediaCache");
    DeleteFileA((PlayerDirectory() + "KestrovaWebPlayer.log").c_str());
}

void ConfigTest::SetUp()
{
    ClearPlayer();
    calls = std::make_unique<SystemCalls>(configModule);
}

void ConfigTest::TearDown()
{
    EXPECT_EQ(calls->Held(), std::vector<std::string>()) << "left open or damaged by the module";
    EXPECT_EQ(calls->Unfired(), std::vector<std::string>()) << "faults that failed no call";
    calls.reset();
}

void ConfigTest::BuildPlayer(Player& engine, const std::vector<int>& contexts)
{
    engine.AddDriver(sim::HardwareDriver("HW One", {Mode(640, 480, 16), Mode(640, 480), Mode(800, 600),
                                                    Mode(640, 48), Mode(1024, 768)}));
    engine.AddDriver(sim::HardwareDriver("HW Two", {Mode(640, 48), Mode(640, 480), Mode(1280, 1024)}));
    sim::SimDriver overlay = sim::HardwareDriver("Overlay", {Mode(720, 576)});
    overlay.capabilities = 0;
    engine.AddDriver(overlay);
    engine.AddDriver(sim::SoftwareDriver("SW Raster", {Mode(320, 240, 16), Mode(640, 480, 16)}));
    for (int driver : contexts)
        driver < 0 ? (void)engine.nullContexts.insert(engine.AddContext(0)) : (void)engine.AddContext(driver);
}

Session ConfigTest::Run(Player& engine, const Script& script, HWND parent)
{
    PlayerHost* host = engine.handsOverNoHost ? nullptr : msvcPlayer ? msvcHost->For(engine) : engine.Host();
    stackMoved = 0;
    const Session session = sim::RunDoConfig(DoConfigCheckingTheStack, host, parent, script);
    EXPECT_EQ(stackMoved, 0) << "DoConfig entered at " << entryAlignment << " mod 16 moved the caller's stack";
    EXPECT_TRUE(session.shown) << "the settings dialog did not appear";
    EXPECT_FALSE(session.leftOpen) << "the script could not close the dialog";
    EXPECT_EQ(session.returned, 1);
    EXPECT_EQ(session.problems, std::vector<std::string>());
    EXPECT_TRUE(engine.Balanced()) << ::testing::PrintToString(engine.Violations());
    return session;
}

std::string ConfigTest::Play(const Scenario& row, const Look& look, HWND parent)
{
    DeleteKey(HKEY_LOCAL_MACHINE, kSettingsKey);
    if (!row.settings.empty())
        Store(HKEY_LOCAL_MACHINE, kSettingsKey, row.settings);
    Player engine;
    row.player ? row.player(engine) : BuildPlayer(engine);
    std::string seen;
    Run(engine, [&](User& user) {
        engine.Mark("act");
        if (row.act)
            row.act(user);
        if (look)
            seen = look(user, engine);
        if (user.Open())
            user.Press(VK_ESCAPE);
    }, parent);
    EXPECT_EQ(calls->Unfired(), std::vector<std::string>()) << "faults that failed no call";
    EXPECT_EQ(calls->Held(), std::vector<std::string>()) << "left open or damaged by the module";
    return seen;
}

void ConfigTest::PlayAll(const std::vector<Scenario>& rows, const Look& look)
{
    for (const Scenario& row : rows) {
        SCOPED_TRACE(row.name);
        calls->Reset(row.faults);
        EXPECT_EQ(Play(row, look), row.expected);
    }
}

std::string ConfigTest::JournalOfAct(const Player& engine)
{
    const std::vector<std::string> journal = engine.Journal();
    const auto marked = std::find(journal.begin(), journal.end(), "# act");
    return Joined(std::vector<std::string>(marked == journal.end() ? marked : marked + 1, journal.end()));
}

std::string ConfigTest::Joined(const std::vector<std::string>& lines, const char* separator)
{
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : separator) + line;
    return text;
}

}  // namespace e2e

int main(int argc, char** argv)
{
    // The runner tells a program that could not start from one that failed.
    std::printf("config_e2e started (%d-bit)\n", static_cast<int>(sizeof(void*) * 8));
    std::fflush(stdout);
    const bool canary = argc > 2 && std::strcmp(argv[2], "--heap-canary") == 0;
    ::testing::InitGoogleTest(&argc, argv);
    const std::string dllPath = argc > 1 && std::strncmp(argv[1], "--config-dll=", 13) == 0 ? argv[1] + 13 : "";
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    // The module finds its media cache and its log beside itself, in a scratch player folder.
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    e2e::playerDirectory = std::filesystem::path(self).parent_path().string() + "\\scratch\\player\\";
    std::filesystem::remove_all(e2e::playerDirectory);
    std::filesystem::create_directories(e2e::playerDirectory);
    // The player runs in its own folder: a path made relative would name the player's files.
    SetCurrentDirectoryA(e2e::playerDirectory.c_str());
    const std::string installed = e2e::playerDirectory + "Config.dll";
    CopyFileA(dllPath.c_str(), installed.c_str(), FALSE);
    // Away from the screen's corner: a dialog at its owner's origin is not at the screen's.
    e2e::playerWindow = CreateWindowA("STATIC", "Kestrova Dad Azizov Player (test)", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                      40, 30, 480, 360, nullptr, nullptr, nullptr, nullptr);
    sim::MsvcHost msvcHost;
    e2e::msvcHost = &msvcHost;
    if ((e2e::configModule = LoadLibraryA(installed.c_str())) == nullptr || e2e::playerWindow == nullptr ||
        !msvcHost.Loaded()) {
        std::fprintf(stderr, "usage: config_e2e --config-dll=PATH, on a display, MsvcPlayer.dll beside it (cannot load \"%s\")\n",
                     dllPath.c_str());
        return 2;
    }
    if (canary) {
        // Through the module's own allocator import, as the module allocates.
        e2e::SystemCalls calls(e2e::configModule);
        const auto moduleMalloc = reinterpret_cast<void*(__cdecl*)(std::size_t)>(calls.Imported("malloc"));
        const auto moduleFree = reinterpret_cast<void(__cdecl*)(void*)>(calls.Imported("free"));
        void* block = moduleMalloc(16);
        e2e::Overrun(block, 16);
        moduleFree(block);
        std::printf("Guard bytes: %zu overruns reported\n", calls.Held().size());
        std::fflush(stdout);
        // Wine 10 does not check small blocks of a size used often: its canary is 1 KiB. It may end the program.
        block = std::malloc(1024);
        e2e::Overrun(block, 1024);
        std::free(block);
        return 0;
    }
    // The module's first exception is met here: the blocks its runtime then makes and keeps count against no row.
    {
        e2e::Store(HKEY_LOCAL_MACHINE, e2e::kInstallKey, {e2e::Text("InstallPath", e2e::PlayerDirectory())});
        e2e::SystemCalls calls(e2e::configModule);
        e2e::Player engine;
        calls.Reset(e2e::StarvingAfter("RegQueryValueExA *InstallPath"));
        sim::RunDoConfig(e2e::DoConfigCheckingTheStack, engine.Host(), e2e::playerWindow,
                         [](e2e::User& user) { user.Press(VK_ESCAPE); });
        e2e::ClearPlayer();
    }
    return RUN_ALL_TESTS();  // the module unloads as the process ends, as when the browser closes
}
