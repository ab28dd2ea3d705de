// The window host: dialogs and the file chooser drawn with Dear ImGui inside the game window, over
// its last frame (logical 640 x 480, so they look the same at any zoom and in full screen). ImGui
// only draws and reports clicks; the dialog's values stay with the dialog manager, and keys and text
// go through it (dialog_box.h), the same way as in a headless run.
#include <SDL.h>
#include <imgui.h>
#include <imgui_impl_sdlrenderer.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog/dialog_hosts.h"
#include "platform/dialog_items.h"
#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/font/font_faces.h"
#include "platform/gfx/frame_mailbox.h"
#include "platform/input/joystick.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"
#include "platform/message_box.h"
#include "platform/window/game_window.h"
#include "platform/window/game_window_sdl.h"

namespace {
constexpr int kWidth = 640, kHeight = 480;
std::atomic<uint64_t> g_framesDrawn{0};
// The dialogs' 9-point font at 96 dots per inch.
constexpr float kFontPixels = 12.0f;

// Where the dialog is drawn: the game window, or a window of its own when there is none yet.
class Screen {
 public:
  Screen() {
    if (GameWindowHeadless() || !SDL_WasInit(SDL_INIT_VIDEO)) return;
    m_pWindow = GameWindowSdlWindow();
    m_pRenderer = GameWindowSdlRenderer();
    if (m_pWindow && m_pRenderer) {
      m_bHideAfter = (SDL_GetWindowFlags(m_pWindow) & SDL_WINDOW_SHOWN) == 0;
      SDL_ShowWindow(m_pWindow);
    } else {
      m_pWindow = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWidth, kHeight, 0);
      if (m_pWindow) m_pRenderer = SDL_CreateRenderer(m_pWindow, -1, 0);
      if (m_pWindow && !m_pRenderer) m_pRenderer = SDL_CreateRenderer(m_pWindow, -1, SDL_RENDERER_SOFTWARE);
      if (m_pRenderer) SDL_RenderSetLogicalSize(m_pRenderer, kWidth, kHeight);
      m_bOwnWindow = true;
    }
    if (!m_pRenderer) return;
    m_pBackdrop = SDL_CreateTexture(m_pRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kWidth, kHeight);
    // The picture under the dialog: the last frame shown, dimmed a little so that the dialog stands out.
    if (m_pBackdrop) {
      std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight, 0xFF000000u);
      if (auto frame = gfx::TheFrameMailbox().Latest(); frame && frame->width == kWidth && frame->height == kHeight)
        for (size_t i = 0; i < pixels.size(); ++i) {
          const uint32_t p = frame->pixels[i];
          pixels[i] = 0xFF000000u | (((p >> 16 & 0xFF) * 3 / 4) << 16) | (((p >> 8 & 0xFF) * 3 / 4) << 8) |
                      ((p & 0xFF) * 3 / 4);
        }
      SDL_UpdateTexture(m_pBackdrop, nullptr, pixels.data(), kWidth * 4);
    }
    SDL_RaiseWindow(m_pWindow);
  }

  ~Screen() {
    if (m_pBackdrop) SDL_DestroyTexture(m_pBackdrop);
    if (m_bOwnWindow) {
      if (m_pRenderer) SDL_DestroyRenderer(m_pRenderer);
      if (m_pWindow) SDL_DestroyWindow(m_pWindow);
    } else {
      if (m_bHideAfter && m_pWindow) SDL_HideWindow(m_pWindow);
      GameWindowRedrawFrame();
    }
  }
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  bool Ready() const { return m_pBackdrop != nullptr; }
  SDL_Renderer* Renderer() const { return m_pRenderer; }
  SDL_Window* Window() const { return m_pWindow; }

  void DrawBackdrop() {
    SDL_SetRenderDrawColor(m_pRenderer, 0, 0, 0, 255);
    SDL_RenderClear(m_pRenderer);
    SDL_RenderCopy(m_pRenderer, m_pBackdrop, nullptr, nullptr);
  }

 private:
  SDL_Window* m_pWindow = nullptr;
  SDL_Renderer* m_pRenderer = nullptr;
  SDL_Texture* m_pBackdrop = nullptr;
  bool m_bOwnWindow = false;
  bool m_bHideAfter = false;
};

