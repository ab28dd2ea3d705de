#include "ui/controls.h"

#include <algorithm>
#include <vector>

#include "core/strings.h"
#include "platform/dialog/dialog_box.h"
#include "platform/dialog_items.h"
#include "platform/encoding.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"
#include "ui/dialog.h"

namespace {
constexpr const char* kLineBreak = "\r\n";

int32_t countLines(const std::string& text) {
  int32_t lines = 1;
  for (size_t at = text.find(kLineBreak); at != std::string::npos; at = text.find(kLineBreak, at + 2)) ++lines;
  return lines;
}

// The start of the last character of a text (walking from its start: a trail byte may look like a lead).
size_t lastCharStart(const std::string& text) {
  size_t i = 0, last = 0;
  while (i < text.size()) {
    last = i;
    i += Cp932CharLength(text, i);
  }
  return last;
}
}  // namespace

void cControl::Enable(int32_t flag) { EnableDlgItem(m_hDialog, m_nId, flag != 0); }

void cControl::Attach(cDialog& dialog) {
  m_lpDialog = &dialog;
  m_hDialog = dialog.m_hWnd;
  m_hWnd = HasDlgItem(m_hDialog, m_nId) ? m_hDialog : nullptr;
  if (const DialogTemplate* tpl = DialogTemplateOf(m_hDialog))
    for (const DialogItemTemplate& item : tpl->items)
      if (item.id == m_nId) {
        const cRect usable = dialog.GetClientArea();
        m_nPosX = DialogUnitsToPixelsX(item.x) - usable.left;
        m_nPosY = DialogUnitsToPixelsY(item.y) - usable.top;
      }
}

bool cControl::Updating() const { return m_lpDialog && m_lpDialog->m_bUpdating; }

// ---- edit box -----------------------------------------------------------------------------------

int32_t cEditCtrl::CountChars(const std::string& text) const {
  return m_bDoubleByte ? CountSjisChars(text.c_str()) : static_cast<int32_t>(text.size());
}

void cEditCtrl::Attach(cDialog& dialog) {
  cControl::Attach(dialog);
  m_strPrev.clear();
  m_nPrevSelStart = m_nPrevSelEnd = 0;
  m_bAttaching = 1;
  OnChange();
  m_bAttaching = 0;
}

void cEditCtrl::ToWindow() {
  if (!m_hDialog) return;
  SetDlgItemTextA(m_hDialog, m_nId, m_lpValue ? m_lpValue->c_str() : "");
  // Showing the bound value belongs to setting the control up: a value longer than the limits is
  // cut to fit rather than thrown away.
  m_bAttaching = 1;
  OnChange();
  m_bAttaching = 0;
}

void cEditCtrl::FromWindow() {
  if (Updating() || !m_lpValue || !m_hDialog) return;
  const int32_t bytes = m_bDoubleByte ? 2 * m_nMaxLength - 1 : m_nMaxLength;
  std::vector<char> buffer(static_cast<size_t>(std::max(bytes, 0)) + 1, '\0');
  GetDlgItemTextA(m_hDialog, m_nId, buffer.data(), static_cast<int>(buffer.size()));
  *m_lpValue = buffer.data();
}

