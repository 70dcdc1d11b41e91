// render_expected.cpp: draws the window the operator should be looking at,
// from a list of texts, into an 800x800 PPM image.
//
// The end-to-end driver writes the texts it expects on screen; this program
// paints them the way the window is painted (solid-mode SDL_ttf text, Latin-1
// bytes, font.ttf at size 12) onto an off-screen surface, so the capture of
// the real window can be compared with it pixel for pixel. It knows nothing
// of tournaments: it only places texts.
//
// Usage: render_expected FONT OPS OUT.ppm
//
// OPS holds one drawing operation per line, applied in order to a black
// window; every text is given as hexadecimal bytes (possibly none):
//   credit              "Vandrell" in (0, 0, 255) at (0, 0)
//   left R HEX          text of row R of the left panel (kept for "panels")
//   right R HEX         text of row R of the right panel (kept for "panels")
//   panels              window to black, then every left row at (0, 15 R),
//                       then every right row at (420, 15 R), in (0, 200, 255)
//   message HEX         clear x 0..799, y 740..759; text (0, 100, 250) at (0, 740)
//   prompt HEX          clear x 0..299, y 760..779; text (0, 255, 100) at (0, 760)
//   input HEX           clear x 300..799, y 760..779; text (0, 255, 200) at (300, 760)
//   status HEX          clear x 0..799, y 780..799; text (255, 200, 60) at (0, 780)
//   warning HEX         clear x 0..799, y 780..799; text (255, 70, 70) at (0, 780)
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

constexpr int kSize = 800;
constexpr int kRowPitch = 15;
constexpr int kRightPanelX = 420;

struct Painter {
  SDL_Surface* surface;
  TTF_Font* font;
  std::map<int, std::string> leftRows;
  std::map<int, std::string> rightRows;
};

bool decodeHex(const std::string& hex, std::string* bytes) {
  if (hex.size() % 2 != 0) return false;
  bytes->clear();
  for (size_t i = 0; i < hex.size(); i += 2) {
    unsigned value = 0;
    if (std::sscanf(hex.substr(i, 2).c_str(), "%2x", &value) != 1) return false;
    bytes->push_back(static_cast<char>(value));
  }
  return true;
}

void fill(Painter& p, int x, int y, int w, int h) {
  SDL_Rect rect;
  rect.x = static_cast<Sint16>(x);
  rect.y = static_cast<Sint16>(y);
  rect.w = static_cast<Uint16>(w);
  rect.h = static_cast<Uint16>(h);
  SDL_FillRect(p.surface, &rect, SDL_MapRGB(p.surface->format, 0, 0, 0));
}

// Solid-mode text with its top-left corner at (x, y); the empty text draws
// nothing, like the renderer it mirrors.
void text(Painter& p, const std::string& bytes, int x, int y, Uint8 r, Uint8 g, Uint8 b) {
  SDL_Color colour = {r, g, b, 0};
  SDL_Surface* image = TTF_RenderText_Solid(p.font, bytes.c_str(), colour);
  if (!image) return;
  SDL_Rect at;
  at.x = static_cast<Sint16>(x);
  at.y = static_cast<Sint16>(y);
  at.w = 0;
  at.h = 0;
  SDL_BlitSurface(image, nullptr, p.surface, &at);
  SDL_FreeSurface(image);
}

void panels(Painter& p) {
  SDL_FillRect(p.surface, nullptr, SDL_MapRGB(p.surface->format, 0, 0, 0));
  for (const auto& row : p.leftRows) text(p, row.second, 0, kRowPitch * row.first, 0, 200, 255);
  for (const auto& row : p.rightRows)
    text(p, row.second, kRightPanelX, kRowPitch * row.first, 0, 200, 255);
}

bool applyOperation(Painter& p, const std::string& line) {
  std::istringstream in(line);
  std::string op, hex, bytes;
  in >> op;
  if (op == "credit") {
    text(p, "Vandrell", 0, 0, 0, 0, 255);
    return true;
  }
  if (op == "panels") {
    panels(p);
    return true;
  }
  if (op == "left" || op == "right") {
    int row = -1;
    in >> row >> hex;
    if (row < 0 || !decodeHex(hex, &bytes)) return false;
    (op == "left" ? p.leftRows : p.rightRows)[row] = bytes;
    return true;
  }
  in >> hex;
  if (!decodeHex(hex, &bytes)) return false;
  if (op == "message") {
    fill(p, 0, 740, kSize, 20);
    text(p, bytes, 0, 740, 0, 100, 250);
  } else if (op == "prompt") {
    fill(p, 0, 760, 300, 20);
    text(p, bytes, 0, 760, 0, 255, 100);
  } else if (op == "input") {
    fill(p, 300, 760, kSize - 300, 20);
    text(p, bytes, 300, 760, 0, 255, 200);
  } else if (op == "status") {
    fill(p, 0, 780, kSize, 20);
    text(p, bytes, 0, 780, 255, 200, 60);
  } else if (op == "warning") {
    fill(p, 0, 780, kSize, 20);
    text(p, bytes, 0, 780, 255, 70, 70);
  } else {
    return false;
  }
  return true;
}

bool writePpm(SDL_Surface* surface, const char* path) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << surface->w << " " << surface->h << "\n255\n";
  SDL_LockSurface(surface);
  for (int y = 0; y < surface->h; ++y) {
    const Uint32* row = reinterpret_cast<const Uint32*>(
        static_cast<const Uint8*>(surface->pixels) + y * surface->pitch);
    for (int x = 0; x < surface->w; ++x) {
      Uint8 rgb[3];
      SDL_GetRGB(row[x], surface->format, &rgb[0], &rgb[1], &rgb[2]);
      out.write(reinterpret_cast<const char*>(rgb), 3);
    }
  }
  SDL_UnlockSurface(surface);
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: render_expected FONT OPS OUT.ppm\n");
    return 2;
  }
  if (TTF_Init() != 0) {
    std::fprintf(stderr, "TTF_Init: %s\n", TTF_GetError());
    return 2;
  }
  Painter p;
  p.font = TTF_OpenFont(argv[1], 12);
  if (!p.font) {
    std::fprintf(stderr, "cannot open font %s: %s\n", argv[1], TTF_GetError());
    return 2;
  }
  p.surface = SDL_CreateRGBSurface(SDL_SWSURFACE, kSize, kSize, 32,
                                   0xFF0000, 0x00FF00, 0x0000FF, 0);
  SDL_FillRect(p.surface, nullptr, SDL_MapRGB(p.surface->format, 0, 0, 0));

  std::ifstream ops(argv[2], std::ios::binary);
  std::string line;
  int number = 0;
  while (std::getline(ops, line)) {
    ++number;
    if (line.empty()) continue;
    if (!applyOperation(p, line)) {
      std::fprintf(stderr, "%s:%d: bad operation: %s\n", argv[2], number, line.c_str());
      return 2;
    }
  }
  if (!writePpm(p.surface, argv[3])) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 2;
  }
  return 0;
}
