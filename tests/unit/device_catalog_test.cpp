// The device catalog on fake drivers: which devices and modes are accepted, in which order, the
// mode each device starts in, the default device, names, and the failure codes.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/device_catalog.h"
#include "support/fake_drivers.h"
#include "support/shell_test_support.h"

namespace {

using test_drivers::FakeDevice;
using test_drivers::FakeDriver;

const GUID SECOND_CARD_GUID = {0x5ec0, 0x0001, 0x0002, {1, 2, 3, 4, 5, 6, 7, 8}};

std::vector<std::string> ModeList(const DeviceInfo& record) {
    std::vector<std::string> modes;
    for (DWORD i = 0; i < record.modeCount; ++i) {
        const DDSURFACEDESC2& mode = record.modes[i];
        modes.push_back(std::to_string(mode.dwWidth) + "x" + std::to_string(mode.dwHeight) + "x" +
                        std::to_string(mode.ddpfPixelFormat.dwRGBBitCount));
    }
    return modes;
}

std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (DWORD i = 0; i < deviceCatalog.deviceCount; ++i) {
        names.push_back(deviceCatalog.records[i].name);
    }
    return names;
}

class DeviceCatalogTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell_test::ResetShellState();
        trace.emplace();
    }
    void TearDown() override {
        trace.reset();
        shell_test::ResetShellState();
    }
    // Made after the reset, which puts the standard debug output back.
    std::optional<shell_test::DebugCapture> trace;
};

