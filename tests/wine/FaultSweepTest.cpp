// FaultSweepTest.cpp - whole sessions again and again, a fault at the next call of the module's fallible
// imports each time, in the two modes docs/TESTING.md describes ("one call", "from call k on"), each point
// on a fresh thread, with the checks it lists. CONFIG_SWEEP=full sweeps every point, else a sample.
#include "ConfigTest.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <regex>
#include <thread>

namespace e2e {
namespace {

// The module's fallible imports and how each fails; the first four are its memory.
const std::pair<const char*, long long> kFallible[] = {
    {"malloc", 0}, {"calloc", 0}, {"realloc", 0}, {"GlobalAlloc", 0}, {"RegOpenKeyExA", ERROR_ACCESS_DENIED},
    {"RegCreateKeyA", ERROR_ACCESS_DENIED}, {"RegCreateKeyExA", ERROR_ACCESS_DENIED}, {"RegQueryValueExA", ERROR_MORE_DATA},
    {"RegSetValueExA", ERROR_ACCESS_DENIED}, {"fopen", 0}, {"GetModuleFileNameA", 0}, {"FindFirstFileA", -1},
    {"CreateFileA", -1}, {"GetFileInformationByHandle", 0}, {"GetFileVersionInfoSizeA", 0},
    {"GetFileVersionInfoA", 0}, {"VerQueryValueA", 0}, {"SHFileOperationA", 0x7C}};
const int kMemoryImports = 4;
const int kAllMemory = -1, kAllSystem = -2;  // the onward mode's two kinds of points
const std::size_t kSample[] = {60, 40};      // points of each mode in a sampled run
const unsigned kSeed = 20261207;

struct SweepSession { const char* name; bool installed; Script act; };

const SweepSession kSessions[] = {
    {"open, then Enter", false, [](User& user) { user.Press(VK_RETURN); }},
    {"a driver switch, then &Close", false, [](User& user) { user.Pick(1001, "HW Two"), user.Click(1); }},
    {"the network dialog filled, then &Ok", false, [](User& user) {
         user.OpenNetworkSettings();
         user.Pick(1015, "HTTP");
         user.Click(1012);
         user.Type(1010, "proxy.example.internal"), user.Type(1011, "8080");
         user.Type(1016, "a user of the proxy"), user.Type(1017, "a password of the user");
         user.Click(1018);
         MessageBoxText(user);  // closes the warning a failure may bring
         if (user.NetworkOpen())
             user.Click(1019);
         user.Press(VK_ESCAPE);
     }},
    {"&Delete Temporary Files", false, [](User& user) { user.Click(1002), user.Press(VK_ESCAPE); }},
    {"the components report read", true, [](User& user) { user.Press(VK_ESCAPE); }},
};

void Prepare(const SweepSession& session)
{
    const std::string scratch = PlayerDirectory() + "..\\sweep\\";
    ClearPlayer();
    WriteFile(PlayerDirectory() + "MediaCache\\old\\clip.bin", "cached");
    Store(HKEY_CURRENT_USER, kSystemProxyKey, {Dword("ProxyEnable", 1), Text("ProxyServer", "system.proxy:3128")});
    if (!session.installed)
        return;
    for (const char* file : {"engine.dll", "codecs\\video.dll", "plugins\\zaredazaro.dll"})
        Install("65535_0_0_1", scratch + file);
    Store(HKEY_LOCAL_MACHINE, kInstallKey, {Text("InstallPath", scratch.substr(0, scratch.size() - 1))});
    Store(HKEY_CLASSES_ROOT, kControlKey, {Text("", scratch + "engine.dll")});
    Store(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape\\Netscape", {Text("CurrentVersion", "7.1")});
    Store(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape\\Netscape\\7.1\\Main", {Text("Install Directory", scratch)});
}

// The values in the module's keys not of their own type and size (a 4-byte REG_DWORD for the numbers, a
// REG_SZ ending at its one NUL for the texts); sessions start from such values.
std::string Misstored()
{
    const std::string stored = KeyText(HKEY_LOCAL_MACHINE, kSettingsKey) + "; " +
                               KeyText(HKEY_CURRENT_USER, kNetworkKey) + "; " + KeyText(HKEY_LOCAL_MACHINE, kInstallKey);
    const std::regex number("(AutoUpdate|RenderEngine|fsWidth|fsHeight|Set32bits|ForceRenderMode|proxy_port|proxy_auth)=.*");
    const std::regex dword("\\w+=REG_DWORD \\d+"), text("\\w+=REG_SZ \"(?:(?!\\\\0).)*\\\\0\""), separator("; ");
    std::string wrong;
    for (std::sregex_token_iterator value(stored.begin(), stored.end(), separator, -1), end; value != end; ++value) {
        const bool fits = std::regex_match(value->str(), std::regex_match(value->str(), number) ? dword : text);
        wrong += fits || *value == "" || *value == "(no key)" ? "" : value->str() + " ";  // a key without values holds none
    }
    return wrong;
}

// Whether the log holds only whole entries (an exception's tab, its located part).
bool WholeEntries(const std::string& log)
{
    return std::regex_match(log, std::regex("(\t|Catched Exception\t\\(\\\\SetupUtils\\.cpp : Line 291\\)\r\n)*"));
}

std::string Seen(User& user, Player&)
{
    const std::string seen = Settings(user) + " | " + Shown(user, 1008) + " | " + Shown(user, 1010) + " | " +
                              ComponentsList(user.Item(1007));
    user.Press(VK_RETURN);
    return seen;
}

// The calls a fault of function (an import's index, kAllMemory or kAllSystem) stands in for.
std::vector<std::pair<std::string, long long>> Patterns(int function)
{
    std::vector<std::pair<std::string, long long>> patterns;
    for (int f = 0; f < static_cast<int>(std::size(kFallible)); ++f)
        if (f == function || (function == kAllMemory && f < kMemoryImports) || (function == kAllSystem && f >= kMemoryImports))
            patterns.emplace_back(kFallible[f].first + std::string("*"), kFallible[f].second);  // a line may be the name alone
    return patterns;
}

struct Point { std::size_t session; int function; int call; };

// Sweeps every point of a mode, or its sample; ends with the line
// "[ sweep    ] <mode>: <swept> of <all> fault points swept (...), <survived> survived".
void Sweep(ConfigTest& test, bool onward)
{
    const char* const mode = onward ? "from call k on" : "one call";
    const bool full = std::getenv("CONFIG_SWEEP") != nullptr && std::string(std::getenv("CONFIG_SWEEP")) == "full";
    // One run of each session, with the faults its points keep, counts the points; one shows what it shows.
    std::vector<Point> points;
    std::vector<std::string> normal;
    for (std::size_t s = 0; s < std::size(kSessions); ++s) {
        Prepare(kSessions[s]);
        normal.push_back(test.Play({}, Seen));
        Prepare(kSessions[s]);
        test.calls->Reset(!onward && kSessions[s].installed ? StarvingAfter("RegQueryValueExA HKCR\\*") : nullptr);
        test.Play({kSessions[s].name, {}, nullptr, kSessions[s].act, ""}, nullptr);
        for (int function = onward ? kAllSystem : 0; function < (onward ? 0 : static_cast<int>(std::size(kFallible)));
             ++function) {
            std::size_t count = 0;
            for (const auto& pattern : Patterns(function))
                count += test.calls->Calls({pattern.first.c_str()}).size();
            for (std::size_t k = 1; k <= count; ++k)
                points.push_back({s, function, static_cast<int>(k)});
        }
    }
    const std::size_t all = points.size();
    if (!full && all > kSample[onward]) {
        std::mt19937 random(kSeed);
        std::shuffle(points.begin(), points.end(), random);
        points.resize(kSample[onward]);
    }

    std::size_t survived = 0, swept = 0;
    for (const Point& point : points) {
        const SweepSession& session = kSessions[point.session];
        const std::string call = std::to_string(point.call);
        const std::string function = point.function == kAllMemory   ? "every allocation"
                                     : point.function == kAllSystem ? "every other fallible call"
                                                                    : kFallible[point.function].first;
        const std::string name = std::string(session.name) + ", " + (onward ? "from call " + call + " on, " + function
                                                                            : "call " + call + " of " + function) + " failing";
        std::printf("[ sweep    ] %s %zu/%zu %s\n", mode, ++swept, points.size(), name.c_str());
        std::fflush(stdout);
        const int failuresBefore = ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
        Prepare(session);
        test.calls->Reset([&](SystemCalls& faults) {
            if (onward)
                return faults.FailFrom(point.call, Patterns(point.function));
            // An exception for the log to take, as memory running out while the control's path is read.
            if (session.installed)
                StarvingAfter("RegQueryValueExA HKCR\\*")(faults);
            faults.Fail(function + "*", kFallible[point.function].second, point.call);
        });
        // On a thread that never met an exception in the module, over a player window of its own.
        std::thread([&] {
            SCOPED_TRACE(name);
            HWND parent = CreateWindowA("STATIC", "Kestrova Dad Azizov Player (a thread of its own)",
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 40, 480, 360, nullptr, nullptr, nullptr, nullptr);
            Player engine;
            ConfigTest::BuildPlayer(engine);
            test.Run(engine, session.act, parent);  // DoConfig back with 1, no dialog left open, the engine balanced
            const std::size_t journalAtReturn = engine.Journal().size();
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
            EXPECT_EQ(engine.Journal().size(), journalAtReturn) << "the engine was called after DoConfig returned";
            const std::vector<std::string> unfired = test.calls->Unfired();
            EXPECT_TRUE(std::none_of(unfired.begin(), unfired.end(),
                                     [&](const std::string& fault) { return fault.find("(call " + call) != std::string::npos; }))
                << "the call to fail was not made";
            EXPECT_EQ(test.calls->Held(), std::vector<std::string>()) << "left open or damaged by the module";
            EXPECT_EQ(Misstored(), "") << "stored with another type or size";
            const std::string log = ReadFile(PlayerDirectory() + "KestrovaWebPlayer.log");
            EXPECT_TRUE(log == "(no file)" || WholeEntries(log)) << "the log holds part of an entry: " << log;
            if (onward) {  // the same process, the same thread, works as it does without faults
                Prepare(session);
                test.calls->Reset();
                EXPECT_EQ(test.Play({}, Seen, parent), normal[point.session])
                    << "the next session differs from one without faults";
            }
            DestroyWindow(parent);
        }).join();
        survived += ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count() == failuresBefore;
    }
    std::printf("[ sweep    ] %s: %zu of %zu fault points swept (%s), %zu survived\n", mode, points.size(), all,
                full ? "all" : ("a sample, seed " + std::to_string(kSeed)).c_str(), survived);
}

TEST_F(ConfigTest, EverySessionSurvivesEachFallibleCallFailingInTurn) { Sweep(*this, false); }

TEST_F(ConfigTest, EverySessionSurvivesMemoryOrTheSystemExhaustedFromEachCallOnOnAFreshThread) { Sweep(*this, true); }

}  // namespace
}  // namespace e2e
