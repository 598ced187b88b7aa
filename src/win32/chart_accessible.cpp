#include "win32/chart_accessible.h"

#include <string>
#include <string_view>

#include "app/chart_model.h"
#include "app/chart_style.h"
#include "win32/system_library.h"
#include "win32/latency_chart.h"
#include "win32/wide_text.h"

namespace tolvane::ui::win {
namespace {

// The core's texts are UTF-8.
HRESULT Bstr(std::string_view text, BSTR* out) {
  const std::wstring wide = Wide(text);
  const auto allocate = Accessibility().allocString;
  *out = allocate ? allocate(wide.c_str(), static_cast<UINT>(wide.size())) : nullptr;
  return *out ? S_OK : E_OUTOFMEMORY;
}

void Child(VARIANT* v, long id) {
  *v = VARIANT{};
  v->vt = VT_I4;
  v->lVal = id;
}

}  // namespace

ChartAccessible::ChartAccessible(LatencyChart& chart) : chart_(&chart) {
  if (const auto standard = Accessibility().standard) {
    standard(chart.handle(), OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard_));
  }
}

ChartAccessible::~ChartAccessible() { Disconnect(); }

LRESULT ChartAccessible::Answer(LatencyChart& chart, ChartAccessible*& held, WPARAM flags) {
  const auto result = Accessibility().result;
  if (!result) return 0;
  if (!held) held = new ChartAccessible(chart);
  return result(__uuidof(IAccessible), flags, static_cast<IAccessible*>(held));
}

void ChartAccessible::Drop(ChartAccessible*& held) {
  if (!held) return;
  held->Disconnect();
  if (const auto disconnect = Accessibility().disconnect) disconnect(static_cast<IAccessible*>(held), 0);
  held->Release();
  held = nullptr;
}

void ChartAccessible::Disconnect() {
  chart_ = nullptr;
  if (standard_) standard_->Release();
  standard_ = nullptr;
}

long ChartAccessible::Rows() const { return static_cast<long>(chart_->model().rows().size()); }

long ChartAccessible::ChildOf(const VARIANT& child) const {
  if (child.vt != VT_I4 || child.lVal < 0 || child.lVal > Rows()) return -1;
  return child.lVal;
}

HRESULT ChartAccessible::Ready(bool given) const {
  if (!chart_) return CO_E_OBJNOTCONNECTED;
  return given ? S_OK : E_POINTER;
}

template <typename Out>
HRESULT ChartAccessible::Checks(const VARIANT& child, Out* out, long& id) const {
  if (const HRESULT ready = Ready(out); ready != S_OK) return ready;
  *out = Out{};  // VT_EMPTY is 0
  id = ChildOf(child);
  return id < 0 ? E_INVALIDARG : S_OK;
}

HRESULT ChartAccessible::NoText(const VARIANT& child, BSTR* text) const {
  long id = 0;
  const HRESULT checked = Checks(child, text, id);
  return checked == S_OK ? S_FALSE : checked;
}

HRESULT ChartAccessible::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG ChartAccessible::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG ChartAccessible::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT ChartAccessible::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT ChartAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT ChartAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT ChartAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

// Every call below checks, in this order: still connected, the pointers it
// writes through, the child it names.

HRESULT ChartAccessible::get_accParent(IDispatch** parent) {
  if (const HRESULT ready = Ready(parent); ready != S_OK) return ready;
  *parent = nullptr;
  return standard_ ? standard_->get_accParent(parent) : S_FALSE;
}

HRESULT ChartAccessible::get_accChildCount(long* count) {
  if (const HRESULT ready = Ready(count); ready != S_OK) return ready;
  *count = Rows();
  return S_OK;
}

// The rows are simple elements: no object of their own.
HRESULT ChartAccessible::get_accChild(VARIANT child, IDispatch** object) {
  if (const HRESULT ready = Ready(object); ready != S_OK) return ready;
  *object = nullptr;
  return ChildOf(child) > 0 ? S_FALSE : E_INVALIDARG;
}

HRESULT ChartAccessible::get_accName(VARIANT child, BSTR* name) {
  long id = 0;
  if (const HRESULT checked = Checks(child, name, id); checked != S_OK) return checked;
  if (id == CHILDID_SELF) return Bstr(chart::kAccessibleName, name);
  return Bstr(chart_->model().RowName(static_cast<std::size_t>(id - 1)), name);
}

HRESULT ChartAccessible::get_accValue(VARIANT child, BSTR* value) { return NoText(child, value); }

// The chart's: the host of the run, or that none ran yet.
HRESULT ChartAccessible::get_accDescription(VARIANT child, BSTR* description) {
  long id = 0;
  if (const HRESULT checked = Checks(child, description, id); checked != S_OK) return checked;
  if (id > 0) return S_FALSE;
  return Bstr(chart_->model().Description(), description);
}

HRESULT ChartAccessible::get_accRole(VARIANT child, VARIANT* role) {
  long id = 0;
  if (const HRESULT checked = Checks(child, role, id); checked != S_OK) return checked;
  Child(role, id == CHILDID_SELF ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM);
  return S_OK;
}

