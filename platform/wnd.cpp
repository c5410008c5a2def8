// CWnd: message dispatch through the maps, the default processing of the messages the program
// relies on, and the window operations it calls.
#include <QPainter>
#include <QWindow>

#include "platform/afxwin.h"
#include "platform/detail/window_impl.h"

CWnd::CWnd() : m_impl(std::make_unique<CWndImpl>()) {
  m_impl->systemMenu.object.m_hMenu = &m_impl->systemMenu;
}

CWnd::~CWnd() {
  DestroyWindow();
  if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd == this) {
    app->m_pMainWnd = nullptr;
  }
}

BOOL CWnd::DestroyWindow() {
  if (m_impl->window == nullptr)
    return FALSE;
  delete m_impl->window.data();
  m_impl->controls.clear();
  m_impl->firstTabStop = nullptr;
  return TRUE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return WindowProc(message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const CurrentMessage saved = m_impl->current;
  m_impl->current = {message, wParam, lParam};
  LRESULT result = 0;
  if (message == WM_COMMAND) {
    if (!OnCommand(static_cast<UINT>(wParam & 0xFFFF)))
      result = DefWindowProc(message, wParam, lParam);
  } else if (const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0); entry != nullptr) {
    result = entry->pfn(this, wParam, lParam);
  } else {
    result = DefWindowProc(message, wParam, lParam);
  }
  m_impl->current = saved;
  return result;
}

BOOL CWnd::OnCommand(UINT nID) {
  if (OnCmdMsg(nID))
    return TRUE;
  CWinApp* app = AfxGetApp();
  return app != nullptr && app->OnCmdMsg(nID);
}

LRESULT CWnd::Default() {
  const CurrentMessage& m = m_impl->current;
  return DefWindowProc(m.message, m.wParam, m.lParam);
}

void CWnd::OnSysCommand(UINT, LPARAM) {
  Default();
}
void CWnd::OnPaint() {
  Default();
}
HCURSOR CWnd::OnQueryDragIcon() {
  return reinterpret_cast<HCURSOR>(Default());
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  DialogWindow* window = m_impl->window;
  switch (message) {
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE:
          SendMessage(WM_CLOSE);
          break;
        case SC_MOVE:
          // The window manager moves the window; without one, or without a pointer held
          // down, the request is refused and the window stays where it is.
          if (window != nullptr && window->windowHandle() != nullptr) {
            window->windowHandle()->startSystemMove();
          }
          break;
        default:
          break;
      }
      return 0;
    case WM_CLOSE:
      // A dialog's close is its cancel command.
      SendMessage(WM_COMMAND, IDCANCEL);
      return 0;
    case WM_SETICON:
    case WM_GETICON: {
      HICON& slot = wParam == ICON_BIG ? m_impl->bigIcon : m_impl->smallIcon;
      const HICON previous = slot;
      if (message == WM_GETICON)
        return reinterpret_cast<LRESULT>(previous);
      slot = reinterpret_cast<HICON>(lParam);
      if (window != nullptr) {
        // One window icon carries both images; the desktop picks the size it shows.
        QIcon icon;
        if (m_impl->bigIcon != nullptr) {
          icon.addPixmap(m_impl->bigIcon->icon.pixmap(GetSystemMetrics(SM_CXICON)));
        }
        if (m_impl->smallIcon != nullptr) {
          icon.addPixmap(m_impl->smallIcon->icon.pixmap(GetSystemMetrics(SM_CXSMICON)));
        }
        window->setWindowIcon(icon);
      }
      return reinterpret_cast<LRESULT>(previous);
    }
    case WM_ICONERASEBKGND: {
      const auto* dc = reinterpret_cast<HDC__*>(wParam);
      if (dc != nullptr && dc->painter != nullptr) {
        dc->painter->fillRect(dc->widget->rect(), dc->widget->palette().window());
      }
      return 1;
    }
    default:
      return 0;
  }
}

BOOL CWnd::IsIconic() const {
  return m_impl->window != nullptr && m_impl->window->isMinimized();
}

void CWnd::GetClientRect(CRect* lpRect) const {
  *lpRect = {};
  if (m_impl->window != nullptr) {
    lpRect->right = m_impl->window->width();
    lpRect->bottom = m_impl->window->height();
  }
}

CMenu* CWnd::GetSystemMenu(BOOL) {
  if (m_impl->window == nullptr || !m_impl->hasSystemMenu)
    return nullptr;
  return CMenu::FromHandle(&m_impl->systemMenu);
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
  return reinterpret_cast<HICON>(
      SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

HICON CWnd::GetIcon(BOOL bBigIcon) const {
  return bBigIcon ? m_impl->bigIcon : m_impl->smallIcon;
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
  return hMenu != nullptr ? &hMenu->object : nullptr;
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem) {
  if (m_hMenu == nullptr)
    return FALSE;
  const bool separator = (nFlags & MF_SEPARATOR) != 0;
  m_hMenu->items.push_back({nFlags, separator ? 0u : static_cast<UINT>(nIDNewItem),
                            separator || lpszNewItem == nullptr ? "" : lpszNewItem});
  return TRUE;
}

int CMenu::GetMenuItemCount() const {
  return m_hMenu != nullptr ? static_cast<int>(m_hMenu->items.size()) : -1;
}

UINT CMenu::GetMenuItemID(int nPos) const {
  if (m_hMenu == nullptr || nPos < 0 || nPos >= GetMenuItemCount())
    return static_cast<UINT>(-1);
  return m_hMenu->items[static_cast<std::size_t>(nPos)].id;
}

int CMenu::GetMenuString(UINT nPos, CString& rString) const {
  if (m_hMenu == nullptr || nPos >= m_hMenu->items.size()) {
    rString = CString();
    return 0;
  }
  rString = CString(m_hMenu->items[nPos].text.c_str());
  return rString.GetLength();
}

CPaintDC::CPaintDC(CWnd* pWnd) {
  QWidget* widget = pWnd->GetImpl()->window;
  if (widget != nullptr)
    m_hDC = new HDC__{new QPainter(widget), widget};
}

CPaintDC::~CPaintDC() {
  if (m_hDC != nullptr) {
    delete m_hDC->painter;
    delete m_hDC;
  }
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) {
  return ::DrawIcon(m_hDC, x, y, hIcon);
}

BOOL DrawIcon(HDC hDC, int x, int y, HICON hIcon) {
  if (hDC == nullptr || hDC->painter == nullptr || hIcon == nullptr)
    return FALSE;
  const int cx = GetSystemMetrics(SM_CXICON);
  const int cy = GetSystemMetrics(SM_CYICON);
  hDC->painter->drawPixmap(x, y, hIcon->icon.pixmap(cx, cy));
  return TRUE;
}

int GetSystemMetrics(int nIndex) {
  switch (nIndex) {
    case SM_CXICON:
    case SM_CYICON:
      return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
      return 16;
    default:
      return 0;
  }
}

int MulDiv(int a, int b, int c) {
  if (c == 0)
    return -1;
  const long long p = static_cast<long long>(a) * b;
  const long long half = c / 2 < 0 ? -(c / 2) : c / 2;
  const long long absC = c < 0 ? -static_cast<long long>(c) : c;
  const long long absP = p < 0 ? -p : p;
  const long long q = (absP + half) / absC;
  return static_cast<int>((p < 0) != (c < 0) ? -q : q);
}