// One ImGui context for the time a dialog is shown, with the game's Japanese font.
class Session {
 public:
  explicit Session(SDL_Renderer* renderer) {
    IMGUI_CHECKVERSION();
    m_pContext = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    io.DisplaySize = ImVec2(kWidth, kHeight);
    // The dialogs' own face (a proportional Gothic: IPA P Gothic), else the Japanese fallback.
    ResolvedFontFile font = ResolveFontFace("ＭＳ Ｐゴシック");
    if (!font.ok()) font = ResolveJapaneseFallback();
    ImFont* face = nullptr;
    if (font.ok()) {
      ImFontConfig config;
      config.FontNo = font.faceIndex;
      face = io.Fonts->AddFontFromFileTTF(font.path.c_str(), kFontPixels, &config, io.Fonts->GetGlyphRangesJapanese());
    }
    if (!face) io.Fonts->AddFontDefault();
    const std::pair<ImGuiKey_, SDL_Scancode> keys[] = {{ImGuiKey_Tab, SDL_SCANCODE_TAB},
                                                       {ImGuiKey_LeftArrow, SDL_SCANCODE_LEFT},
                                                       {ImGuiKey_RightArrow, SDL_SCANCODE_RIGHT},
                                                       {ImGuiKey_UpArrow, SDL_SCANCODE_UP},
                                                       {ImGuiKey_DownArrow, SDL_SCANCODE_DOWN},
                                                       {ImGuiKey_Home, SDL_SCANCODE_HOME},
                                                       {ImGuiKey_End, SDL_SCANCODE_END},
                                                       {ImGuiKey_Delete, SDL_SCANCODE_DELETE},
                                                       {ImGuiKey_Backspace, SDL_SCANCODE_BACKSPACE},
                                                       {ImGuiKey_Enter, SDL_SCANCODE_RETURN},
                                                       {ImGuiKey_Escape, SDL_SCANCODE_ESCAPE},
                                                       {ImGuiKey_A, SDL_SCANCODE_A},
                                                       {ImGuiKey_C, SDL_SCANCODE_C},
                                                       {ImGuiKey_V, SDL_SCANCODE_V},
                                                       {ImGuiKey_X, SDL_SCANCODE_X}};
    for (const auto& [key, code] : keys) io.KeyMap[key] = code;
    io.SetClipboardTextFn = [](void*, const char* text) { SDL_SetClipboardText(text); };
    io.GetClipboardTextFn = [](void*) -> const char* {
      static std::string s_clip;
      char* clip = SDL_GetClipboardText();
      s_clip = clip ? clip : "";
      SDL_free(clip);
      return s_clip.c_str();
    };
    ImGui::StyleColorsLight();
    ImGuiStyle& style = ImGui::GetStyle();
    style.WindowRounding = 0;
    style.FrameBorderSize = 1;
    style.WindowBorderSize = 1;
    ImGui_ImplSDLRenderer_Init(renderer);
  }
  ~Session() {
    ImGui_ImplSDLRenderer_Shutdown();
    ImGui::DestroyContext(m_pContext);
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Mouse events (in picture coordinates: the renderer's logical size converts them).
  void OnEvent(const SDL_Event& e) {
    ImGuiIO& io = ImGui::GetIO();
    switch (e.type) {
      case SDL_MOUSEMOTION:
        io.MousePos = ImVec2(static_cast<float>(e.motion.x), static_cast<float>(e.motion.y));
        NoteDialogCursor(e.motion.x, e.motion.y);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        io.MousePos = ImVec2(static_cast<float>(e.button.x), static_cast<float>(e.button.y));
        NoteDialogCursor(e.button.x, e.button.y);
        if (e.button.button == SDL_BUTTON_LEFT) SetKeyState(VK_LBUTTON, e.type == SDL_MOUSEBUTTONDOWN);
        if (e.button.button == SDL_BUTTON_RIGHT) SetKeyState(VK_RBUTTON, e.type == SDL_MOUSEBUTTONDOWN);
        if (e.button.button == SDL_BUTTON_LEFT) m_bPressed |= e.type == SDL_MOUSEBUTTONDOWN;
        if (e.button.button == SDL_BUTTON_LEFT && e.type == SDL_MOUSEBUTTONUP) m_bReleased = true;
        break;
      default: break;
    }
  }

  // Keys and text for ImGui's own text field (the file chooser's name).
  void OnKeyboardEvent(const SDL_Event& e) {
    ImGuiIO& io = ImGui::GetIO();
    if (e.type == SDL_TEXTINPUT) io.AddInputCharactersUTF8(e.text.text);
    if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) {
      const int code = e.key.keysym.scancode;
      if (code >= 0 && code < IM_ARRAYSIZE(io.KeysDown)) io.KeysDown[code] = e.type == SDL_KEYDOWN;
      const SDL_Keymod mod = SDL_GetModState();
      io.KeyShift = (mod & KMOD_SHIFT) != 0;
      io.KeyCtrl = (mod & KMOD_CTRL) != 0;
      io.KeyAlt = (mod & KMOD_ALT) != 0;
    }
  }

  void NewFrame() {
    ImGuiIO& io = ImGui::GetIO();
    io.DeltaTime = 1.0f / 60.0f;
    // A click shorter than a frame still counts: down for one frame, then up.
    io.MouseDown[0] = m_bPressed || (io.MouseDown[0] && !m_bReleased);
    if (!m_bPressed) m_bReleased = false;
    m_bPressed = false;
    ImGui_ImplSDLRenderer_NewFrame();
    ImGui::NewFrame();
  }

  void Render(Screen& screen) {
    ImGui::Render();
    screen.DrawBackdrop();
    ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
    SDL_RenderPresent(screen.Renderer());
    g_framesDrawn.fetch_add(1);
  }

 private:
  ImGuiContext* m_pContext = nullptr;
  bool m_bPressed = false, m_bReleased = false;
};

std::string utf8(const std::string& cp932) { return Cp932ToUtf8(cp932); }

ImVec2 itemPos(const DialogItemTemplate& item, float top) {
  return ImVec2(static_cast<float>(DialogUnitsToPixelsX(item.x)), top + DialogUnitsToPixelsY(item.y));
}
ImVec2 itemSize(const DialogItemTemplate& item) {
  return ImVec2(static_cast<float>(DialogUnitsToPixelsX(item.width)),
                static_cast<float>(DialogUnitsToPixelsY(item.height)));
}

// An edit box: its frame, its text with the selection and caret, and an unfinished composition after
// the caret (underlined). Returns true when clicked.
bool drawEdit(HWND dialog, const DialogItemTemplate& item, bool focused) {
  const ImVec2 size = itemSize(item);
  const bool clicked = ImGui::InvisibleButton(("##edit" + std::to_string(item.id)).c_str(), size);
  const ImVec2 a = ImGui::GetItemRectMin(), b = ImGui::GetItemRectMax();
  ImDrawList* draw = ImGui::GetWindowDrawList();
  draw->AddRectFilled(a, b, IM_COL32(255, 255, 255, 255));
  draw->AddRect(a, b, focused ? IM_COL32(0, 90, 200, 255) : IM_COL32(120, 120, 120, 255));
  const std::string text = DlgItemText(dialog, item.id);
  int selStart = 0, selEnd = 0;
  GetDlgItemSel(dialog, item.id, &selStart, &selEnd);
  const float y = a.y + (size.y - ImGui::GetFontSize()) / 2;
  const float x0 = a.x + 3;
  auto widthOf = [&](size_t bytes) { return ImGui::CalcTextSize(utf8(text.substr(0, bytes)).c_str()).x; };
  // A click puts the caret at the character boundary nearest to it.
  if (clicked) {
    const float mouse = ImGui::GetIO().MousePos.x - x0;
    size_t caret = 0;
    for (size_t i = 0; i < text.size();) {
      const size_t next = i + Cp932CharLength(text, i);
      if (mouse < (widthOf(i) + widthOf(next)) / 2) break;
      caret = i = next;
    }
    SetDlgItemSel(dialog, item.id, static_cast<int>(caret), static_cast<int>(caret));
    selStart = selEnd = static_cast<int>(caret);
  }
  draw->PushClipRect(a, b, true);
  if (focused && selStart != selEnd)
    draw->AddRectFilled(ImVec2(x0 + widthOf(selStart), y), ImVec2(x0 + widthOf(selEnd), y + ImGui::GetFontSize()),
                        IM_COL32(160, 200, 255, 255));
  draw->AddText(ImVec2(x0, y), IM_COL32(0, 0, 0, 255), utf8(text).c_str());
  if (focused) {
    float caret = x0 + widthOf(selEnd);
    const std::string composing = DialogComposition(dialog);
    if (!composing.empty()) {
      const float w = ImGui::CalcTextSize(composing.c_str()).x;
      draw->AddRectFilled(ImVec2(caret, y), ImVec2(caret + w, y + ImGui::GetFontSize()), IM_COL32(255, 255, 255, 255));
      draw->AddText(ImVec2(caret, y), IM_COL32(0, 0, 0, 255), composing.c_str());
      draw->AddLine(ImVec2(caret, y + ImGui::GetFontSize()), ImVec2(caret + w, y + ImGui::GetFontSize()),
                    IM_COL32(0, 0, 0, 255));
      caret += w;
    }
    draw->AddLine(ImVec2(caret, y), ImVec2(caret, y + ImGui::GetFontSize()), IM_COL32(0, 0, 0, 255));
    // The input method's candidate window goes beside the caret.
    SDL_Rect rect{static_cast<int>(caret), static_cast<int>(y), 1, static_cast<int>(ImGui::GetFontSize())};
    SDL_SetTextInputRect(&rect);
  }
  draw->PopClipRect();
  return clicked;
}

// Draws one frame of the dialog; returns the control clicked (0: none), or -1 for the close box.
int drawDialog(HWND dialog) {
  const DialogTemplate* tpl = DialogTemplateOf(dialog);
  if (!tpl) return 0;
  int x = 0, y = 0, width = 0, height = 0;
  GetDialogPos(dialog, &x, &y);
  GetDialogSize(dialog, &width, &height);
  const float top = tpl->hasCaption ? ImGui::GetFrameHeight() : 0.0f;
  ImGui::SetNextWindowPos(ImVec2(static_cast<float>(x), static_cast<float>(y)));
  ImGui::SetNextWindowSize(ImVec2(static_cast<float>(width), height + top));
  ImGui::SetNextWindowFocus();
  ImGuiWindowFlags flags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoCollapse |
                           ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoScrollbar;
  if (!tpl->hasCaption) flags |= ImGuiWindowFlags_NoTitleBar;
  bool open = true;
  const std::string title = utf8(GetDialogCaption(dialog)) + "###dialog";
  ImGui::Begin(title.c_str(), tpl->hasCaption ? &open : nullptr, flags);
  const int focus = GetDlgFocus(dialog);
  int clicked = 0;
  ImDrawList* draw = ImGui::GetWindowDrawList();
  const ImVec2 origin = ImGui::GetWindowPos();
  for (const DialogItemTemplate& item : tpl->items) {
    const ImVec2 pos = itemPos(item, top), size = itemSize(item);
    ImGui::SetCursorPos(pos);
    const std::string text = utf8(DlgItemText(dialog, item.id));
    const std::string label = text + "##" + std::to_string(item.id);
    const bool enabled = IsDlgItemEnabled(dialog, item.id);
    if (!enabled) ImGui::BeginDisabled();
    switch (item.kind) {
      case DialogItemKind::Icon: break;
      case DialogItemKind::Static:
        ImGui::PushTextWrapPos(pos.x + size.x);
        ImGui::TextUnformatted(text.c_str());
        ImGui::PopTextWrapPos();
        break;
      case DialogItemKind::Group: {
        const ImVec2 a(origin.x + pos.x, origin.y + pos.y + ImGui::GetFontSize() / 2);
        draw->AddRect(a, ImVec2(origin.x + pos.x + size.x, origin.y + pos.y + size.y), IM_COL32(150, 150, 150, 255));
        ImGui::SetCursorPos(ImVec2(pos.x + 6, pos.y));
        ImGui::TextUnformatted(text.c_str());
        break;
      }
      case DialogItemKind::Button:
      case DialogItemKind::DefaultButton:
        if (ImGui::Button(label.c_str(), size)) clicked = item.id;
        if (item.kind == DialogItemKind::DefaultButton)
          draw->AddRect(ImGui::GetItemRectMin(), ImGui::GetItemRectMax(), IM_COL32(0, 0, 0, 255), 0, 0, 2);
        break;
      case DialogItemKind::Radio:
        if (ImGui::RadioButton(label.c_str(), IsDlgButtonChecked(dialog, item.id) == BST_CHECKED)) clicked = item.id;
        break;
      case DialogItemKind::Check: {
        bool checked = IsDlgButtonChecked(dialog, item.id) == BST_CHECKED;
        if (ImGui::Checkbox(label.c_str(), &checked)) clicked = item.id;
        break;
      }
      case DialogItemKind::Edit:
        if (drawEdit(dialog, item, focus == item.id)) SetDlgFocus(dialog, item.id);
        break;
    }
    if (!enabled) ImGui::EndDisabled();
    // The keyboard focus of a control other than an edit box: a dotted frame, drawn as a thin one.
    if (focus == item.id && item.kind != DialogItemKind::Edit && item.kind != DialogItemKind::Static &&
        item.kind != DialogItemKind::Group && item.kind != DialogItemKind::Icon)
      draw->AddRect(ImVec2(ImGui::GetItemRectMin().x - 2, ImGui::GetItemRectMin().y - 2),
                    ImVec2(ImGui::GetItemRectMax().x + 2, ImGui::GetItemRectMax().y + 2), IM_COL32(0, 90, 200, 255));
  }
  ImGui::End();
  return open ? clicked : -1;
}

// Window-system events that are not the dialog's: keep the game's input records in step.
void otherEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_JOYDEVICEADDED: JoystickDeviceAdded(e.jdevice.which); break;
    case SDL_JOYDEVICEREMOVED: JoystickDeviceRemoved(e.jdevice.which); break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) ReleaseAllKeys();
      break;
    default: break;
  }
}

