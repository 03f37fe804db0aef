#include "platform/x11/KeyMapping.h"

#include <gtest/gtest.h>
#include "platform/x11/KeySymbols.h"

#include <cstdint>
#include <ostream>
#include <vector>

// Readable failure messages; found by gtest through argument-dependent lookup.
void PrintTo(const WindowsKey& key, std::ostream* out) {
    *out << std::hex << "{vk 0x" << int{key.virtualKey} << ", scan 0x" << int{key.scanCode}
         << (key.extended ? ", extended}" : "}");
}

namespace {

constexpr bool kExt = true;

struct KeySymCase {
    uint32_t keysym;
    WindowsKey key;
};

struct ReverseCase {
    WindowsKey key;
    uint32_t keysym;
};

TEST(KeyMappingTest, EveryKeyRoundTripsToItsFirstSymbol) {
    for (const KeyRow& row : KeyRows()) {
        ASSERT_NE(row.keySyms[0], 0u);
        for (uint32_t keysym : row.keySyms) {
            if (keysym == 0) continue;
            SCOPED_TRACE(testing::Message() << std::hex << "keysym 0x" << keysym);
            WindowsKey key = WindowsKeyFromKeySym(keysym);
            EXPECT_EQ(key, row.key);
            EXPECT_EQ(KeySymFromWindowsKey(key.virtualKey, key.scanCode, key.extended),
                      row.keySyms[0]);
        }
    }
}

TEST(KeyMappingTest, KeySymsGiveTheKeysOfAPcKeyboard) {
    const KeySymCase cases[] = {
        {XK_A, {'A', 0x1E, false}},
        {XK_z, {'Z', 0x2C, false}},
        {XK_exclam, {'1', 0x02, false}},
        {XK_0, {'0', 0x0B, false}},
        {XK_F1, {0x70, 0x3B, false}},
        {XK_F12, {0x7B, 0x58, false}},
        {XK_F24, {0x87, 0x76, false}},
        {XK_ISO_Left_Tab, {0x09, 0x0F, false}},
        {XK_Shift_L, {0x10, 0x2A, false}},
        {XK_Shift_R, {0x10, 0x36, false}},
        {XK_Control_L, {0x11, 0x1D, false}},
        {XK_Control_R, {0x11, 0x1D, kExt}},
        {XK_Alt_L, {0x12, 0x38, false}},
        {XK_ISO_Level3_Shift, {0x12, 0x38, kExt}},
        {XK_Super_R, {0x5C, 0x5C, kExt}},
        {XK_Menu, {0x5D, 0x5D, kExt}},
        {XK_Num_Lock, {0x90, 0x45, kExt}},
        {XK_Pause, {0x13, 0x45, false}},
        {XK_Break, {0x03, 0x46, kExt}},
        {XK_Print, {0x2C, 0x37, kExt}},
        {XK_Return, {0x0D, 0x1C, false}},
        {XK_KP_Enter, {0x0D, 0x1C, kExt}},
        {XK_Home, {0x24, 0x47, kExt}},
        {XK_KP_Home, {0x24, 0x47, false}},
        {XK_KP_7, {0x67, 0x47, false}},
        {XK_KP_0, {0x60, 0x52, false}},
        {XK_KP_Delete, {0x2E, 0x53, false}},
        {XK_KP_Divide, {0x6F, 0x35, kExt}},
        {XK_slash, {0xBF, 0x35, false}},
        {XK_asciitilde, {0xC0, 0x29, false}},
        {XK_less, {0xE2, 0x56, false}},
        {XK_Zenkaku_Hankaku, {0x19, 0x29, false}},
        {XK_Henkan_Mode, {0x1C, 0x79, false}},
        {XK_Muhenkan, {0x1D, 0x7B, false}},
        {XK_Hiragana_Katakana, {0xF2, 0x70, false}},
        {XF86XK_AudioMute, {0xAD, 0x20, kExt}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "keysym 0x" << c.keysym);
        EXPECT_EQ(WindowsKeyFromKeySym(c.keysym), c.key);
    }
}

TEST(KeyMappingTest, UnknownKeySymsGiveNoWindowsKey) {
    for (uint32_t keysym : {0u, uint32_t{XK_ssharp}, uint32_t{XK_dead_acute}, 0x12345678u}) {
        EXPECT_EQ(WindowsKeyFromKeySym(keysym), WindowsKey{}) << std::hex << keysym;
    }
}

TEST(KeyMappingTest, WindowsKeysGiveTheKeySymToPress) {
    const ReverseCase cases[] = {
        // Flags and scan codes pick among keys sharing a code.
        {{0x11, 0x1D, false}, XK_Control_L},
        {{0x11, 0x1D, kExt}, XK_Control_R},
        {{0x12, 0x38, kExt}, XK_Alt_R},
        {{0x10, 0x36, false}, XK_Shift_R},
        {{0x0D, 0x1C, false}, XK_Return},
        {{0x0D, 0x1C, kExt}, XK_KP_Enter},
        {{0x24, 0x47, kExt}, XK_Home},
        {{0x24, 0x47, false}, XK_KP_Home},
        {{0x13, 0x45, false}, XK_Pause},
        {{0x03, 0x46, kExt}, XK_Break},
        // A scan code of another keyboard falls back to code and flag, then code alone.
        {{'A', 0x00, false}, XK_a},
        {{0x10, 0x00, false}, XK_Shift_L},
        {{0x11, 0x00, kExt}, XK_Control_R},
        {{0x2D, 0x00, kExt}, XK_Insert},
        {{'Q', 0x10, kExt}, XK_q},
        // Codes that name a key of the table another way.
        {{0xA1, 0x36, kExt}, XK_Shift_R},
        {{0xA3, 0x1D, false}, XK_Control_R},
        {{0xA4, 0x38, false}, XK_Alt_L},
        {{0xF3, 0x29, false}, XK_Zenkaku_Hankaku},
        {{0xF4, 0x29, false}, XK_Zenkaku_Hankaku},
        // Unknown codes.
        {{0x00, 0x00, false}, 0},
        {{0x07, 0x00, false}, 0},
        {{0xFF, 0x1E, false}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "vk 0x" << int{c.key.virtualKey});
        EXPECT_EQ(KeySymFromWindowsKey(c.key.virtualKey, c.key.scanCode, c.key.extended), c.keysym);
    }
}

TEST(KeyMappingTest, CandidatesListEverySymbolOfTheMatchedKeys) {
    EXPECT_EQ(KeySymsFromWindowsKey(0x12, 0x38, kExt),
              (std::vector<uint32_t>{XK_Alt_R, XK_ISO_Level3_Shift, XK_Mode_switch, XK_Meta_R}));
    EXPECT_EQ(KeySymsFromWindowsKey('A', 0x1E, false), (std::vector<uint32_t>{XK_a, XK_A}));
    EXPECT_EQ(KeySymsFromWindowsKey(0x10, 0x00, false),
              (std::vector<uint32_t>{XK_Shift_L, XK_Shift_R}));
    EXPECT_TRUE(KeySymsFromWindowsKey(0xFF, 0x00, false).empty());
}

TEST(KeyMappingTest, ParametersFollowTheJournalLayout) {
    struct Case {
        WindowsKey key;
        uint32_t paramL;
        uint32_t paramH;
    };
    const Case cases[] = {
        {{'A', 0x1E, false}, 0x1E41, 0x0001},
        {{0x11, 0x1D, kExt}, 0x1D11, 0x8001},
        {{0x03, 0x46, kExt}, 0x4603, 0x8001},
        {{0xFF, 0xFF, kExt}, 0xFFFF, 0x8001},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeyParamL(c.key), c.paramL);
        EXPECT_EQ(KeyParamH(c.key), c.paramH);
        EXPECT_EQ(WindowsKeyFromParams(c.paramL, c.paramH), c.key);
    }
}

