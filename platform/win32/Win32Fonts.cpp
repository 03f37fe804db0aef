#include "platform/win32/Win32Fonts.h"

#include <map>
#include <tuple>

#include "platform/win32/TextConversion.h"

namespace {

using FontKey = std::tuple<std::string, int32_t, int32_t>;

HFONT MakeFont(const TFont& font) {
    LOGFONTW description{};
    description.lfHeight = font.Height;
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = static_cast<BYTE>(font.Charset);
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    std::wstring face = WideFromProgramText(font.Name);
    face.copy(description.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&description);
}

}  // namespace

HFONT FontHandle(const TFont& font) {
    static std::map<FontKey, HFONT> fonts;
    if (font.Name.empty() || font.Height == 0) {
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    FontKey key{font.Name, font.Height, font.Charset};
    auto found = fonts.find(key);
    if (found != fonts.end()) return found->second;
    HFONT handle = MakeFont(font);
    fonts.emplace(key, handle);
    return handle;
}

HFONT SelectFittingFont(HDC dc, const TFont& font, const std::wstring& text, int width) {
    constexpr int32_t kSmallest = -9;
    TFont tried = font;
    HFONT handle = FontHandle(tried);
    for (int32_t height = font.Height; height <= kSmallest; ++height) {
        tried.Height = height;
        handle = FontHandle(tried);
        SelectObject(dc, handle);
        RECT needed{0, 0, 0, 0};
        DrawTextW(dc, text.c_str(), -1, &needed, DT_SINGLELINE | DT_CALCRECT);
        if (needed.right <= width) return handle;
    }
    SelectObject(dc, handle);
    return handle;
}
