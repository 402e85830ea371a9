// Another program's window for the end-to-end runs: a small grey window at
// the screen's top-left corner, for a test to give the focus to. Prints
// "shown" once it is on the screen; ends when asked to quit (SIGTERM, or
// its window closed), or after 60 s.
#include <SDL.h>

#include <cstdio>

int main(int, char**) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* window = SDL_CreateWindow("QuarreloOther", 0, 0, 200, 150, SDL_WINDOW_SHOWN);
  SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE) : nullptr;
  if (renderer == nullptr) return 1;
  bool said = false;
  for (Uint32 start = SDL_GetTicks(); SDL_GetTicks() - start < 60000;) {
    SDL_Event event;
    bool quit = false;
    while (SDL_PollEvent(&event)) quit = quit || event.type == SDL_QUIT;
    if (quit) break;
    SDL_SetRenderDrawColor(renderer, 128, 128, 128, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
    if (!said) {
      std::printf("shown\n");
      std::fflush(stdout);
      said = true;
    }
    SDL_Delay(20);
  }
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