HRESULT ChartAccessible::get_accState(VARIANT child, VARIANT* state) {
  long id = 0;
  if (const HRESULT checked = Checks(child, state, id); checked != S_OK) return checked;
  if (id == CHILDID_SELF && standard_) return standard_->get_accState(child, state);
  long bits = 0;
  if (id == CHILDID_SELF) {
    bits = STATE_SYSTEM_FOCUSABLE | (chart_->Focused() ? STATE_SYSTEM_FOCUSED : 0);
  } else {
    const auto row = static_cast<std::size_t>(id - 1);
    bits = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_READONLY |
           (chart_->model().selected() == row ? STATE_SYSTEM_SELECTED : 0) |
           (chart_->control().FocusedRow() == row ? STATE_SYSTEM_FOCUSED : 0);
  }
  Child(state, bits);
  return S_OK;
}

HRESULT ChartAccessible::get_accHelp(VARIANT child, BSTR* help) { return NoText(child, help); }

HRESULT ChartAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
  if (const HRESULT ready = Ready(file && topic); ready != S_OK) return ready;
  *file = nullptr;
  *topic = -1;
  return ChildOf(child) < 0 ? E_INVALIDARG : S_FALSE;
}

HRESULT ChartAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) { return NoText(child, shortcut); }

// The selected row while the chart has the focus; the chart itself when
// no row is selected.
HRESULT ChartAccessible::get_accFocus(VARIANT* child) {
  if (const HRESULT ready = Ready(child); ready != S_OK) return ready;
  if (!chart_->Focused()) {
    *child = VARIANT{};
    return S_FALSE;
  }
  const auto focused = chart_->control().FocusedRow();
  Child(child, focused ? static_cast<long>(*focused) + 1 : CHILDID_SELF);
  return S_OK;
}

HRESULT ChartAccessible::get_accSelection(VARIANT* children) {
  if (const HRESULT ready = Ready(children); ready != S_OK) return ready;
  const auto selected = chart_->model().selected();
  if (!selected) {
    *children = VARIANT{};
    return S_FALSE;
  }
  Child(children, static_cast<long>(*selected) + 1);
  return S_OK;
}

HRESULT ChartAccessible::get_accDefaultAction(VARIANT child, BSTR* action) { return NoText(child, action); }

// One row at a time: taking the selection or the focus selects it (and
// focuses the chart); there is no multiple selection to add to.
HRESULT ChartAccessible::accSelect(long flags, VARIANT child) {
  if (!chart_) return CO_E_OBJNOTCONNECTED;
  const long id = ChildOf(child);
  if (id <= 0) return E_INVALIDARG;
  if (flags & (SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION | SELFLAG_EXTENDSELECTION)) return E_INVALIDARG;
  if (flags & SELFLAG_TAKEFOCUS) SetFocus(chart_->handle());
  if (flags & (SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS)) {
    chart_->control().SelectIndex(static_cast<std::size_t>(id - 1));
  }
  return S_OK;
}

HRESULT ChartAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
  if (const HRESULT ready = Ready(left && top && width && height); ready != S_OK) return ready;
  *left = *top = *width = *height = 0;
  const long id = ChildOf(child);
  if (id < 0) return E_INVALIDARG;
  RECT r{};
  if (id == CHILDID_SELF) {
    GetClientRect(chart_->handle(), &r);
  } else {
    r = chart_->RowRect(static_cast<std::size_t>(id - 1));
  }
  MapWindowPoints(chart_->handle(), HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
  *left = r.left;
  *top = r.top;
  *width = r.right - r.left;
  *height = r.bottom - r.top;
  return S_OK;
}

// Among the rows: first and last from the chart, next and previous (right
// and left) from a row. Where the chart stands among the window's
// controls, the system's object knows.
HRESULT ChartAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
  long id = 0;
  if (const HRESULT checked = Checks(start, end, id); checked != S_OK) return checked;
  const long rows = Rows();
  long to = 0;
  if (id == CHILDID_SELF) {
    if (direction == NAVDIR_FIRSTCHILD) {
      to = 1;
    } else if (direction == NAVDIR_LASTCHILD) {
      to = rows;
    } else {
      return standard_ ? standard_->accNavigate(direction, start, end) : S_FALSE;
    }
  } else if (direction == NAVDIR_NEXT || direction == NAVDIR_RIGHT) {
    to = id + 1;
  } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_LEFT) {
    to = id - 1;
  } else if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
    return E_INVALIDARG;  // a row has no children
  }
  if (to < 1 || to > rows) return S_FALSE;
  Child(end, to);
  return S_OK;
}

HRESULT ChartAccessible::accHitTest(long x, long y, VARIANT* child) {
  if (const HRESULT ready = Ready(child); ready != S_OK) return ready;
  *child = VARIANT{};
  POINT at{x, y};
  ScreenToClient(chart_->handle(), &at);
  RECT client;
  GetClientRect(chart_->handle(), &client);
  if (!PtInRect(&client, at)) return S_FALSE;
  const auto row = chart_->RowAt(at);
  Child(child, row ? static_cast<long>(*row) + 1 : CHILDID_SELF);
  return S_OK;
}

HRESULT ChartAccessible::accDoDefaultAction(VARIANT child) {
  if (!chart_) return CO_E_OBJNOTCONNECTED;
  return ChildOf(child) < 0 ? E_INVALIDARG : DISP_E_MEMBERNOTFOUND;
}

HRESULT ChartAccessible::put_accName(VARIANT, BSTR) { return chart_ ? E_NOTIMPL : CO_E_OBJNOTCONNECTED; }
HRESULT ChartAccessible::put_accValue(VARIANT, BSTR) { return chart_ ? E_NOTIMPL : CO_E_OBJNOTCONNECTED; }

}  // namespace tolvane::ui::win
