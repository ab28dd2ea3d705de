find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(VORBISFILE REQUIRED IMPORTED_TARGET vorbisfile vorbis ogg)
pkg_check_modules(VORBISENC REQUIRED IMPORTED_TARGET vorbisenc)
pkg_check_modules(FLUIDSYNTH REQUIRED IMPORTED_TARGET fluidsynth)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
if(QC4_BUILD_TESTS)
  find_package(GTest REQUIRED)
  # The real-window test reads the window's picture back from the X server.
  pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
endif()
if(QC4_BUILD_BENCH)
  find_package(benchmark REQUIRED)
endif()
# Dear ImGui draws the dialogs inside the game window. Debian's package ships the library with its
# SDL2 backend; the SDL_Renderer backend comes as a source file beside its examples.
pkg_check_modules(IMGUI REQUIRED IMPORTED_TARGET imgui)
find_file(QC4_IMGUI_SDLRENDERER_SOURCE imgui_impl_sdlrenderer.cpp
  PATHS /usr/share/doc/libimgui-dev/examples/backends NO_DEFAULT_PATH REQUIRED)