// A key press of the dialog: the keyboard hook and the dialog manager, then the focused control.
void dialogKeyDown(HWND dialog, const SDL_KeyboardEvent& key) {
  const int vk = VirtualKeyFromScancode(key.keysym.scancode);
  if (!vk) return;
  SetKeyState(vk, true);
  DialogKey(dialog, vk, true);
  if (DialogEnded(dialog)) return;
  const bool ctrl = (key.keysym.mod & KMOD_CTRL) != 0;
  if (vk == VK_TAB) {
    DialogFocusNext(dialog, (key.keysym.mod & KMOD_SHIFT) != 0);
  } else if (vk == VK_SPACE && !DialogComposing(dialog)) {
    const int focus = GetDlgFocus(dialog);
    if (const DialogTemplate* tpl = DialogTemplateOf(dialog))
      for (const auto& item : tpl->items)
        if (item.id == focus && item.kind != DialogItemKind::Edit) DialogClick(dialog, focus);
  } else if (ctrl && vk == 'V') {
    if (char* clip = SDL_GetClipboardText()) {
      DialogInsertText(dialog, clip);
      SDL_free(clip);
    }
  } else if (ctrl && vk == 'C') {
    const int focus = GetDlgFocus(dialog);
    int a = 0, b = 0;
    GetDlgItemSel(dialog, focus, &a, &b);
    const std::string text = DlgItemText(dialog, focus);
    if (a < b && static_cast<size_t>(b) <= text.size()) SDL_SetClipboardText(utf8(text.substr(a, b - a)).c_str());
  } else {
    DialogEditKey(dialog, vk, ctrl);
  }
}

