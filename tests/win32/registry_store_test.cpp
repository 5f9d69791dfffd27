// The settings in the registry, under a key of the test's own: opened or
// created at start, decimal text read back with the fallback for anything
// else, and a value that is not text refused with the error the launcher shows.
#include <gtest/gtest.h>

#include "frontends/win32/shell/registry_store.h"

namespace vorlak {
namespace {

constexpr const wchar_t* kTestKey = L"Software\\Selvane\\VorlakTest";

struct RegistryStoreTest : ::testing::Test {
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }
    static void setRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        HKEY key;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kTestKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes);
        RegCloseKey(key);
    }
    static void setText(const wchar_t* name, const std::wstring& text, bool withZero = true) {
        setRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + (withZero ? 1 : 0)) * sizeof(wchar_t)));
    }
};

TEST_F(RegistryStoreTest, OpeningCreatesTheKeyAndWrittenValuesAreDecimalTextWithTheirZero) {
    RegistryStore store(HKEY_CURRENT_USER, kTestKey);
    ASSERT_TRUE(store.isOpen());
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kTestKey, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    EXPECT_FALSE(store.valueExists("SoundMode"));
    EXPECT_EQ(store.readInteger("SoundMode", -1), -1);

    EXPECT_TRUE(store.writeInteger("SoundMode", 2));
    EXPECT_TRUE(store.writeInteger("System", -1));
    wchar_t text[16] = {};
    DWORD type = 0, bytes = sizeof text;
    ASSERT_EQ(RegQueryValueExW(key, L"System", nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, 3 * sizeof(wchar_t));
    EXPECT_STREQ(text, L"-1");
    EXPECT_EQ(store.readInteger("SoundMode", -1), 2);
    EXPECT_EQ(RegistryStore(HKEY_CURRENT_USER, kTestKey).readInteger("System", 7), -1);  // kept across openings
}

TEST_F(RegistryStoreTest, TextThatIsNotADecimalIntegerReadsAsTheFallback) {
    RegistryStore store(HKEY_CURRENT_USER, kTestKey);
    setText(L"SoundMode", L"1", false);  // stored without its terminating zero
    EXPECT_EQ(store.readInteger("SoundMode", -1), 1);
    for (const wchar_t* text : {L"", L"abc", L"1x", L" 1", L"0x10", L"99999999999", L"-", L"1.0"}) {
        setText(L"SoundMode", text);
        EXPECT_EQ(store.readInteger("SoundMode", -1), -1) << "text '" << testing::PrintToString(std::wstring(text));
    }
    setText(L"SoundMode", L"+7");
    EXPECT_EQ(store.readInteger("SoundMode", -1), 7);
    setText(L"SoundMode", L"-2147483648");
    EXPECT_EQ(store.readInteger("SoundMode", -1), -2147483647 - 1);
    setText(L"SoundMode", std::wstring(200, L'1'));
    EXPECT_EQ(store.readInteger("SoundMode", -1), -1);
    const std::wstring expandable = L"0";
    setRaw(L"System", REG_EXPAND_SZ, expandable.c_str(), 2 * sizeof(wchar_t));
    EXPECT_EQ(store.readInteger("System", -1), 0);
}

TEST_F(RegistryStoreTest, AValueThatIsNotTextIsRefusedWithItsName) {
    RegistryStore store(HKEY_CURRENT_USER, kTestKey);
    const DWORD number = 1;
    setRaw(L"SoundMode", REG_DWORD, &number, sizeof number);
    try {
        store.readInteger("SoundMode", -1);
        FAIL() << "a REG_DWORD value was read";
    } catch (const InvalidDataType& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'SoundMode'");
    }
    setRaw(L"System", REG_BINARY, "1", 1);
    EXPECT_THROW(store.readInteger("System", -1), InvalidDataType);
    EXPECT_TRUE(store.valueExists("System"));
}

}  // namespace
}  // namespace vorlak
