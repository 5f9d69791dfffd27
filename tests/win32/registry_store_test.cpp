// The settings in the registry, under a key of the test's own: opened or
// created at start, text values read back whatever their form, any other type
// told apart (the core refuses it as "Invalid data type for '<name>'").
#include <gtest/gtest.h>

#include "frontends/win32/shell/registry_store.h"

namespace vorlak {
namespace {

constexpr const wchar_t* kTestKey = L"Software\\Selvane\\VorlakTest";
using Kind = SettingsStore::Value::Kind;

struct RegistryStoreTest : ::testing::Test {
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }
    static void setRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        HKEY key;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kTestKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes);
        RegCloseKey(key);
    }
};

TEST_F(RegistryStoreTest, OpeningCreatesTheKeyAndWrittenValuesAreTextWithTheirZero) {
    RegistryStore store(HKEY_CURRENT_USER, kTestKey);
    ASSERT_TRUE(store.isOpen());
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kTestKey, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    EXPECT_EQ(store.read("SoundMode").kind, Kind::Missing);
    EXPECT_EQ(readInteger(store, "SoundMode", -1), -1);

    writeInteger(store, "SoundMode", 2);
    writeInteger(store, "System", -1);
    wchar_t text[16] = {};
    DWORD type = 0, bytes = sizeof text;
    ASSERT_EQ(RegQueryValueExW(key, L"System", nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, 3 * sizeof(wchar_t));
    EXPECT_STREQ(text, L"-1");
    EXPECT_EQ(readInteger(store, "SoundMode", -1), 2);
    EXPECT_EQ(readInteger(RegistryStore(HKEY_CURRENT_USER, kTestKey), "System", 7), -1);  // kept across openings
}

TEST_F(RegistryStoreTest, TextIsReadWhateverItsFormAndOtherTypesAreNotText) {
    RegistryStore store(HKEY_CURRENT_USER, kTestKey);
    setRaw(L"SoundMode", REG_SZ, L"1", sizeof(wchar_t));  // without its terminating zero
    EXPECT_EQ(store.read("SoundMode").text, "1");
    setRaw(L"SoundMode", REG_EXPAND_SZ, L"0", 2 * sizeof(wchar_t));
    EXPECT_EQ(store.read("SoundMode").text, "0");
    setRaw(L"SoundMode", REG_SZ, L"x1", 3 * sizeof(wchar_t));
    EXPECT_EQ(readInteger(store, "SoundMode", -1), -1);
    const std::wstring longText(1000, L'1');
    setRaw(L"SoundMode", REG_SZ, longText.c_str(), static_cast<DWORD>((longText.size() + 1) * sizeof(wchar_t)));
    EXPECT_EQ(store.read("SoundMode").kind, Kind::Text);
    EXPECT_EQ(readInteger(store, "SoundMode", -1), -1);

    const DWORD number = 1;
    setRaw(L"SoundMode", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(store.read("SoundMode").kind, Kind::NotText);
    try {
        readInteger(store, "SoundMode", -1);
        FAIL() << "a REG_DWORD value was read";
    } catch (const InvalidDataType& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'SoundMode'");
    }
    setRaw(L"System", REG_BINARY, "1", 1);
    EXPECT_EQ(store.read("System").kind, Kind::NotText);
}

}  // namespace
}  // namespace vorlak
