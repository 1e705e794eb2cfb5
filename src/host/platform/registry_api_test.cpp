// The registry functions and the profile manager as the module uses them.
#include <gtest/gtest.h>

#include <cstring>

#include "host/platform/platform_test_support.h"
#include "sdk/arx.h"
#include "sdk/win32.h"

namespace host {
namespace {

class RegistryApiTest : public testing::SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    options().templates_dir = "/opt/t";
    Open();
  }
};

TEST_F(RegistryApiTest, TheModulesWayToTheTemplateFolder) {
  char* key = nullptr;
  acProfileManagerPtr()->ProfileRegistryKey(key, platform().CurrentProfileName().c_str());
  ASSERT_NE(key, nullptr);
  EXPECT_STREQ(key,
               "HKEY_CURRENT_USER\\Software\\Dravolin\\Host\\R15.0\\Profiles\\<<Unnamed Profile>>");
  delete[] key;

  HKEY general = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER,
                            "Software\\Dravolin\\Host\\R15.0\\Profiles\\<<Unnamed "
                            "Profile>>\\GENERAL",
                            0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &general,
                            &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  BYTE buffer[260] = {};
  DWORD size = sizeof buffer;
  DWORD type = REG_NONE;
  ASSERT_EQ(RegQueryValueExA(general, "TemplatePath", nullptr, &type, buffer, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_STREQ(reinterpret_cast<char*>(buffer), "/opt/t");
  EXPECT_EQ(size, 7u);  // with the terminating zero
  EXPECT_EQ(RegCloseKey(general), ERROR_SUCCESS);
  EXPECT_EQ(platform().open_keys(), 0u);
  EXPECT_EQ(RegCloseKey(general), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryApiTest, KeysAreFoundWithoutRegardToCaseAndCreatedWhenMissing) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(
      RegCreateKeyExA(HKEY_CURRENT_USER,
                      "SOFTWARE\\dravolin\\HOST\\r15.0\\profiles\\<<UNNAMED PROFILE>>\\general", 0,
                      nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
      ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "TEMPLATEPATH", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 7u);
  RegCloseKey(key);

  // The module's path without a profile key: GENERAL right under the root.
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "GENERAL", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  EXPECT_EQ(RegQueryValueExA(key, "TemplatePath", nullptr, nullptr, nullptr, &size),
            ERROR_FILE_NOT_FOUND);
  // A subkey of an open key.
  HKEY sub = nullptr;
  ASSERT_EQ(RegCreateKeyExA(key, "Sub\\Deeper", 0, nullptr, 0, KEY_READ, nullptr, &sub, nullptr),
            ERROR_SUCCESS);
  EXPECT_TRUE(platform().registry().HasKey("general\\sub\\deeper"));
  RegCloseKey(sub);
  RegCloseKey(key);
  // Created keys are in the file.
  EXPECT_NE(testing::ReadTextFile(dir() + "/registry.txt").find("[GENERAL\\Sub\\Deeper]"),
            std::string::npos);
}

TEST_F(RegistryApiTest, BadKeyPathsAndHandlesAreRefused) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "\\GENERAL", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_BAD_PATHNAME);
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "A\\\\B", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_BAD_PATHNAME);
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "A", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, nullptr,
                            nullptr),
            ERROR_INVALID_PARAMETER);
  HKEY bogus = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x12345));
  EXPECT_EQ(RegCreateKeyExA(bogus, "A", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_INVALID_HANDLE);
  DWORD size = 4;
  BYTE buffer[4];
  EXPECT_EQ(RegQueryValueExA(bogus, "x", nullptr, nullptr, buffer, &size), ERROR_INVALID_HANDLE);
  EXPECT_EQ(platform().open_keys(), 0u);
}

TEST_F(RegistryApiTest, SmallBuffersGetMoreDataAndStayUntouched) {
  std::string err;
  std::string long_value(300, 'x');
  ASSERT_TRUE(platform().registry().SetValue("Software\\T", "TemplatePath", long_value, &err));
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\T", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  char buffer[260];
  std::memset(buffer, 0, sizeof buffer);
  DWORD size = sizeof buffer;
  EXPECT_EQ(RegQueryValueExA(key, "TemplatePath", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                             &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 301u);  // what it needs
  EXPECT_EQ(buffer[0], '\0');
  // Exactly the size needed is enough; one less is not.
  ASSERT_TRUE(platform().registry().SetValue("Software\\T", "v", "abc", &err));
  size = 3;
  EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
            ERROR_MORE_DATA);
  size = 4;
  EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(buffer, "abc");
  // A buffer without its size is refused.
  EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), nullptr),
            ERROR_INVALID_PARAMETER);
  RegCloseKey(key);
}

TEST_F(RegistryApiTest, ProfilesComeFromTheRegistry) {
  std::string err;
  RegistryStore& reg = platform().registry();
  bool created = false;
  ASSERT_TRUE(reg.CreateKey(std::string(kProfilesKey) + "\\Werkstatt", &created, &err));
  ASSERT_TRUE(reg.SetValue(kProfilesKey, "", "werkstatt", &err));
  EXPECT_EQ(platform().CurrentProfileName(), "werkstatt");
  char* key = nullptr;
  acProfileManagerPtr()->ProfileRegistryKey(key, "WERKSTATT");
  ASSERT_NE(key, nullptr);
  EXPECT_STREQ(key, "HKEY_CURRENT_USER\\Software\\Dravolin\\Host\\R15.0\\Profiles\\Werkstatt");
  delete[] key;

  // An unknown profile leaves the key alone.
  key = nullptr;
  acProfileManagerPtr()->ProfileRegistryKey(key, "Niemand");
  EXPECT_EQ(key, nullptr);
  acProfileManagerPtr()->ProfileRegistryKey(key, "..\\Werkstatt");
  EXPECT_EQ(key, nullptr);
  acProfileManagerPtr()->ProfileRegistryKey(key, nullptr);
  EXPECT_EQ(key, nullptr);

  // A current profile that does not exist falls back to the default one.
  ASSERT_TRUE(reg.SetValue(kProfilesKey, "@", "weg", &err));
  EXPECT_EQ(platform().CurrentProfileName(), "<<Unnamed Profile>>");
}

TEST_F(RegistryApiTest, AFaultyRegistryFileIsSaidOnceOnTheCommandLine) {
  // A fresh session over a file that cannot be parsed.
  testing::WriteTextFile(dir() + "/bad.txt", "garbage\n");
  options().registry_file = dir() + "/bad.txt";
  Open();
  EXPECT_EQ(platform().CurrentProfileName(), "<<Unnamed Profile>>");
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  const std::string& shown = channel().transcript();
  size_t first = shown.find("Registrierung: ");
  ASSERT_NE(first, std::string::npos) << shown;
  EXPECT_NE(shown.find(":1: expected \"[Key\\Path]\" or \"Name=Value\""), std::string::npos);
  EXPECT_EQ(shown.find("Registrierung: ", first + 1), std::string::npos);
  EXPECT_EQ(testing::ReadTextFile(dir() + "/bad.txt"), "garbage\n");
}

}  // namespace
}  // namespace host
