// Finding and loading resources: dialog templates, strings and icons of the program's module.
#include <QCoreApplication>
#include <QPixmap>
#include <map>
#include <utility>

#include "platform/afxwin.h"
#include "platform/detail/test_hooks.h"
#include "platform/detail/window_impl.h"

namespace {

HINSTANCE g_resourceHandle = nullptr;

// Icons are loaded once per module and id and kept while the toolkit runs; they go with it,
// since a pixmap must not outlive the application object.
std::map<std::pair<HINSTANCE, UINT>, HICON>& IconCache() {
  static std::map<std::pair<HINSTANCE, UINT>, HICON> cache;
  return cache;
}

void ReleaseIcons() {
  for (auto& [key, icon] : IconCache())
    delete icon;
  IconCache().clear();
}

}  // namespace

HINSTANCE AfxGetResourceHandle() {
  return g_resourceHandle != nullptr ? g_resourceHandle : &g_moduleResources;
}

void AfxSetResourceHandle(HINSTANCE hInstResource) {
  g_resourceHandle = hInstResource;
}

HINSTANCE AfxFindResourceHandle(UINT, UINT) {
  // The program is one module; everything is found in it.
  return AfxGetResourceHandle();
}

const DialogTemplate* FindDialogTemplate(HINSTANCE hInst, UINT nID) {
  if (hInst == nullptr)
    return nullptr;
  for (const DialogTemplate* t : hInst->dialogs) {
    if (t->id == nID)
      return t;
  }
  return nullptr;
}

const IconGroup* FindIconGroup(HINSTANCE hInst, UINT nID) {
  if (hInst == nullptr)
    return nullptr;
  for (const IconGroup& group : hInst->icons) {
    if (group.id == nID)
      return &group;
  }
  return nullptr;
}

BOOL CString::LoadString(UINT nID) {
  m_text.clear();
  HINSTANCE hInst = AfxFindResourceHandle(nID, RT_STRING);
  if (hInst == nullptr)
    return FALSE;
  for (const StringResource& s : hInst->strings) {
    if (s.id == nID) {
      m_text = s.text;
      return m_text.empty() ? FALSE : TRUE;
    }
  }
  return FALSE;
}

HICON LoadIcon(HINSTANCE hInst, UINT nID) {
  const IconGroup* group = FindIconGroup(hInst, nID);
  if (group == nullptr)
    return nullptr;
  auto& cache = IconCache();
  if (const auto it = cache.find({hInst, nID}); it != cache.end())
    return it->second;
  if (cache.empty())
    qAddPostRoutine(&ReleaseIcons);
  auto* icon = new HICON__;
  icon->icon.addPixmap(QPixmap(group->large));
  icon->icon.addPixmap(QPixmap(group->small));
  cache[{hInst, nID}] = icon;
  return icon;
}