void cEditCtrl::OnChange() {
  if (m_bInChange || !m_hDialog) return;
  m_bInChange = 1;
  std::string text = DlgItemText(m_hDialog, m_nId);
  int selStart = 0, selEnd = 0;
  GetDlgItemSel(m_hDialog, m_nId, &selStart, &selEnd);
  auto restore = [&] {
    text = m_strPrev;
    selStart = m_nPrevSelStart;
    selEnd = m_nPrevSelEnd;
  };
  bool undone = false;
  // Backspace deleted a line break: undone when the joined line would be too long.
  if (GetAsyncKeyState(VK_BACK) && selStart == selEnd && text.size() + 2 == m_strPrev.size() &&
      countLines(text) < countLines(m_strPrev)) {
    std::string part = m_strPrev.substr(0, std::min<size_t>(static_cast<size_t>(selStart), m_strPrev.size()));
    if (size_t at = part.rfind(kLineBreak); at != std::string::npos) part = part.substr(at + 2);
    if (CountChars(part) >= m_nLineChars) {
      restore();
      undone = true;
    }
  }
  if (!undone) {
    // A line longer than allowed is broken at the limit; its overflow joins the next line.
    size_t lineStart = 0;
    for (int32_t line = 0; line < m_nMaxLines; ++line) {
      size_t lineEnd = text.find(kLineBreak, lineStart);
      if (lineEnd == std::string::npos) lineEnd = text.size();
      const std::string lineText = text.substr(lineStart, lineEnd - lineStart);
      if (CountChars(lineText) > m_nLineChars) {
        size_t cut = lineStart;
        for (int32_t n = 0; n < m_nLineChars && cut < lineEnd; ++n)
          cut += m_bDoubleByte ? Cp932CharLength(text, cut) : 1;
        text.insert(cut, kLineBreak);
        if (static_cast<size_t>(selStart) > cut) selStart += 2;
        if (static_cast<size_t>(selEnd) > cut) selEnd += 2;
        if (size_t next = text.find(kLineBreak, cut + 2); next != std::string::npos) text.erase(next, 2);
        lineEnd = cut;
      }
      if (lineEnd >= text.size()) break;
      lineStart = lineEnd + 2;
    }
    if (countLines(text) > m_nMaxLines) {
      if (m_bAttaching) {
        while (countLines(text) > m_nMaxLines && !text.empty()) text.erase(lastCharStart(text));
        // A break cut in half leaves its "\r".
        if (!text.empty() && text.back() == '\r') text.pop_back();
      } else {
        restore();
      }
    }
  }
  SetDlgItemTextA(m_hDialog, m_nId, text.c_str());
  SetDlgItemSel(m_hDialog, m_nId, selStart, selEnd);
  GetDlgItemSel(m_hDialog, m_nId, &selStart, &selEnd);
  m_strPrev = text;
  m_nPrevSelStart = selStart;
  m_nPrevSelEnd = selEnd;
  m_bInChange = 0;
}

// ---- check box and radio button -----------------------------------------------------------------

void cCheckCtrl::ToWindow() {
  if (m_lpValue) CheckDlgButton(m_hDialog, m_nId, static_cast<uint32_t>(*m_lpValue));
}

void cCheckCtrl::FromWindow() {
  if (Updating() || !m_lpValue) return;
  *m_lpValue = static_cast<int32_t>(IsDlgButtonChecked(m_hDialog, m_nId));
}

void cRadioCtrl::ToWindow() {
  if (m_lpValue) CheckDlgButton(m_hDialog, m_nId, *m_lpValue == m_nOwnValue ? BST_CHECKED : BST_UNCHECKED);
}

void cRadioCtrl::FromWindow() {
  if (Updating() || !m_lpValue) return;
  if (IsDlgButtonChecked(m_hDialog, m_nId) == BST_CHECKED) *m_lpValue = m_nOwnValue;
}

// ---- scroll bar ---------------------------------------------------------------------------------

void cScrollBarCtrl::Attach(cDialog& dialog) {
  m_lpDialog = &dialog;
  m_hDialog = dialog.m_hWnd;
  m_bAttached = 1;
}

void cScrollBarCtrl::SetInfo(int32_t min, int32_t max, int32_t page) {
  m_nMin = min;
  m_nMax = std::max(min, max);
  m_nPage = std::max(0, page);
  SetPos(m_nPos);
}

void cScrollBarCtrl::SetPos(int32_t pos) {
  const int32_t top = std::max(m_nMin, m_nMax - std::max(m_nPage, 1) + 1);
  m_nPos = std::clamp(pos, m_nMin, top);
}
