#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TestText.h"

using namespace platform_test;

namespace {

// Each run works below a key of its own, so runs at the same time (and the real registry under
// Wine) are never disturbed; the key goes when the test ends.
class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        GUID unique{};
        ASSERT_EQ(CoCreateGuid(&unique), S_OK);
        base_ = "Software\\Orvel27Tests\\" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(unique.Data1);
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Orvel27Tests"); // only when no other run uses it
    }

    std::string Path(const std::string& sub) const { return base_ + "\\" + sub; }

    HKEY Create(const std::string& sub, DWORD* disposition = nullptr) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Path(sub).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, disposition),
                  ERROR_SUCCESS);
        return key;
    }

    LSTATUS Open(const std::string& sub, HKEY& key) {
        key = nullptr;
        return RegOpenKeyExA(HKEY_CURRENT_USER, Path(sub).c_str(), 0, KEY_READ, &key);
    }

    static std::vector<std::string> SubkeysOf(HKEY key) {
        std::vector<std::string> names;
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD length = sizeof(name);
            LSTATUS rc = RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (rc != ERROR_SUCCESS) {
                EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
                return names;
            }
            names.emplace_back(name, length);
        }
    }

    static LSTATUS SetString(HKEY key, const char* name, const std::string& value) {
        return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1));
    }

    std::string base_;
};

} // namespace

TEST_F(Registry, ValuesRoundTripWithSizeQueries) {
    DWORD disposition = 0;
    HKEY key = Create("Class\\InprocServer32", &disposition);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));

    const std::string text = Ansi("Драйвер ККТ 2.0");
    ASSERT_EQ(SetString(key, nullptr, text), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "ThreadingModel", "Apartment"), ERROR_SUCCESS);
    const DWORD count = 42;
    ASSERT_EQ(RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof(count)),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    // Names of keys and values are found in any case.
    ASSERT_EQ(Open("CLASS\\inprocserver32", key), ERROR_SUCCESS);
    DWORD type = REG_NONE, size = 0;
    ASSERT_EQ(RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    ASSERT_GE(size, text.size() + 1);

    std::string value(size, 'x');
    DWORD shortSize = 4;
    EXPECT_EQ(RegQueryValueExA(key, "", nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &shortSize),
              ERROR_MORE_DATA);
    EXPECT_GE(shortSize, text.size() + 1);
    ASSERT_EQ(RegQueryValueExA(key, "", nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, text.size() + 1);
    EXPECT_STREQ(value.c_str(), text.c_str());

    DWORD number = 0;
    size = sizeof(number);
    ASSERT_EQ(RegQueryValueExA(key, "COUNT", nullptr, &type, reinterpret_cast<BYTE*>(&number), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(number, 42u);
    EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, ReopeningAndOverwritingKeepOneKey) {
    HKEY key = Create("Once");
    ASSERT_EQ(SetString(key, "Name", "first"), ERROR_SUCCESS);
    RegCloseKey(key);
    DWORD disposition = 0;
    key = Create("once", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    ASSERT_EQ(SetString(key, "NAME", "second"), ERROR_SUCCESS);

    char value[16] = {};
    DWORD size = sizeof(value);
    ASSERT_EQ(RegQueryValueExA(key, "name", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size), ERROR_SUCCESS);
    EXPECT_STREQ(value, "second");
    ASSERT_EQ(RegDeleteValueA(key, "Name"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(key, "Name"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);

    HKEY root = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, base_.c_str(), 0, KEY_READ, &root), ERROR_SUCCESS);
    EXPECT_EQ(SubkeysOf(root), std::vector<std::string>{"Once"});
    RegCloseKey(root);
}

TEST_F(Registry, SubkeysAreListedAlphabeticallyIgnoringCase) {
    for (const char* name : {"beta", "Alpha", "gamma"})
        RegCloseKey(Create(std::string("List\\") + name));
    HKEY key = nullptr;
    ASSERT_EQ(Open("List", key), ERROR_SUCCESS);
    EXPECT_EQ(SubkeysOf(key), (std::vector<std::string>{"Alpha", "beta", "gamma"}));

    char name[3];
    DWORD length = sizeof(name);
    EXPECT_EQ(RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    RegCloseKey(key);
}

TEST_F(Registry, KeysWithSubkeysAreDeletedOnlyAsATree) {
    RegCloseKey(Create("Tree\\Branch\\Leaf"));
    EXPECT_NE(RegDeleteKeyA(HKEY_CURRENT_USER, Path("Tree\\Branch").c_str()), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, Path("Tree\\Branch\\Leaf").c_str()), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, Path("Tree\\Branch\\Leaf").c_str()), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, Path("Tree\\Branch").c_str()), ERROR_SUCCESS);

    RegCloseKey(Create("Tree\\Branch\\Leaf"));
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, Path("Tree").c_str()), ERROR_SUCCESS);
    HKEY key = nullptr;
    EXPECT_EQ(Open("Tree", key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, Path("Tree").c_str()), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, TreeWithoutSubkeyNameEmptiesTheKeyButKeepsIt) {
    HKEY key = Create("Keep");
    RegCloseKey(Create("Keep\\Child"));
    ASSERT_EQ(SetString(key, "Value", "x"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteTreeA(key, nullptr), ERROR_SUCCESS);
    EXPECT_TRUE(SubkeysOf(key).empty());
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Value", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    EXPECT_EQ(Open("Keep", key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(Registry, HandleOfADeletedKeyOrNoKeyIsRefused) {
    HKEY key = Create("Gone");
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, Path("Gone").c_str()), ERROR_SUCCESS);
    EXPECT_EQ(SetString(key, "Name", "x"), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    HKEY madeUp = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x7654320));
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(madeUp, "Name", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(madeUp), ERROR_INVALID_HANDLE);
}