class WindowDialogHost : public DialogHost {
 public:
  void Run(HWND dialog) override {
    Screen screen;
    if (!screen.Ready()) {
      std::fprintf(stderr, "[%s] the dialog cannot be shown: no window\n", utf8(GetDialogCaption(dialog)).c_str());
      return;
    }
    Session session(screen.Renderer());
    SDL_StartTextInput();
    while (!DialogEnded(dialog)) {
      SDL_Event e;
      if (SDL_WaitEventTimeout(&e, 16)) {
        do { handleEvent(dialog, session, e); } while (!DialogEnded(dialog) && SDL_PollEvent(&e));
      }
      // The game thread is stopped, but other threads may still send to this one.
      PumpDialogMessages(dialog);
      if (DialogEnded(dialog)) break;
      session.NewFrame();
      const int clicked = drawDialog(dialog);
      session.Render(screen);
      if (clicked == -1) DialogCloseBox(dialog);
      if (clicked > 0) DialogClick(dialog, clicked);
    }
    SDL_StopTextInput();
    ReleaseAllKeys();
  }

  bool ChooseFile(const FileChooserRequest& request, std::string& path) override;

 private:
  static void handleEvent(HWND dialog, Session& session, const SDL_Event& e) {
    switch (e.type) {
      case SDL_QUIT: DialogCloseBox(dialog); return;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) DialogCloseBox(dialog);
        otherEvent(e);
        return;
      case SDL_KEYDOWN: dialogKeyDown(dialog, e.key); return;
      case SDL_KEYUP: {
        const int vk = VirtualKeyFromScancode(e.key.keysym.scancode);
        if (!vk) return;
        SetKeyState(vk, false);
        DialogKey(dialog, vk, false);
        return;
      }
      case SDL_TEXTEDITING: DialogSetComposition(dialog, e.edit.text); return;
      case SDL_TEXTINPUT:
        DialogSetComposition(dialog, "");
        DialogInsertText(dialog, e.text.text);
        return;
      default: session.OnEvent(e); otherEvent(e);
    }
  }
};

