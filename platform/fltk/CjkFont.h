#pragma once
// FLTK 1.3 draws a string in one font without fallback, so Japanese text needs a face that
// covers it. The family is found through fontconfig and put behind FLTK's Helvetica and
// Times faces, which every label, menu, tool tip, file chooser and help page uses.
#include <FL/Enumerations.H>

#include <string>

// A family with Japanese coverage: "Noto Sans CJK JP", else "IPAGothic", else the best
// fontconfig match for a Japanese sans-serif. Empty when the system has none.
std::string JapaneseFontFamily();

// Points the Helvetica and Times faces (regular and bold) at JapaneseFontFamily(), once.
void InstallJapaneseFaces();

// The FLTK face for a toolkit font name ("MS UI Gothic", "Tahoma", "" for the default).
Fl_Font FaceForFontName(const std::string& name);
