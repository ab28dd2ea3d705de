#pragma once
// A message box drawn inside the game window, for when the system's box cannot be shown (on X11
// without core fonts SDL's box fails): a caption bar, the text and the buttons of the box type over
// the dimmed picture, drawn with the game's own font rasteriser. It is answered by keyboard (Enter
// or Space presses the focused button, Esc gives the box's escape answer, Y/N/O/C name a button,
// Left/Right/Tab move the focus) or by a click on a button.
//
// This class only lays out, draws and interprets input; RunWindowBox (message_boxes.cpp) runs it
// modally on the window.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/frame_mailbox.h"

class RasterFont;

struct cBoxRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

class cWindowBox {
 public:
  // Text and caption are CP932; type is MB_OK, MB_OKCANCEL or MB_YESNO with an icon. The box is laid
  // out for a picture of width x height.
  cWindowBox(std::string_view textCp932, std::string_view captionCp932, unsigned type, int width = 640,
             int height = 480);
  ~cWindowBox();
  cWindowBox(const cWindowBox&) = delete;
  cWindowBox& operator=(const cWindowBox&) = delete;

  // Draws the box over a copy of the backdrop (dimmed), a picture of the box's width and height; a
  // backdrop of another size is replaced by black.
  gfx::Frame Draw(const gfx::Frame* backdrop) const;

  // Input. Each returns the answer (IDOK, IDCANCEL, IDYES, IDNO) once the box is answered, else 0.
  int OnKey(int vk);
  int OnMouseDown(int x, int y);
  int OnMouseUp(int x, int y);
  // The answer of Esc and of the window's close box.
  int EscapeAnswer() const;

  struct cButton {
    int id = 0;
    std::string label;
    cBoxRect rect;
  };
  const std::vector<cButton>& Buttons() const { return m_aButtons; }
  const cBoxRect& Frame() const { return m_box; }
  const std::vector<std::string>& Lines() const { return m_aLines; }
  int Focus() const { return m_nFocus; }

 private:
  void Layout(std::string_view text, int width, int height);
  int ButtonAt(int x, int y) const;

  std::unique_ptr<RasterFont> m_pFont;  // null when no font file exists: the box has no text then
  std::string m_strCaption;
  std::vector<std::string> m_aLines;  // the text wrapped to the box, CP932
  std::vector<cButton> m_aButtons;
  unsigned m_nType = 0;
  int m_nWidth = 0, m_nHeight = 0;
  cBoxRect m_box, m_captionBar;
  int m_nTextLeft = 0, m_nTextTop = 0, m_nLineHeight = 16;
  int m_nFocus = 0;
  int m_nPressed = -1;  // the button the left mouse button went down on
};
