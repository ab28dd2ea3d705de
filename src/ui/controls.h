#pragma once
// The control wrappers of a dialog: each binds one dialog item to a program value. The dialog manager
// (platform/dialog/dialog_box.h) keeps what the item shows; ToWindow shows the bound value,
// FromWindow stores the item's state back into it.
#include <cstdint>
#include <string>

#include "platform/messages.h"

class cDialog;

enum eControlKind : int32_t {
  kCtrlStatic = 0,
  kCtrlButton = 1,
  kCtrlEdit = 3,
  kCtrlCanvas = 4,
  kCtrlCheck = 5,
  kCtrlRadio = 6,
  kCtrlScrollBar = 11,
};

class cControl {
 public:
  explicit cControl(int32_t kind, uint16_t id = 0) : m_nKind(kind), m_nId(id) {}
  virtual ~cControl() = default;
  cControl(const cControl&) = delete;
  cControl& operator=(const cControl&) = delete;

  virtual void Enable(int32_t flag);
  virtual void ToWindow() {}
  virtual void FromWindow() {}
  virtual void OnChange() {}
  virtual int OnNotify(uint32_t, LPARAM) { return 0; }
  virtual int Reserved6() { return 0; }
  virtual void KindHook7() {}
  virtual void RefreshList() {}   // slot 8 (list kinds; none here)
  virtual void OnKillFocus() {}   // slot 9
  virtual void AfterCommand() {}  // slot 10
  virtual void OnKey(WPARAM, LPARAM, int32_t) {}

  // Binds the control to the dialog's item of its id and remembers the item's place.
  virtual void Attach(cDialog& dialog);

  HWND m_hWnd = nullptr;  // the dialog window that holds the item (items are not windows here)
  cDialog* m_lpDialog = nullptr;
  HWND m_hDialog = nullptr;
  int32_t m_nKind = 0;
  uint16_t m_nId = 0;
  int32_t m_nPosX = 0, m_nPosY = 0;  // relative to the dialog's usable area

 protected:
  // Whether the owning dialog is showing its values (FromWindow does nothing then).
  bool Updating() const;
};

class cStaticCtrl : public cControl {
 public:
  explicit cStaticCtrl(uint16_t id = 0) : cControl(kCtrlStatic, id) {}
};

class cButtonCtrl : public cControl {
 public:
  explicit cButtonCtrl(uint16_t id = 0) : cControl(kCtrlButton, id) {}
};

class cCanvasCtrl : public cControl {
 public:
  cCanvasCtrl() : cControl(kCtrlCanvas) {}
};

// An edit box bound to a string, with its limits: maximum length in bytes, characters per line,
// lines, and whether a Shift-JIS double-byte character counts as one character.
class cEditCtrl : public cControl {
 public:
  cEditCtrl(uint16_t id, std::string* value, int32_t maxLength = 4096, int32_t lineChars = 1024, int32_t maxLines = 32,
            int32_t doubleByte = 0)
      : cControl(kCtrlEdit, id),
        m_lpValue(value),
        m_nMaxLength(maxLength),
        m_nLineChars(lineChars),
        m_nMaxLines(maxLines),
        m_bDoubleByte(doubleByte) {}

  void Attach(cDialog& dialog) override;
  void ToWindow() override;
  void FromWindow() override;
  // Reformats the text after a change: a line longer than allowed is broken, and a text with more
  // lines than allowed is undone (cut while the control is being attached).
  void OnChange() override;

  // The text's length as the limits count it (characters in double-byte mode, else bytes).
  int32_t CountChars(const std::string& text) const;

  std::string* m_lpValue = nullptr;
  int32_t m_nMaxLength, m_nLineChars, m_nMaxLines, m_bDoubleByte;
  std::string m_strPrev;
  int32_t m_nPrevSelStart = 0, m_nPrevSelEnd = 0;
  int32_t m_bInChange = 0;
  int32_t m_bAttaching = 0;
};

class cCheckCtrl : public cControl {
 public:
  cCheckCtrl(uint16_t id, int32_t* value) : cControl(kCtrlCheck, id), m_lpValue(value) {}
  void ToWindow() override;
  void FromWindow() override;
  int32_t* m_lpValue;
};

class cRadioCtrl : public cControl {
 public:
  cRadioCtrl(uint16_t id, int32_t* value, int32_t ownValue)
      : cControl(kCtrlRadio, id), m_lpValue(value), m_nOwnValue(ownValue) {}
  void ToWindow() override;
  void FromWindow() override;
  int32_t* m_lpValue;
  int32_t m_nOwnValue;
};

// A dialog's own scroll bar (horizontal or vertical): its range, page and position.
class cScrollBarCtrl : public cControl {
 public:
  explicit cScrollBarCtrl(uint16_t id) : cControl(kCtrlScrollBar, id) {}
  void Attach(cDialog& dialog) override;
  // SetScrollInfo: the position is kept inside min .. max - page + 1.
  void SetInfo(int32_t min, int32_t max, int32_t page);
  void SetPos(int32_t pos);
  int32_t m_nMin = 0, m_nMax = 0, m_nPage = 0, m_nPos = 0;
  int32_t m_bAttached = 0;
};
