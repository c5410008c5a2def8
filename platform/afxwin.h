// The application-framework classes zerb's dialog program is written against: application object,
// windows with message maps, dialogs built from templates, dialog data exchange, the system menu,
// strings, icons and message boxes. A thin layer over Qt 6 Widgets that offers only what the
// program uses; no Qt type appears here, so the program's own code never sees the toolkit.
#ifndef ZERB_PLATFORM_AFXWIN_H
#define ZERB_PLATFORM_AFXWIN_H

#include <memory>
#include <string>

#include "platform/resource_format.h"
#include "platform/win_types.h"

// ---- Message maps -------------------------------------------------------------------------------

class CCmdTarget;

// One binding of a message (and, for WM_COMMAND, a command id) to a handler. The handler is a
// small function that unpacks the message's parameters and calls the class's member.
struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  UINT nID;
  LRESULT (*pfn)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// clang-format off
#define DECLARE_MESSAGE_MAP()                                                                    \
 protected:                                                                                      \
  static const AFX_MSGMAP* GetThisMessageMap();                                                  \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                   \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }              \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
    using ThisClass [[maybe_unused]] = theClass;                                                 \
    using TheBaseClass = baseClass;                                                              \
    static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                                        \
      {0, 0, nullptr}};                                                                          \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &messageEntries[0]}; \
    return &messageMap;                                                                          \
  }

#define ON_COMMAND(id, memberFxn)                                                                \
  {WM_COMMAND, static_cast<UINT>(id), [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {        \
     static_cast<ThisClass*>(target)->memberFxn();                                               \
     return 0;                                                                                   \
   }},

#define ON_MESSAGE(message, memberFxn)                                                           \
  {message, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT {                 \
     return static_cast<ThisClass*>(target)->memberFxn(wParam, lParam);                          \
   }},

#define ON_WM_SYSCOMMAND()                                                                       \
  {WM_SYSCOMMAND, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT {           \
     static_cast<ThisClass*>(target)->OnSysCommand(static_cast<UINT>(wParam), lParam);           \
     return 0;                                                                                   \
   }},

#define ON_WM_PAINT()                                                                            \
  {WM_PAINT, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                              \
     static_cast<ThisClass*>(target)->OnPaint();                                                 \
     return 0;                                                                                   \
   }},

#define ON_WM_QUERYDRAGICON()                                                                    \
  {WM_QUERYDRAGICON, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                      \
     return reinterpret_cast<LRESULT>(static_cast<ThisClass*>(target)->OnQueryDragIcon());       \
   }},
// clang-format on

class CCmdTarget {
 public:
  virtual ~CCmdTarget() = default;
  // Runs the handler that this object's message maps bind to command nID; FALSE when none does.
  virtual BOOL OnCmdMsg(UINT nID);

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
  // The first entry for the message, searching this class's map and then its bases'.
  const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nID) const;
};

// ---- Small value types
// ----------------------------------------------------------------------------

struct CRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

class CString {
 public:
  CString() = default;
  // Implicit, as in the class library: a text converts to a CString and back.
  CString(const char* text) : m_text(text != nullptr ? text : "") {}
  // Loads string nID from the string table; FALSE (and empty) when there is none.
  BOOL LoadString(UINT nID);
  BOOL IsEmpty() const { return m_text.empty(); }
  int GetLength() const { return static_cast<int>(m_text.size()); }
  operator LPCTSTR() const { return m_text.c_str(); }

 private:
  std::string m_text;
};

// A menu; the layer keeps each window's system menu behind the handle.
class CMenu {
 public:
  HMENU m_hMenu = nullptr;
  static CMenu* FromHandle(HMENU hMenu);
  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
  int GetMenuItemCount() const;
  // The command of the item at nPos; 0 for a separator.
  UINT GetMenuItemID(int nPos) const;
  int GetMenuString(UINT nPos, CString& rString) const;
};

class CWnd;

// A device context for painting; CPaintDC opens it on a window inside that window's paint event.
class CDC {
 public:
  HDC GetSafeHdc() const { return m_hDC; }
  BOOL DrawIcon(int x, int y, HICON hIcon);

 protected:
  HDC m_hDC = nullptr;
};

class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC();
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
};

// ---- Windows ------------------------------------------------------------------------------------

