#pragma once
// The pointer's position on KDE Plasma (5.27 and 6) from a KWin script that the program loads
// over the session bus when a recording starts and unloads when it ends. The script reads
// workspace.cursorPos at every workspace.cursorPosChanged and calls kKwinPointerMethod on an
// object of the program's own connection with it, in the layout's logical pixels.
//
// The script is written for each recording into the user's runtime directory, with the
// program's connection named in it: no bus name to own (two programs, or one that crashed,
// cannot take each other's reports) and no file that the installed data must match. A
// thread of the source's own reads the bus and stamps each position on receipt; the
// positions reach the journal at its next device event.
#include <memory>
#include <string>
#include <string_view>

#include "platform/wayland/PointerSource.h"

inline constexpr const char* kKwinPointerPath = "/org/tapewright/KWinPointer";
inline constexpr const char* kKwinPointerInterface = "org.tapewright.KWinPointer";
inline constexpr const char* kKwinPointerMethod = "Moved";

class KwinScriptSource final : public PointerSource {
  public:
    KwinScriptSource();
    ~KwinScriptSource() override;
    KwinScriptSource(const KwinScriptSource&) = delete;
    KwinScriptSource& operator=(const KwinScriptSource&) = delete;

    std::string Name() const override { return "KWin スクリプト"; }
    bool Exact() const override { return true; }
    // Loads and runs the script and waits for its first position; refused when KWin's
    // scripting is not on the session bus or the script does not report.
    bool Start(Report report, std::string& refusal) override;
    void Before(const DeviceEvent& event) override;
    // Unloads the script; the destructor does too.
    void Stop() override;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// The script's text: it reports to the connection busName (":1.42"). After the program has
// gone without unloading it (a crash), it stops reporting.
std::string KwinPointerScript(std::string_view busName);

// The source where XDG_CURRENT_DESKTOP names KDE (Plasma's sessions set it), else nullptr.
std::unique_ptr<PointerSource> OpenKwinScriptSource();