TEST(KeyMappingTest, BreakCarriesTheCodeThatEndsARecording) {
    EXPECT_EQ(KeyParamL(WindowsKeyFromKeySym(XK_Break)) & 0xFF, 3u);
}

TEST(KeyMappingTest, DecodingIgnoresBitsOutsideTheKeyFields) {
    EXPECT_EQ(WindowsKeyFromParams(0xABCD1E41, 0x7FFF), (WindowsKey{'A', 0x1E, false}));
    EXPECT_EQ(WindowsKeyFromParams(0x00001D11, 0xC0018000), (WindowsKey{0x11, 0x1D, kExt}));
}

TEST(KeyMappingTest, HandedOverParametersRecoverTheExtendedFlag) {
    struct Case {
        uint32_t paramL;
        uint32_t paramH;
        WindowsKey key;
    };
    const Case cases[] = {
        {0x2D, 0x52, {0x2D, 0x52, kExt}},     // Insert, not keypad 0 with NumLock off
        {0x11, 0x1D, {0x11, 0x1D, false}},    // left Ctrl
        {0xA3, 0x1D, {0xA3, 0x1D, kExt}},     // right Ctrl by its own code
        {0x6F, 0x35, {0x6F, 0x35, kExt}},     // keypad Divide
        {0xBF, 0x35, {0xBF, 0x35, false}},    // slash
        {0x41, 0x00, {0x41, 0x00, false}},    // unknown scan code
        {0x141, 0x11E, {0x41, 0x1E, false}},  // only the low bytes count
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WindowsKeyFromHandedParams(c.paramL, c.paramH), c.key) << std::hex << c.paramL;
    }
}

}  // namespace
