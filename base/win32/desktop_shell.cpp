// Opening an address as the desktop user: the elevated program asks the shell's desktop window
// (run by Explorer, as the user who logged on) to start it, so the browser does not inherit the
// administrator's token. Each step is one documented shell interface call.
#include <windows.h>

#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "base/win32/process.h"
#include "base/win32/wchar.h"

namespace pyr {

namespace {

// Owns one COM interface reference.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (p_) p_->Release();
  }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  T** Receive() { return &p_; }
  void** ReceiveVoid() { return reinterpret_cast<void**>(&p_); }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// Owns a VARIANT.
struct Variant {
  VARIANT v;
  Variant() { VariantInit(&v); }
  explicit Variant(long value) : Variant() {
    v.vt = VT_I4;
    v.lVal = value;
  }
  ~Variant() { VariantClear(&v); }
};

// The desktop's IShellDispatch2: ShellWindows finds the desktop's window, its top-level browser
// gives the active view, and the view's background object leads to the shell's Application.
bool DesktopShell(ComRef<IShellDispatch2>& shell) {
  ComRef<IShellWindows> windows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                              windows.ReceiveVoid()))) {
    return false;
  }
  Variant desktop(CSIDL_DESKTOP), none;
  long window = 0;
  ComRef<IDispatch> found;
  // S_FALSE: no such window; the dispatch pointer is then null.
  if (windows->FindWindowSW(&desktop.v, &none.v, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, found.Receive()) != S_OK ||
      !found) {
    return false;
  }
  ComRef<IServiceProvider> provider;
  ComRef<IShellBrowser> browser;
  ComRef<IShellView> view;
  ComRef<IDispatch> background, application;
  ComRef<IShellFolderViewDual> folderView;
  return SUCCEEDED(found->QueryInterface(IID_IServiceProvider, provider.ReceiveVoid())) &&
         SUCCEEDED(provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.ReceiveVoid())) &&
         SUCCEEDED(browser->QueryActiveShellView(view.Receive())) &&
         SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.ReceiveVoid())) &&
         SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual, folderView.ReceiveVoid())) &&
         SUCCEEDED(folderView->get_Application(application.Receive())) && application &&
         SUCCEEDED(application->QueryInterface(IID_IShellDispatch2, shell.ReceiveVoid()));
}

}  // namespace

bool ShellOpenAsDesktopUser(const WideText& target) {
  ComRef<IShellDispatch2> shell;
  if (DesktopShell(shell)) {
    BSTR file = SysAllocString(W(target));
    Variant none, show(SW_SHOWNORMAL);
    const HRESULT started = file ? shell->ShellExecute(file, none.v, none.v, none.v, show.v) : E_OUTOFMEMORY;
    SysFreeString(file);
    if (SUCCEEDED(started)) return true;
  }
  return ShellOpen(target) != 0;
}

}  // namespace pyr