// The file part of a path (after its last separator, at character boundaries).
std::string fileNamePart(const std::string& path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += Cp932CharLength(path, i))
    if (path[i] == '\\' || path[i] == '/') start = i + 1;
  return path.substr(start);
}

// The file chooser: the folder's files that match the pattern, in the folder's listing order, and a
// name field (a click on a file fills it in, a double click chooses it).
bool WindowDialogHost::ChooseFile(const FileChooserRequest& request, std::string& path) {
  Screen screen;
  if (!screen.Ready()) return false;
  Session session(screen.Renderer());
  std::vector<std::string> files;  // CP932
  std::vector<cFolderEntry> entries;
  FindFiles(request.folder + request.pattern, entries);
  for (const cFolderEntry& entry : entries)
    if (!entry.isFolder) files.push_back(entry.name);
  std::vector<char> name(1024, '\0');
  const std::string initial = utf8(fileNamePart(request.initialName));
  std::copy_n(initial.begin(), std::min(initial.size(), name.size() - 1), name.begin());
  const std::string title = utf8(request.title) + "###chooser";
  const std::string filter = utf8(request.description);
  int selected = -1;
  SDL_StartTextInput();
  for (;;) {
    int action = 0;  // 1 choose, -1 cancel
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, 16)) {
      do {
        if (e.type == SDL_QUIT || (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE)) action = -1;
        if (e.type == SDL_KEYDOWN && e.key.keysym.scancode == SDL_SCANCODE_ESCAPE) action = -1;
        if (e.type == SDL_KEYDOWN &&
            (e.key.keysym.scancode == SDL_SCANCODE_RETURN || e.key.keysym.scancode == SDL_SCANCODE_KP_ENTER))
          action = 1;
        session.OnEvent(e);
        session.OnKeyboardEvent(e);
        otherEvent(e);
      } while (SDL_PollEvent(&e));
    }
    session.NewFrame();
    ImGui::SetNextWindowPos(ImVec2(40, 40));
    ImGui::SetNextWindowSize(ImVec2(kWidth - 80, kHeight - 80));
    bool open = true;
    ImGui::Begin(title.c_str(), &open,
                 ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoCollapse |
                     ImGuiWindowFlags_NoSavedSettings);
    ImGui::TextUnformatted(utf8(request.folder).c_str());
    ImGui::BeginChild("files", ImVec2(0, kHeight - 80 - 130), true);
    for (size_t i = 0; i < files.size(); ++i) {
      const std::string label = utf8(files[i]) + "##" + std::to_string(i);
      if (ImGui::Selectable(label.c_str(), selected == static_cast<int>(i), ImGuiSelectableFlags_AllowDoubleClick)) {
        selected = static_cast<int>(i);
        std::fill(name.begin(), name.end(), '\0');
        const std::string chosen = utf8(files[i]);
        std::copy_n(chosen.begin(), std::min(chosen.size(), name.size() - 1), name.begin());
        if (ImGui::IsMouseDoubleClicked(0)) action = 1;
      }
    }
    ImGui::EndChild();
    ImGui::SetNextItemWidth(kWidth - 80 - 20);
    if (ImGui::IsWindowAppearing()) ImGui::SetKeyboardFocusHere();
    ImGui::InputText("##name", name.data(), name.size());
    ImGui::TextUnformatted(filter.c_str());
    if (ImGui::Button(utf8(request.save ? "保存##ok" : "開く##ok").c_str(), ImVec2(100, 0))) action = 1;
    ImGui::SameLine();
    if (ImGui::Button(utf8("キャンセル##cancel").c_str(), ImVec2(100, 0))) action = -1;
    ImGui::End();
    if (!open) action = -1;
    session.Render(screen);
    if (action == -1) break;
    if (action == 1) {
      std::string cp932;
      if (!Utf8ToCp932(name.data(), cp932)) {
        ShowMessageBox(RefusedTextMessage(), request.title.c_str(), MB_OK | MB_ICONWARNING);
        continue;
      }
      const std::string target = FileChooserTarget(request, cp932);
      if (target.empty()) {
        if (!cp932.empty())
          ShowMessageBox((cp932 + "\nファイルが見つかりません。").c_str(), request.title.c_str(),
                         MB_OK | MB_ICONWARNING);
        continue;
      }
      if (request.save && !MayChooseForSave(target)) continue;
      path = FileChooserFullPath(target);
      SDL_StopTextInput();
      ReleaseAllKeys();
      return true;
    }
  }
  SDL_StopTextInput();
  ReleaseAllKeys();
  return false;
}
}  // namespace

void SetDialogCursorPos(int x, int y) {
  NoteDialogCursor(x, y);
  if (GameWindowHeadless() || !SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_Window* window = GameWindowSdlWindow();
  SDL_Renderer* renderer = GameWindowSdlRenderer();
  if (!window || !renderer || !(SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS)) return;
  int wx = 0, wy = 0;
  SDL_RenderLogicalToWindow(renderer, static_cast<float>(x), static_cast<float>(y), &wx, &wy);
  SDL_WarpMouseInWindow(window, wx, wy);
}

uint64_t WindowDialogFramesDrawn() { return g_framesDrawn.load(); }

std::unique_ptr<DialogHost> MakeWindowDialogHost() {
  if (GameWindowHeadless() || !SDL_WasInit(SDL_INIT_VIDEO)) return nullptr;
  return std::make_unique<WindowDialogHost>();
}

std::unique_ptr<DialogHost> MakeDefaultDialogHost() {
  if (GameWindowHeadless()) return MakeScriptedDialogHost();
  if (auto host = MakeWindowDialogHost()) return host;
  return MakeScriptedDialogHost();
}
