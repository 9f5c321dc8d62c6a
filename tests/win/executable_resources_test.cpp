// What the two executables carry: the manifest the system reads before starting them, the
// version, the icon and pictures, and (only in the sandbox) the simulated PC.
#include <string>

#include "sandbox/simulated_pc.h"
#include "tests/win/win_test_support.h"

namespace pyr {
namespace {

class ExecutableResources : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(ExecutableResources, ManifestAsksForAdministratorCommonControlsFiveSystemsAndPerMonitorDpi) {
  const ExecutableAsData exe(GetParam());
  ASSERT_NE(exe.Module(), nullptr) << "missing executable";
  const std::string manifest = exe.Resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
  ASSERT_FALSE(manifest.empty());
  EXPECT_NE(manifest.find("level=\"requireAdministrator\" uiAccess=\"false\""), std::string::npos);
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos);
  for (const char* id :
       {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
    EXPECT_NE(manifest.find(id), std::string::npos) << id;
  }
  // Per-monitor DPI awareness, as the system reads the manifest: v2 with v1 as the fallback, and
  // the older element for the systems before.
  ACTCTXW context{};
  context.cbSize = sizeof(context);
  context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  context.lpSource = exe.Path().c_str();
  context.lpResourceName = MAKEINTRESOURCEW(1);
  const HANDLE activation = CreateActCtxW(&context);
  ASSERT_NE(activation, INVALID_HANDLE_VALUE);
  const auto setting = [&](const wchar_t* ns, const wchar_t* name) {
    wchar_t value[64] = {};
    SIZE_T written = 0;
    QueryActCtxSettingsW(0, activation, ns, name, value, 64, &written);
    return std::wstring(value);
  };
  EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
            L"PerMonitorV2, PerMonitor");
  EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
            L"true/pm");
  ReleaseActCtx(activation);
}

TEST_P(ExecutableResources, FileVersionIsOneOneZeroZero) {
  const ExecutableAsData exe(GetParam());
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.Path().c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoW(exe.Path().c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(1, 1));
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 0));
  wchar_t* text = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904B0\\FileVersion",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_STREQ(text, L"1.1.0.0");
}

TEST_P(ExecutableResources, IconAndTheTwentyTwoPictures) {
  const ExecutableAsData exe(GetParam());
  EXPECT_NE(FindResourceW(exe.Module(), MAKEINTRESOURCEW(1), RT_GROUP_ICON), nullptr);
  for (int id = 21; id <= 42; ++id) {
    EXPECT_NE(FindResourceW(exe.Module(), MAKEINTRESOURCEW(id), L"IMAGE"), nullptr) << id;
  }
}

INSTANTIATE_TEST_SUITE_P(BothExecutables, ExecutableResources,
                         ::testing::Values(L"Pyravel.exe", L"pyravel-sandbox.exe"));

TEST(SandboxResources, OnlyTheSandboxCarriesTheSimulatedPc) {
  const ExecutableAsData sandbox(L"pyravel-sandbox.exe");
  const std::string fixture = sandbox.Resource(RT_RCDATA, MAKEINTRESOURCEW(200));
  ASSERT_FALSE(fixture.empty());
  SimulatedPc pc;
  std::string error;
  EXPECT_TRUE(ParseSimulatedPc(fixture, &pc, &error)) << error;
  EXPECT_GT(pc.devices.size(), 100u);

  const ExecutableAsData product(L"Pyravel.exe");
  EXPECT_EQ(FindResourceW(product.Module(), MAKEINTRESOURCEW(200), RT_RCDATA), nullptr);
}

}  // namespace
}  // namespace pyr
