#include "platform/fltk/CjkFont.h"

#include <FL/Fl.H>
#include <fontconfig/fontconfig.h>

namespace {

const char* const kPreferredFamilies[] = {"Noto Sans CJK JP", "IPAGothic"};

auto Text(const char* text) {
    return reinterpret_cast<const FcChar8*>(text);
}

// A pattern asking for Japanese coverage, with family when one is given.
FcPattern* JapanesePattern(const char* family) {
    FcPattern* pattern = FcPatternCreate();
    if (family != nullptr) FcPatternAddString(pattern, FC_FAMILY, Text(family));
    FcLangSet* languages = FcLangSetCreate();
    FcLangSetAdd(languages, Text("ja"));
    FcPatternAddLangSet(pattern, FC_LANG, languages);
    FcLangSetDestroy(languages);
    return pattern;
}

bool IsInstalled(const char* family) {
    FcPattern* pattern = JapanesePattern(family);
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    bool found = fonts != nullptr && fonts->nfont > 0;
    if (fonts != nullptr) FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return found;
}

// The first family of the best match for a Japanese sans-serif, if it covers Japanese.
std::string BestMatch() {
    FcPattern* pattern = JapanesePattern("sans-serif");
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string family;
    FcChar8* name = nullptr;
    FcLangSet* languages = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch &&
        FcPatternGetLangSet(match, FC_LANG, 0, &languages) == FcResultMatch &&
        FcLangSetHasLang(languages, Text("ja")) == FcLangEqual) {
        family = reinterpret_cast<const char*>(name);
    }
    if (match != nullptr) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return family;
}

}  // namespace

std::string JapaneseFontFamily() {
    if (!FcInit()) return {};
    for (const char* family : kPreferredFamilies) {
        if (IsInstalled(family)) return family;
    }
    return BestMatch();
}

void InstallJapaneseFaces() {
    // FLTK keeps the name pointers: the strings live as long as the program.
    static const std::string family = JapaneseFontFamily();
    if (family.empty()) return;
    // FLTK's Xft names begin with a style letter: ' ' regular, 'B' bold.
    static const std::string regular = " " + family;
    static const std::string bold = "B" + family;
    Fl::set_font(FL_HELVETICA, regular.c_str());
    Fl::set_font(FL_HELVETICA_BOLD, bold.c_str());
    Fl::set_font(FL_TIMES, regular.c_str());
    Fl::set_font(FL_TIMES_BOLD, bold.c_str());
}

Fl_Font FaceForFontName(const std::string&) {
    // "MS UI Gothic" and "Tahoma" alike: the Japanese face also carries the Latin letters.
    return FL_HELVETICA;
}
