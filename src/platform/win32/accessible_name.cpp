#include "platform/win32/accessible_name.h"

#include <oleacc.h>

#include <utility>

#include "platform/win32/system_library.h"

namespace pellucor::win32 {
namespace {

constexpr wchar_t kNameProperty[] = L"Pellucor.AccessibleName";

struct Named {
  WNDPROC previous = nullptr;
  std::wstring name;
};

// The standard accessible object of the control, with its name replaced;
// everything else is the standard object's.
class NamedAccessible final : public IAccessible {
 public:
  NamedAccessible(IAccessible* standard, std::wstring name) : standard_(standard), name_(std::move(name)) {}
  NamedAccessible(const NamedAccessible&) = delete;
  NamedAccessible& operator=(const NamedAccessible&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    // IEnumVARIANT, IOleWindow and the like: the standard object's own.
    return standard_->QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    return standard_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argument) override {
    return standard_->Invoke(id, iid, locale, flags, params, result, exception, argument);
  }

  // IAccessible: the name is ours.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return standard_->get_accName(child, name);
    if (!name) return E_POINTER;
    using Allocate = BSTR(WINAPI*)(const OLECHAR*);
    const auto allocate = SystemFunction<Allocate>(L"oleaut32.dll", "SysAllocString");
    *name = allocate ? allocate(name_.c_str()) : nullptr;
    return *name ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return standard_->get_accChildCount(count); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    return standard_->get_accChild(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return standard_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return standard_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return standard_->get_accRole(child, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return standard_->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return standard_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return standard_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return standard_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return standard_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return standard_->accSelect(flags, child); }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT child) override {
    return standard_->accLocation(x, y, w, h, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    return standard_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return standard_->accDoDefaultAction(child); }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return standard_->put_accValue(child, value);
  }

 private:
  ~NamedAccessible() { standard_->Release(); }

  IAccessible* standard_;
  std::wstring name_;
  LONG refs_ = 1;
};

// Made only when an assistive program asks, so a start loads no oleacc.
LRESULT AnswerObjectRequest(HWND control, const Named& named, WPARAM wParam) {
  using CreateStandard = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
  using Result = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
  const auto create = SystemFunction<CreateStandard>(L"oleacc.dll", "CreateStdAccessibleObject");
  const auto result = SystemFunction<Result>(L"oleacc.dll", "LresultFromObject");
  IAccessible* standard = nullptr;
  if (!create || !result ||
      FAILED(create(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))))
    return CallWindowProcW(named.previous, control, WM_GETOBJECT, wParam, static_cast<LPARAM>(OBJID_CLIENT));
  auto* mine = new NamedAccessible(standard, named.name);
  const LRESULT answer = result(__uuidof(IAccessible), wParam, mine);
  mine->Release();  // the answer holds its own reference
  return answer;
}

LRESULT CALLBACK NamedProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* named = static_cast<Named*>(GetPropW(control, kNameProperty));
  if (!named) return DefWindowProcW(control, message, wParam, lParam);
  if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT)
    return AnswerObjectRequest(control, *named, wParam);
  const WNDPROC previous = named->previous;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropW(control, kNameProperty);
    delete named;
  }
  return CallWindowProcW(previous, control, message, wParam, lParam);
}

}  // namespace

void GiveAccessibleName(HWND control, std::wstring name) {
  if (auto* named = static_cast<Named*>(GetPropW(control, kNameProperty))) {
    named->name = std::move(name);
    return;
  }
  auto* named = new Named{nullptr, std::move(name)};
  if (!SetPropW(control, kNameProperty, named)) {
    delete named;
    return;
  }
  named->previous =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NamedProc)));
}

}  // namespace pellucor::win32
