#include "platform/win32/Win32Glyphs.h"

#include <cctype>
#include <map>
#include <string>

namespace {

constexpr COLORREF kTransparent = RGB(255, 0, 255);

HBITMAP LoadNamed(const std::string& name) {
    static std::map<std::string, HBITMAP> loaded;
    auto found = loaded.find(name);
    if (found != loaded.end()) return found->second;
    auto* bitmap = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleW(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, 0));
    loaded.emplace(name, bitmap);
    return bitmap;
}

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) return SIZE{};
    return SIZE{info.bmWidth, info.bmHeight};
}

}  // namespace

GlyphBitmaps FindGlyph(std::string_view id, int numGlyphs) {
    if (id.empty()) return {};
    std::string name = "GLYPH_";
    for (char c : id) name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    GlyphBitmaps glyph;
    glyph.normal = LoadNamed(name);
    if (glyph.normal == nullptr) return {};
    glyph.size = SizeOf(glyph.normal);
    if (numGlyphs >= 2) glyph.disabled = LoadNamed(name + "_DISABLED");
    if (glyph.disabled == nullptr) glyph.disabled = LoadNamed(name + "_GREY");
    return glyph;
}

void DrawGlyph(HDC dc, HBITMAP bitmap, int left, int top) {
    if (bitmap == nullptr) return;
    SIZE size = SizeOf(bitmap);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ before = SelectObject(source, bitmap);
    TransparentBlt(dc, left, top, size.cx, size.cy, source, 0, 0, size.cx, size.cy, kTransparent);
    SelectObject(source, before);
    DeleteDC(source);
}