class CDataExchange;
struct CWndImpl;

class CWnd : public CCmdTarget {
 public:
  CWnd();
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // Dispatches the message through the message maps, as the window would receive it.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // TRUE reads the fields into the members (and validates), FALSE writes members to fields.
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  BOOL IsIconic() const;
  void GetClientRect(CRect* lpRect) const;
  CMenu* GetSystemMenu(BOOL bRevert);
  HICON SetIcon(HICON hIcon, BOOL bBigIcon);
  HICON GetIcon(BOOL bBigIcon) const;
  void SetDlgItemText(int nID, LPCTSTR lpszString);
  std::string GetDlgItemText(int nID) const;
  // Gives control nID the focus and, for an edit field, selects all its text.
  void GotoDlgCtrl(int nID);
  BOOL DestroyWindow();

  // The layer's own state behind this window.
  CWndImpl* GetImpl() const { return m_impl.get(); }

 protected:
  virtual void DoDataExchange(CDataExchange* pDX);
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Routes a command through this window's maps and then the application's.
  virtual BOOL OnCommand(UINT nID);
  // Default processing of the message being handled.
  LRESULT Default();
  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();

 private:
  std::unique_ptr<CWndImpl> m_impl;
};

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  // Builds the window from the template, runs it until EndDialog, destroys it; the result is the
  // value given to EndDialog, or -1 when the window could not be built.
  virtual INT_PTR DoModal();
  // Builds and shows the window without a modal loop (a modeless dialog).
  BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  void EndDialog(int nResult);
  virtual BOOL OnInitDialog();

 protected:
  virtual void OnOK();
  virtual void OnCancel();
  LRESULT HandleInitDialog(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

 private:
  BOOL CreateFromTemplate(UINT nIDTemplate, CWnd* pParentWnd, bool modal);
  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;
};

// ---- Dialog data exchange -----------------------------------------------------------------------

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
      : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  // Remembers edit control nIDC as the one a later failure points the user to.
  void PrepareEditCtrl(int nIDC) { m_idLastControl = nIDC; }
  // After the failure has been shown: focus the last control with its text selected and stop
  // the exchange; every later DDX/DDV call of this exchange does nothing.
  void Fail();
  bool Failed() const { return m_bFailed; }

 private:
  int m_idLastControl = 0;
  bool m_bFailed = false;
};

void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);

// ---- Application --------------------------------------------------------------------------------

class CWinApp : public CCmdTarget {
 public:
  // A null name makes the program's own name the application's, as the platform does.
  explicit CWinApp(LPCTSTR lpszAppName = nullptr);
  ~CWinApp() override;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual BOOL InitApplication();
  virtual BOOL InitInstance();
  virtual int Run();
  virtual int ExitInstance();
  // The three-dimensional look is the toolkit's own; kept for the start-up's sake.
  BOOL Enable3dControls() { return TRUE; }
  // Shows the program's help: string ID_HELP of the string table in a message box.
  void OnHelp();

  LPCTSTR m_pszAppName;
  CWnd* m_pMainWnd = nullptr;

 private:
  friend int AfxWinMain(int argc, char** argv);
  std::string m_appName;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// Embedded controls need nothing here; kept for the start-up's sake.
inline void AfxEnableControlContainer(void* = nullptr) {}
// The program entry behind main(): starts the toolkit, calls the application's InitInstance and
// returns the exit code. Without a display it says so on stderr and returns 1.
int AfxWinMain(int argc, char** argv);

// ---- Resources, system metrics, message boxes
// ----------------------------------------------------

HINSTANCE AfxGetResourceHandle();
HINSTANCE AfxFindResourceHandle(UINT nID, UINT nType);
const DialogTemplate* FindDialogTemplate(HINSTANCE hInst, UINT nID);
const IconGroup* FindIconGroup(HINSTANCE hInst, UINT nID);
// Loads icon group nID; the handle lives as long as the toolkit and is never released.
HICON LoadIcon(HINSTANCE hInst, UINT nID);
int GetSystemMetrics(int nIndex);
BOOL DrawIcon(HDC hDC, int x, int y, HICON hIcon);
// a * b / c in 64 bits, rounded to nearest with halves away from zero.
int MulDiv(int a, int b, int c);

int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK);

#endif  // ZERB_PLATFORM_AFXWIN_H