TEST_F(DeviceCatalogTest, A16BitDeviceGetsItsThreeModesOutOfNineStartingAt640x480) {
    // Listed out of order, so that the sort shows.
    drivers::DriverBuilder driver = FakeDriver();
    for (DWORD bits : {32u, 8u, 16u}) {
        driver.Mode(1024, 768, bits).Mode(640, 480, bits).Mode(800, 600, bits);
    }
    host::ScopedDrivers drivers(
        {driver.Device(FakeDevice(IID_IDirect3DHALDevice, "HAL").RenderDepths(DDBD_16)).Build()});
    ASSERT_EQ(EnumerateDevices(nullptr), S_OK);
    ASSERT_EQ(deviceCatalog.deviceCount, 1u);
    const DeviceInfo& record = deviceCatalog.records[0];
    EXPECT_EQ(ModeList(record),
              (std::vector<std::string>{"640x480x16", "800x600x16", "1024x768x16"}));
    EXPECT_EQ(record.currentModeIndex, 0u);
    EXPECT_EQ(record.currentMode.dwWidth, 640u);
    EXPECT_EQ(record.currentMode.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_TRUE(record.hardware);
    EXPECT_TRUE(record.canRenderWindowed);
    EXPECT_TRUE(record.windowed) << "a device that can run in a window starts windowed";
    EXPECT_EQ(record.driverGuid, nullptr);
    EXPECT_EQ(record.deviceGuid, &record.deviceGuidStorage);
    EXPECT_TRUE(IsEqualGUID(*record.deviceGuid, IID_IDirect3DHALDevice));
    EXPECT_EQ(record.halCaps.dwSize, sizeof(DDCAPS));
}

TEST_F(DeviceCatalogTest, OnlyFourSizesAreOfferedAndNever1280x1024) {
    host::ScopedDrivers drivers({FakeDriver()
                                     .StandardModes()
                                     .Mode(320, 200, 16)
                                     .Mode(1600, 1200, 24)
                                     .Device(FakeDevice(IID_IDirect3DHALDevice, "HAL")
                                                 .RenderDepths(DDBD_16 | DDBD_24 | DDBD_32))
                                     .Build()});
    ASSERT_EQ(EnumerateDevices(nullptr), S_OK);
    EXPECT_EQ(ModeList(deviceCatalog.records[0]),
              (std::vector<std::string>{"640x480x16", "640x480x32", "800x600x16", "800x600x32",
                                        "1024x768x16", "1024x768x32", "1600x1200x16",
                                        "1600x1200x24", "1600x1200x32"}));
}

TEST_F(DeviceCatalogTest, ADeviceWithout640x480x16KeepsAZeroCurrentModeAndFailsFullScreen) {
    host::ScopedDrivers drivers(
        {FakeDriver()
             .StandardModes()
             .Device(FakeDevice(IID_IDirect3DHALDevice, "HAL").RenderDepths(DDBD_32))
             .Build()});
    ASSERT_EQ(EnumerateDevices(nullptr), S_OK);
    const DeviceInfo& record = deviceCatalog.records[0];
    EXPECT_EQ(ModeList(record).front(), "640x480x32");
    EXPECT_EQ(record.currentMode.dwWidth, 0u);
    EXPECT_EQ(record.currentMode.dwSize, 0u);
    EXPECT_EQ(record.currentModeIndex, 0u);
}

TEST_F(DeviceCatalogTest, TheDefaultIsTransformAndLightingThenHardwareThenSoftwareInFullScreen) {
    host::ScopedDrivers drivers(
        {FakeDriver()
             .StandardModes()
             .Device(FakeDevice(IID_IDirect3DRGBDevice, "RGB").Hardware(false))
             .Device(FakeDevice(IID_IDirect3DTnLHalDevice, "TnL"))
             .Device(FakeDevice(IID_IDirect3DHALDevice, "HAL"))
             .Device(FakeDevice(IID_IDirect3DRefDevice, "Ref").Hardware(false))
             .Build()});
    ASSERT_EQ(EnumerateDevices(nullptr), S_OK);
    EXPECT_EQ(Names(), (std::vector<std::string>{"RGB", "TnL", "HAL", "Ref"}));

    DeviceInfo* chosen = nullptr;
    ASSERT_EQ(SelectDefaultDevice(&chosen, 0), S_OK);
    ASSERT_NE(chosen, nullptr);
    EXPECT_STREQ(chosen->name, "TnL");
    EXPECT_FALSE(chosen->windowed) << "the default is always full screen";

    ASSERT_EQ(SelectDefaultDevice(&chosen, DEFAULT_SKIP_HARDWARE), S_OK);
    EXPECT_STREQ(chosen->name, "RGB") << "never the reference rasteriser";
    EXPECT_FALSE(chosen->windowed);
    EXPECT_EQ(SelectDefaultDevice(nullptr, 0), E_INVALIDARG);
}

TEST_F(DeviceCatalogTest, PlainHardwareIsTakenWhenThereIsNoTransformAndLightingDevice) {
    host::ScopedDrivers drivers(test_drivers::TypicalFakeDrivers());
    ASSERT_EQ(EnumerateDevices(nullptr), S_OK);
    DeviceInfo* chosen = nullptr;
    ASSERT_EQ(SelectDefaultDevice(&chosen, 0), S_OK);
    EXPECT_STREQ(chosen->name, "Fake HAL Device");
}

TEST_F(DeviceCatalogTest, TheReferenceRasteriserAloneGivesNoSoftwareDefault) {
    host::ScopedDrivers drivers(
        {FakeDriver()
             .StandardModes()
             .Device(FakeDevice(IID_IDirect3DHALDevice, "HAL"))
             .Device(FakeDevice(IID_IDirect3DRefDevice, "Ref").Hardware(false))
             .Build()});
    ASSERT_EQ(EnumerateDevices(nullptr), S_OK);
    DeviceInfo* chosen = &deviceCatalog.records[0];
    EXPECT_EQ(SelectDefaultDevice(&chosen, DEFAULT_SKIP_HARDWARE), CATALOG_E_NO_DEFAULT);
    EXPECT_EQ(chosen, &deviceCatalog.records[0]) << "the output is left unchanged";
}

TEST_F(DeviceCatalogTest, SecondaryDriversListOnlyHardwareUnderTheDriversDescription) {
    host::ScopedDrivers drivers(
        {FakeDriver()
             .StandardModes()
             .Device(FakeDevice(IID_IDirect3DHALDevice, "Primary HAL"))
             .Build(),
         FakeDriver()
             .Guid(SECOND_CARD_GUID)
             .Description("A second 3D card with a description longer than the name field")
             .StandardModes()
             .Device(FakeDevice(IID_IDirect3DHALDevice, "Card HAL"))
             .Device(FakeDevice(IID_IDirect3DRGBDevice, "Card RGB").Hardware(false))
             .Build()});
    ASSERT_EQ(EnumerateDevices(nullptr), S_OK);
    EXPECT_EQ(deviceCatalog.enumeratedCount, 3u);
    ASSERT_EQ(deviceCatalog.deviceCount, 2u);
    const DeviceInfo& card = deviceCatalog.records[1];
    EXPECT_EQ(std::string(card.name), std::string("A second 3D card with a description lo"));
    EXPECT_EQ(std::string(card.name).size(), 38u);
    ASSERT_NE(card.driverGuid, nullptr);
    EXPECT_EQ(card.driverGuid, &card.driverGuidStorage);
    EXPECT_TRUE(IsEqualGUID(*card.driverGuid, SECOND_CARD_GUID));
    EXPECT_FALSE(card.canRenderWindowed) << "only the primary display driver renders windowed";
    EXPECT_FALSE(card.windowed);
}

TEST_F(DeviceCatalogTest, EmptyAndFullyRejectedEnumerationsFailWithTheirTraces) {
    {
        host::ScopedDrivers drivers({FakeDriver().StandardModes().Build()});
        EXPECT_EQ(EnumerateDevices(nullptr), CATALOG_E_EMPTY);
        EXPECT_EQ(trace->Count("No devices and/or modes were enumerated!"), 1);
    }
    // A device with no usable mode, and one refused by the program's filter.
    auto refuseAll = [](DDCAPS*, D3DDEVICEDESC7* desc) -> HRESULT {
        return IsEqualGUID(desc->deviceGUID, IID_IDirect3DRGBDevice) ? E_FAIL : S_OK;
    };
    host::ScopedDrivers drivers(
        {FakeDriver()
             .Mode(1280, 1024, 16)
             .Mode(640, 480, 8)
             .Device(FakeDevice(IID_IDirect3DHALDevice, "HAL"))
             .Build(),
         FakeDriver()
             .StandardModes()
             .Device(FakeDevice(IID_IDirect3DRGBDevice, "RGB").Hardware(false))
             .Build()});
    EXPECT_EQ(EnumerateDevices(refuseAll), CATALOG_E_NONE_ACCEPTED);
    EXPECT_EQ(deviceCatalog.enumeratedCount, 2u);
    EXPECT_EQ(trace->Count("No enumerated devices were accepted!\n"), 1);
    EXPECT_EQ(trace->Count("Try enabling the D3D Reference Rasterizer.\n"), 1);
    EXPECT_EQ(deviceCatalog.records[0].modes, nullptr) << "a rejected slot keeps no modes";
}

TEST_F(DeviceCatalogTest, DevicesPastTheTwentiethAreCountedButNotKept) {
    drivers::DriverBuilder driver = FakeDriver();
    driver.StandardModes();
    for (int i = 0; i < 23; ++i) {
        driver.Device(FakeDevice(IID_IDirect3DHALDevice, "HAL " + std::to_string(i)));
    }
    host::ScopedDrivers drivers({driver.Build()});
    ASSERT_EQ(EnumerateDevices(nullptr), S_OK);
    EXPECT_EQ(deviceCatalog.deviceCount, DEVICE_CATALOG_SIZE);
    EXPECT_EQ(deviceCatalog.enumeratedCount, 23u);
    EXPECT_STREQ(deviceCatalog.records[19].name, "HAL 19");
}

TEST_F(DeviceCatalogTest, StereoCapabilityComesFromAnyUsableModeAndFreeingKeepsTheCounts) {
    host::ScopedDrivers drivers({FakeDriver()
                                     .Mode(640, 480, 16)
                                     .Mode(1152, 864, 16, DDSCAPS2_STEREOSURFACELEFT)
                                     .Mode(800, 600, 8, DDSCAPS2_STEREOSURFACELEFT)
                                     .Device(FakeDevice(IID_IDirect3DHALDevice, "HAL"))
                                     .Build()});
    ASSERT_EQ(EnumerateDevices(nullptr), S_OK);
    const DeviceInfo& record = deviceCatalog.records[0];
    EXPECT_TRUE(record.stereoCapable) << "the 1152 x 864 mode is not offered but counts";
    EXPECT_EQ(ModeList(record), std::vector<std::string>{"640x480x16"});

    DeviceInfo* records = nullptr;
    DWORD count = 0;
    GetDevices(&records, &count);
    EXPECT_EQ(records, deviceCatalog.records);
    EXPECT_EQ(count, 1u);
    GetDevices(nullptr, nullptr);

    FreeDevices();
    EXPECT_EQ(record.modes, nullptr);
    EXPECT_EQ(deviceCatalog.deviceCount, 1u);
    FreeDevices();
}

TEST_F(DeviceCatalogTest, ModesSortByWidthThenHeightThenDepth) {
    DDSURFACEDESC2 a{}, b{};
    a.dwWidth = b.dwWidth = 800;
    a.dwHeight = 600;
    b.dwHeight = 480;
    EXPECT_EQ(CompareModes(&a, &b), 1);
    b.dwHeight = 600;
    a.ddpfPixelFormat.dwRGBBitCount = 16;
    b.ddpfPixelFormat.dwRGBBitCount = 32;
    EXPECT_EQ(CompareModes(&a, &b), -1);
    b.ddpfPixelFormat.dwRGBBitCount = 16;
    EXPECT_EQ(CompareModes(&a, &b), 0);
    b.dwWidth = 0xFFFFFFFFu; // unsigned: the largest width sorts last
    EXPECT_EQ(CompareModes(&a, &b), -1);
}

} // namespace
