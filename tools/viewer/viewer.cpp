// status-display-viewer: shows what a fake framebuffer's panel shows (tools/fakefb), live, in a desktop
// window, scaled up with square pixels. Reads the shared-memory file 30 times a second; waits for the
// file while the program has not opened its framebuffer yet.
//
//   status-display-viewer [--scale N] [SHM_FILE]
//     SHM_FILE    the file behind the fake /dev/fb0 (default: $FAKEFB_SHM, else /dev/shm/fakefb)
//     --scale N   window pixels per panel pixel, 1 to 8 (default 2)
// Close the window, or press q or Escape, to end.
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fakefb_shm.h"
#include "fb_page.h"

namespace {

constexpr uint32_t kFrameMs = 33; // about 30 refreshes a second

// The file, mapped read-only; mapped again whenever its size changes (the program empties and
// resizes it when it opens the device).
class ShmFile {
  public:
    explicit ShmFile(std::string path) : path_(std::move(path)) {}
    ~ShmFile() { unmap(); }
    ShmFile(const ShmFile&) = delete;
    ShmFile& operator=(const ShmFile&) = delete;

    bool read(FbPage* page) {
        struct stat st {};
        if (stat(path_.c_str(), &st) != 0 || st.st_size <= 0) {
            unmap();
            return false;
        }
        if (data_ == nullptr || size_t(st.st_size) != size_ || st.st_ino != ino_) {
            unmap();
            const int fd = open(path_.c_str(), O_RDONLY);
            if (fd < 0) return false;
            void* p = mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_SHARED, fd, 0);
            close(fd);
            if (p == MAP_FAILED) return false;
            data_ = static_cast<const uint8_t*>(p);
            size_ = size_t(st.st_size);
            ino_ = st.st_ino;
        }
        return fb_page_read(data_, size_, page);
    }

  private:
    void unmap() {
        if (data_ != nullptr) munmap(const_cast<uint8_t*>(data_), size_);
        data_ = nullptr;
        size_ = 0;
    }

    std::string path_;
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    ino_t ino_ = 0;
};

int usage(int status) {
    fprintf(status == 0 ? stdout : stderr, "usage: status-display-viewer [--scale N] [SHM_FILE]\n");
    return status;
}

} // namespace

int main(int argc, char** argv) {
    const char* env = getenv("FAKEFB_SHM");
    std::string path = env != nullptr && env[0] != '\0' ? env : FAKEFB_DEFAULT_SHM;
    int scale = 2;
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") return usage(0);
        if (arg == "--scale" && i + 1 < argc) {
            scale = atoi(argv[++i]);
            if (scale < 1 || scale > 8) return usage(2);
        } else if (!arg.empty() && arg[0] != '-') {
            path = arg;
        } else {
            return usage(2);
        }
    }

    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "status-display-viewer: no display: %s\n", SDL_GetError());
        return 1;
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0"); // square pixels, no smoothing
    ShmFile shm(path);
    FbPage page;
    const bool ready = shm.read(&page);
    const int w = ready ? int(page.w) : 320, h = ready ? int(page.h) : 240;
    SDL_Window* window = SDL_CreateWindow(("Status display - " + path).c_str(), SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, w * scale, h * scale, 0);
    SDL_Renderer* renderer = window != nullptr ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    if (renderer == nullptr) {
        fprintf(stderr, "status-display-viewer: cannot open a window: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }

    SDL_Texture* texture = nullptr;
    uint32_t tex_w = 0, tex_h = 0;
    bool running = true;
    while (running) {
        const uint32_t start = SDL_GetTicks();
        SDL_Event ev;
        while (SDL_PollEvent(&ev)) {
            if (ev.type == SDL_QUIT) running = false;
            if (ev.type == SDL_KEYDOWN && (ev.key.keysym.sym == SDLK_q || ev.key.keysym.sym == SDLK_ESCAPE))
                running = false;
        }
        SDL_SetRenderDrawColor(renderer, 40, 40, 40, 255);
        SDL_RenderClear(renderer);
        if (shm.read(&page)) {
            if (texture == nullptr || tex_w != page.w || tex_h != page.h) {
                if (texture != nullptr) SDL_DestroyTexture(texture);
                texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                            int(page.w), int(page.h));
                tex_w = page.w;
                tex_h = page.h;
                SDL_SetWindowSize(window, int(page.w) * scale, int(page.h) * scale);
            }
            if (texture != nullptr) {
                SDL_UpdateTexture(texture, nullptr, page.px.data(), int(page.w * sizeof(uint32_t)));
                SDL_RenderCopy(renderer, texture, nullptr, nullptr);
            }
        }
        SDL_RenderPresent(renderer);
        const uint32_t spent = SDL_GetTicks() - start;
        if (spent < kFrameMs) SDL_Delay(kFrameMs - spent);
    }
    if (texture != nullptr) SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
