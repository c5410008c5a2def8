// CDialog: modal and modeless dialogs built from templates, with the platform's default OK,
// cancel and initialisation behaviour.
#include "platform/afxwin.h"
#include "platform/detail/window_impl.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

BOOL CDialog::CreateFromTemplate(UINT nIDTemplate, CWnd* pParentWnd, bool modal) {
  const DialogTemplate* t =
      FindDialogTemplate(AfxFindResourceHandle(nIDTemplate, RT_DIALOG), nIDTemplate);
  if (t == nullptr)
    return FALSE;
  DestroyWindow();
  // Without a parent the dialog is owned by the application's main window, if that is another
  // window and is on screen, so it stays above it and the main window waits for it.
  CWnd* owner = pParentWnd != nullptr ? pParentWnd : AfxGetMainWnd();
  QWidget* parent = owner != nullptr && owner != this ? owner->GetImpl()->window.data() : nullptr;
  CWndImpl& impl = *GetImpl();
  impl.modal = modal;
  BuildDialogWindow(this, impl, *t, parent);
  if (SendMessage(WM_INITDIALOG) != FALSE && impl.firstTabStop != nullptr) {
    impl.firstTabStop->setFocus(Qt::TabFocusReason);
  }
  return TRUE;
}

INT_PTR CDialog::DoModal() {
  if (!CreateFromTemplate(m_nIDTemplate, m_pParentWnd, true))
    return -1;
  const int result = GetImpl()->window->exec();
  DestroyWindow();
  return result;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  m_nIDTemplate = nIDTemplate;
  if (pParentWnd != nullptr)
    m_pParentWnd = pParentWnd;
  if (!CreateFromTemplate(nIDTemplate, m_pParentWnd, false))
    return FALSE;
  const DialogTemplate* t =
      FindDialogTemplate(AfxFindResourceHandle(nIDTemplate, RT_DIALOG), nIDTemplate);
  if ((t->style & WS_VISIBLE) != 0)
    GetImpl()->window->show();
  return TRUE;
}

void CDialog::EndDialog(int nResult) {
  DialogWindow* window = GetImpl()->window;
  if (window == nullptr)
    return;
  if (GetImpl()->modal) {
    window->done(nResult);
  } else {
    window->hide();
    window->setResult(nResult);
  }
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
  return OnInitDialog();
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE))
    return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() {
  EndDialog(IDCANCEL);
}
