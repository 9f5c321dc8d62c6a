#include "ui/dialogs/win32/taskbar_progress.h"

#include <shobjidl.h>

namespace pyr {

namespace {

template <typename T>
struct ComRelease {
  void operator()(T* p) const { if (p) p->Release(); }
};
template <typename T>
using ComPtr = std::unique_ptr<T, ComRelease<T>>;

class SystemTaskbarProgress final : public TaskbarProgress {
 public:
  explicit SystemTaskbarProgress(ComPtr<ITaskbarList3> list) : list_(std::move(list)) {}

  void SetState(HWND window, State state) override {
    TBPFLAG flag = state == State::kNormal          ? TBPF_NORMAL
                   : state == State::kIndeterminate ? TBPF_INDETERMINATE
                                                    : TBPF_NOPROGRESS;
    list_->SetProgressState(window, flag);  // a failure only costs the taskbar picture
  }
  void SetValue(HWND window, unsigned long long done, unsigned long long total) override {
    list_->SetProgressValue(window, done, total);
  }

 private:
  ComPtr<ITaskbarList3> list_;
};

}  // namespace

std::unique_ptr<TaskbarProgress> CreateSystemTaskbarProgress() {
  ITaskbarList* rawList = nullptr;
  if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList,
                              reinterpret_cast<void**>(&rawList))) ||
      !rawList)
    return nullptr;
  ComPtr<ITaskbarList> list(rawList);
  ITaskbarList2* rawList2 = nullptr;
  if (FAILED(list->QueryInterface(IID_ITaskbarList2, reinterpret_cast<void**>(&rawList2))) ||
      !rawList2)
    return nullptr;
  ComPtr<ITaskbarList2> list2(rawList2);
  ITaskbarList3* rawList3 = nullptr;
  if (FAILED(list2->QueryInterface(IID_ITaskbarList3, reinterpret_cast<void**>(&rawList3))) ||
      !rawList3)
    return nullptr;
  return std::make_unique<SystemTaskbarProgress>(ComPtr<ITaskbarList3>(rawList3));
}

}  // namespace pyr
