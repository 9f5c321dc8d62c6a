// What the two executables carry: the manifest the system reads before starting them, the
// version, the icon and pictures, and (only in the sandbox) the simulated PC.
#include <string>

#include "tests/win/win_test_support.h"

namespace pyr {
namespace {

class ExecutableResources : public ::testing::TestWithParam<const wchar_t*> {};

// The manifest as the system reads it: administrator rights, Common Controls 6 and per-monitor
// DPI awareness (v2 with v1 as the fallback).
TEST_P(ExecutableResources, ManifestVersionIconAndPictures) {
  const ExecutableAsData exe(GetParam());
  ASSERT_NE(exe.Module(), nullptr) << "missing executable";
  const std::string manifest = exe.Resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
  EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos);
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
  ReleaseActCtx(activation);
  DWORD handle = 0;
  EXPECT_GT(GetFileVersionInfoSizeW(exe.Path().c_str(), &handle), 0u);
  EXPECT_NE(FindResourceW(exe.Module(), MAKEINTRESOURCEW(1), RT_GROUP_ICON), nullptr);
  for (int id = 21; id <= 42; ++id) {
    EXPECT_NE(FindResourceW(exe.Module(), MAKEINTRESOURCEW(id), L"IMAGE"), nullptr) << id;
  }
}

INSTANTIATE_TEST_SUITE_P(BothExecutables, ExecutableResources,
                         ::testing::Values(L"Pyravel.exe", L"pyravel-sandbox.exe"));

TEST(SandboxResources, OnlyTheSandboxCarriesTheSimulatedPc) {
  const ExecutableAsData sandbox(L"pyravel-sandbox.exe");
  // The data itself is the fixture file every sandbox test loads.
  EXPECT_FALSE(sandbox.Resource(RT_RCDATA, MAKEINTRESOURCEW(200)).empty());
  const ExecutableAsData product(L"Pyravel.exe");
  EXPECT_EQ(FindResourceW(product.Module(), MAKEINTRESOURCEW(200), RT_RCDATA), nullptr);
}

}  // namespace
}  // namespace pyr
