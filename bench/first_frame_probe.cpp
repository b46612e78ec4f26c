// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into a Qt program running on X (LD_PRELOAD) by
// bench/startup.sh: notes the moment the first picture reaches a mapped
// window, the program's first frame on screen. It watches the X calls Qt's
// backing store presents with (image uploads and copies into a window) and
// writes "first-frame <seconds since the epoch>" once, to the file named by
// FIRST_FRAME_FILE. Nothing else of the program changes.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

struct Cookie {
    unsigned int sequence;
};

constexpr int kMaxWindows = 64;
std::uint32_t g_mapped[kMaxWindows];
int g_mappedCount = 0;
bool g_done = false;

void noteMapped(std::uint32_t window)
{
    if (g_mappedCount < kMaxWindows)
        g_mapped[g_mappedCount++] = window;
}

void noteDrawn(std::uint32_t drawable)
{
    if (g_done)
        return;
    bool mapped = false;
    for (int i = 0; i < g_mappedCount; ++i)
        mapped = mapped || g_mapped[i] == drawable;
    if (!mapped)
        return;
    g_done = true;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    if (const char* name = std::getenv("FIRST_FRAME_FILE"))
        if (std::FILE* f = std::fopen(name, "a")) {
            std::fprintf(f, "first-frame %lld.%09ld\n", static_cast<long long>(now.tv_sec), now.tv_nsec);
            std::fclose(f);
        }
}

// The real function, from the library that defines it. Qt loads libxcb with
// its platform plugin, out of reach of RTLD_NEXT, so it is looked up there.
template <typename F>
F next(const char* library, const char* name)
{
    void* real = nullptr;
    if (void* handle = dlopen(library, RTLD_NOW | RTLD_NOLOAD))
        real = dlsym(handle, name);
    if (real == nullptr)
        real = dlsym(RTLD_NEXT, name);
    if (real == nullptr)
        std::abort();
    return reinterpret_cast<F>(real);
}

}  // namespace

extern "C" {

Cookie xcb_map_window(void* c, std::uint32_t window)
{
    static auto real = next<Cookie (*)(void*, std::uint32_t)>("libxcb.so.1", "xcb_map_window");
    noteMapped(window);
    return real(c, window);
}

Cookie xcb_map_window_checked(void* c, std::uint32_t window)
{
    static auto real = next<Cookie (*)(void*, std::uint32_t)>("libxcb.so.1", "xcb_map_window_checked");
    noteMapped(window);
    return real(c, window);
}

Cookie xcb_copy_area(void* c, std::uint32_t src, std::uint32_t dst, std::uint32_t gc, std::int16_t sx, std::int16_t sy,
                     std::int16_t dx, std::int16_t dy, std::uint16_t w, std::uint16_t h)
{
    static auto real = next<Cookie (*)(void*, std::uint32_t, std::uint32_t, std::uint32_t, std::int16_t, std::int16_t,
                                       std::int16_t, std::int16_t, std::uint16_t, std::uint16_t)>("libxcb.so.1", "xcb_copy_area");
    Cookie cookie = real(c, src, dst, gc, sx, sy, dx, dy, w, h);
    noteDrawn(dst);
    return cookie;
}

Cookie xcb_put_image(void* c, std::uint8_t format, std::uint32_t drawable, std::uint32_t gc, std::uint16_t w,
                     std::uint16_t h, std::int16_t x, std::int16_t y, std::uint8_t pad, std::uint8_t depth,
                     std::uint32_t length, const std::uint8_t* data)
{
    static auto real = next<Cookie (*)(void*, std::uint8_t, std::uint32_t, std::uint32_t, std::uint16_t, std::uint16_t,
                                       std::int16_t, std::int16_t, std::uint8_t, std::uint8_t, std::uint32_t,
                                       const std::uint8_t*)>("libxcb.so.1", "xcb_put_image");
    Cookie cookie = real(c, format, drawable, gc, w, h, x, y, pad, depth, length, data);
    noteDrawn(drawable);
    return cookie;
}

Cookie xcb_shm_put_image(void* c, std::uint32_t drawable, std::uint32_t gc, std::uint16_t tw, std::uint16_t th,
                         std::uint16_t sx, std::uint16_t sy, std::uint16_t sw, std::uint16_t sh, std::int16_t dx,
                         std::int16_t dy, std::uint8_t depth, std::uint8_t format, std::uint8_t sendEvent,
                         std::uint32_t shmseg, std::uint32_t offset)
{
    static auto real = next<Cookie (*)(void*, std::uint32_t, std::uint32_t, std::uint16_t, std::uint16_t, std::uint16_t,
                                       std::uint16_t, std::uint16_t, std::uint16_t, std::int16_t, std::int16_t,
                                       std::uint8_t, std::uint8_t, std::uint8_t, std::uint32_t, std::uint32_t)>(
        "libxcb-shm.so.0", "xcb_shm_put_image");
    Cookie cookie = real(c, drawable, gc, tw, th, sx, sy, sw, sh, dx, dy, depth, format, sendEvent, shmseg, offset);
    noteDrawn(drawable);
    return cookie;
}

}  // extern "C"
