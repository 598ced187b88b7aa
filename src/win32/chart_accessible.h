// The chart as screen readers see it (Microsoft Active Accessibility): a
// list whose items are the rows, each named as the core names it ("4 s:
// 15 ms"), the selected one selected and, while the chart has the focus,
// focused. The chart answers WM_GETOBJECT with it.
#pragma once

#include <windows.h>

#include <oleacc.h>

namespace tolvane::ui::win {

class LatencyChart;

class ChartAccessible final : public IAccessible {
 public:
  // One reference, the chart's. Parts that every window has (its parent,
  // its place among its siblings) come from the system's object for the
  // window.
  explicit ChartAccessible(LatencyChart& chart);

  // The chart's answer to WM_GETOBJECT for its client area: the object is
  // made at the first request and kept in `held`; 0 without COM.
  static LRESULT Answer(LatencyChart& chart, ChartAccessible*& held, WPARAM flags);
  // The chart is going: from now on every call of a client that still
  // holds the object fails with CO_E_OBJNOTCONNECTED.
  static void Drop(ChartAccessible*& held);

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch: no type information; clients call through the vtable.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

 private:
  ~ChartAccessible();
  void Disconnect();
  // The child a VARIANT names: 0 for the chart, 1..rows for a row; -1 for
  // anything else (another type, a row that isn't there).
  long ChildOf(const VARIANT& child) const;
  // S_OK while connected and given the pointers to write through; else
  // the error to answer.
  HRESULT Ready(bool given) const;
  // Ready, `out` emptied, and the child named (its id to `id`).
  template <typename Out>
  HRESULT Checks(const VARIANT& child, Out* out, long& id) const;
  // The answer for a text that no part of the chart has.
  HRESULT NoText(const VARIANT& child, BSTR* text) const;
  long Rows() const;

  LONG references_ = 1;
  LatencyChart* chart_;
  IAccessible* standard_ = nullptr;
};

}  // namespace tolvane::ui::win
