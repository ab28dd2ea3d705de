#pragma once
// The SDL objects of the game window, for the code of this folder that draws in it outside the frame
// mailbox (the in-window message box). UI thread only; null while no window exists or headless.
struct SDL_Window;
struct SDL_Renderer;

SDL_Window* GameWindowSdlWindow();
SDL_Renderer* GameWindowSdlRenderer();
// Makes the next ShowLatestFrame show the newest frame again, after something else was drawn.
void GameWindowRedrawFrame();
