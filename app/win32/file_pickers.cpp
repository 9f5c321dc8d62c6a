#include "app/win32/file_pickers.h"

#include <commdlg.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "base/file_system.h"
#include "base/win32/system_library.h"
#include "base/win32/wchar.h"

namespace pyr {

namespace {

constexpr uint32_t kForceOldDialog = 0x80000000u;

template <typename T>
class ComPtr {
 public:
  ~ComPtr() {
    if (p_) p_->Release();
  }
  T** Out() { return &p_; }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

class CoText {
 public:
  ~CoText() { CoTaskMemFree(p_); }
  wchar_t** Out() { return &p_; }
  const wchar_t* Get() const { return p_; }

 private:
  wchar_t* p_ = nullptr;
};

// S_OK with a path, S_FALSE when the user cancelled, an error when the dialog is not available.
HRESULT PickWithFileDialog(WideText* text, const WideText& title, uint32_t options, HWND owner) {
  ComPtr<IFileDialog> dialog;
  HRESULT hr = CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileDialog,
                                reinterpret_cast<void**>(dialog.Out()));
  if (FAILED(hr)) return hr;
  FILEOPENDIALOGOPTIONS fos = FOS_PICKFOLDERS;
  if (options & BIF_RETURNONLYFSDIRS) fos |= FOS_FORCEFILESYSTEM;
  if (options & BIF_NOTRANSLATETARGETS) fos |= FOS_NODEREFERENCELINKS;
  dialog->SetOptions(fos);
  dialog->SetTitle(W(title));
  // An existing folder is where the dialog opens, and picking at once picks it; any other text
  // goes into the name box.
  ComPtr<IShellItem> start;
  if (IsRealDirectory(*text) &&
      SUCCEEDED(SHCreateItemFromParsingName(W(*text), nullptr, IID_IShellItem, reinterpret_cast<void**>(start.Out())))) {
    dialog->SetFolder(start.Get());
  } else if (!text->Empty()) {
    dialog->SetFileName(W(*text));
  }
  hr = dialog->Show(owner);
  if (FAILED(hr)) return S_FALSE;  // cancelled or closed
  ComPtr<IShellItem> item;
  if (FAILED(dialog->GetResult(item.Out()))) return S_FALSE;
  CoText name;
  if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, name.Out()))) {
    if ((fos & FOS_FORCEFILESYSTEM) || FAILED(item->GetDisplayName(SIGDN_DESKTOPABSOLUTEPARSING, name.Out()))) {
      return S_FALSE;
    }
  }
  text->Assign(U(name.Get()));
  return S_OK;
}

// The older dialog selects the starting folder once it is up (BFFM_SETSELECTIONW with a path).
int CALLBACK SelectStartFolder(HWND dialog, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED && start != 0) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, start);
  return 0;
}

bool PickWithOldDialog(WideText* text, const WideText& title, uint32_t options, HWND owner) {
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  const WideText start = IsRealDirectory(*text) ? *text : WideText();
  info.lpfn = SelectStartFolder;
  info.lParam = start.Empty() ? 0 : reinterpret_cast<LPARAM>(W(start));
  info.lpszTitle = W(title);
  info.ulFlags = (options & ~kForceOldDialog) | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
  PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info);
  if (!list) return false;
  std::vector<wchar_t> buffer(5096, L'\0');
  const bool ok = SHGetPathFromIDListW(list, buffer.data()) != FALSE;
  CoTaskMemFree(list);
  if (ok) text->Assign(U(buffer.data()));
  return ok;
}

}  // namespace

bool BrowseForFolder(WideText* text, const WideText& title, uint32_t options, HWND owner) {
  bool picked = false;
  HRESULT hr = E_FAIL;
  if (!(options & kForceOldDialog)) hr = PickWithFileDialog(text, title, options, owner);
  if (hr == S_OK) {
    picked = true;
  } else if (FAILED(hr)) {
    picked = PickWithOldDialog(text, title, options, owner);
  }
  // "D:\" stays as it is; "D:\Backup\" loses its backslash.
  if (picked && text->Length() > 3 && text->View().back() == u'\\') text->DropRight(1);
  return picked;
}

namespace {

// Loaded when a dialog is first asked for, not with the program: the common dialog library
// brings the print spooler's libraries with it, a cost every start-up would pay. It stays
// loaded, as a static import would.
const SystemLibrary& CommonDialogs() {
  static const SystemLibrary dialogs(L"comdlg32.dll");
  return dialogs;
}

}  // namespace

bool SaveExportFileDialog(WideText* text, int* filterIndex, HWND owner) {
  std::vector<wchar_t> result(2048, L'\0');
  static const wchar_t kFilter[] = L"CSV files (*.csv)\0*.csv\0JSON files (*.json)\0*.json\0";
  OPENFILENAMEW info{};
  info.lStructSize = sizeof info;
  info.hwndOwner = owner;
  info.lpstrFilter = kFilter;
  info.nFilterIndex = 1;
  info.lpstrFile = result.data();
  info.nMaxFile = static_cast<DWORD>(result.size());
  info.lpstrTitle = L"Export list";
  // With a default extension set, an Explorer-style dialog adds the picked filter's extension to a
  // name typed without one.
  info.lpstrDefExt = L"csv";
  info.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN | OFN_HIDEREADONLY;
  const auto save = CommonDialogs().GetProc<decltype(&GetSaveFileNameW)>("GetSaveFileNameW");
  if (save == nullptr || !save(&info)) return false;
  text->Assign(U(result.data()));
  *filterIndex = static_cast<int>(info.nFilterIndex);
  return true;
}

bool OpenInfFileDialog(WideText* text, const WideText& title, HWND owner) {
  std::vector<wchar_t> result(2048, L'\0');
  static const wchar_t kFilter[] = L"INF files (*.inf)\0*.inf\0";
  OPENFILENAMEW info{};
  info.lStructSize = sizeof info;
  info.hwndOwner = owner;
  info.lpstrFilter = kFilter;
  info.lpstrFile = result.data();
  info.nMaxFile = static_cast<DWORD>(result.size());
  info.lpstrTitle = W(title);
  info.lpstrDefExt = L"inf";
  info.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
  const auto open = CommonDialogs().GetProc<decltype(&GetOpenFileNameW)>("GetOpenFileNameW");
  if (open == nullptr || !open(&info)) return false;
  text->Assign(U(result.data()));
  return true;
}

}  // namespace pyr
