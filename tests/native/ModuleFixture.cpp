// ModuleFixture.cpp - see ModuleFixture.h.
#include "ModuleFixture.h"

#include "ConfigModule.h"
#include "MemoryDialogs.h"
#include "SettingsDialog.h"
#include "resources/resource.h"

const char kConfigKey[] = "Software\\Kestrova\\DadAzizov\\Config";

void ModuleTest::SetUp()
{
    memplat::Reset();
    RegisterModuleDialogs();
    NewEngine(StandardDrivers(), {0, 0});
}

void ModuleTest::TearDown()
{
    EXPECT_EQ(0, memplat::OpenKeyCount()) << "registry keys left open";
    EXPECT_TRUE(engine().Balanced()) << "AcquireContext and ReleaseContext unbalanced, or engine used outside them";
    if (dialog_ != nullptr)
        memplat::DestroyDialogWindow(dialog_);
    CurrentPlayerHost = nullptr;
    memplat::Reset();
}

plat::Window ModuleTest::OpenSettings()
{
    dialog_ = memplat::CreateDialogWindow(IDD_SETTINGS, SettingsDlgProc);
    return dialog_;
}

plat::Window ModuleTest::BareSettings()
{
    dialog_ = memplat::CreateDialogWindow(IDD_SETTINGS, nullptr);
    return dialog_;
}

std::intptr_t ModuleTest::SelectedDriver() const
{
    plat::Window list = Item(IDC_RENDER_DRIVER);
    return plat::ComboGetItemData(list, plat::ComboGetCurSel(list));
}

void ModuleTest::SelectDriverEntry(const std::string& name)
{
    const std::intptr_t index = plat::ComboFindString(Item(IDC_RENDER_DRIVER), -1, name.c_str());
    ASSERT_NE(plat::kCbErr, index) << "no driver entry " << name;
    memplat::SelectComboItem(dialog_, IDC_RENDER_DRIVER, static_cast<int>(index));
}

void ModuleTest::StoreDword(const std::string& name, std::uint32_t value)
{
    memplat::PutDword(plat::HKeyLocalMachine(), kConfigKey, name, value);
}

std::uint32_t ModuleTest::StoredDword(const std::string& name) const
{
    plat::Dword type = 0;
    std::string bytes;
    if (!memplat::GetValue(plat::HKeyLocalMachine(), kConfigKey, name, &type, &bytes)) {
        ADD_FAILURE() << "value " << name << " is not stored";
        return 0xDEADBEEF;
    }
    EXPECT_EQ(plat::kRegDword, type) << name;
    EXPECT_EQ(4u, bytes.size()) << name;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < bytes.size() && i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return value;
}

sim::SimEngine& ModuleTest::NewEngine(const std::vector<sim::SimDriver>& drivers, const std::vector<int>& contexts)
{
    engine_.reset(new sim::SimEngine);
    for (const sim::SimDriver& driver : drivers)
        engine_->AddDriver(driver);
    for (int driver : contexts) {
        if (driver < 0)
            engine_->AddNullContext();
        else
            engine_->AddContext(driver);
    }
    CurrentPlayerHost = engine_->Host();
    return *engine_;
}

Calls ModuleTest::Switches() const
{
    Calls calls;
    for (const std::string& call : engine_->Journal())
        if (call != "acquire" && call != "release" && call.find(".getindex") == std::string::npos)
            calls.push_back(call);
    return calls;
}

sim::SimDriver Driver(const std::string& name, int hardware, unsigned int capabilities,
                      const std::vector<DisplayMode>& modes)
{
    sim::SimDriver driver;
    driver.name = name;
    driver.hardware = hardware;
    driver.capabilities = capabilities;
    driver.displayModes = modes;
    return driver;
}

std::vector<sim::SimDriver> StandardDrivers()
{
    const std::vector<DisplayMode> hardwareModes = {
        {640, 480, 16, 60}, {640, 480, 32, 60}, {800, 600, 16, 60}, {800, 600, 32, 60},
        {1024, 768, 16, 60}, {1024, 768, 32, 60}, {1280, 1024, 32, 60}};
    const std::vector<DisplayMode> softwareModes = {{800, 600, 16, 0}, {640, 480, 16, 0}, {320, 240, 16, 0}};
    return {
        Driver("Hardware Accelerated T&L", 1, 1, hardwareModes),
        Driver("Hardware Rasterizer", 1, 1, {{1024, 768, 32, 60}, {1600, 1200, 32, 60}}),
        Driver("Software Rasterizer", 0, 1, softwareModes),
        Driver("Hidden Debug Driver", 0, 0, softwareModes),
    };
}
