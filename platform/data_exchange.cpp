// Dialog data exchange: numbers between edit fields and members, with the parse and range
// checks that run when fields are read back.
#include <cstdio>
#include <optional>

#include "numtext/number_text.h"
#include "platform/afxwin.h"

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
  return dx.Failed() ? FALSE : TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_idLastControl != 0)
    m_pDlgWnd->GotoDlgCtrl(m_idLastControl);
  m_bFailed = true;
}

namespace {

template <typename T>
void ExchangeText(CDataExchange* pDX, int nIDC, T& value,
                  const char* (*parseMessage)(std::string_view text),
                  std::optional<T> (*parse)(std::string_view), std::string (*format)(T)) {
  if (pDX->Failed())
    return;
  pDX->PrepareEditCtrl(nIDC);
  if (!pDX->m_bSaveAndValidate) {
    pDX->m_pDlgWnd->SetDlgItemText(nIDC, format(value).c_str());
    return;
  }
  // A refused text leaves the member as it was.
  const std::string text = pDX->m_pDlgWnd->GetDlgItemText(nIDC);
  const std::optional<T> parsed = parse(text);
  if (!parsed) {
    AfxMessageBox(parseMessage(text), MB_ICONEXCLAMATION);
    pDX->Fail();
    return;
  }
  value = *parsed;
}

const char* IntParseMessage(std::string_view text) {
  if (zerb::numtext::IsMinusZeroInt(text))
    return "“-0”的负号无法保存，请输入 0。"
           "0 度以内的负角度，请把度和分写作 0、秒写作负值（如 -0°7′39″ 写作 0 度 0 分 -459 秒）。";
  return "请输入一个整数。";
}

const char* DoubleParseMessage(std::string_view) {
  return "请输入一个数。";
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
  ExchangeText<int>(pDX, nIDC, value, &IntParseMessage, &zerb::numtext::ParseInt,
                    &zerb::numtext::FormatInt);
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
  ExchangeText<double>(pDX, nIDC, value, &DoubleParseMessage, &zerb::numtext::ParseDouble,
                       &zerb::numtext::FormatDouble);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
  if (pDX->Failed() || !pDX->m_bSaveAndValidate)
    return;
  if (value >= minVal && value <= maxVal)
    return;
  char message[96];
  std::snprintf(message, sizeof message, "请输入一个介于 %d 和 %d 之间的整数。", minVal, maxVal);
  AfxMessageBox(message, MB_ICONEXCLAMATION);
  pDX->Fail();
}
