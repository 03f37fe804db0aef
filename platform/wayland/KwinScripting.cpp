#include "platform/wayland/KwinScripting.h"

#include <cstdint>

#include "platform/wayland/SessionBus.h"

namespace {

constexpr const char* kKwin = "org.kde.KWin";
constexpr const char* kScriptingPath = "/Scripting";
constexpr const char* kScripting = "org.kde.kwin.Scripting";
constexpr const char* kScript = "org.kde.kwin.Script";

bool Absent(const BusError& error) {
    return error.Is(SD_BUS_ERROR_SERVICE_UNKNOWN) || error.Is(SD_BUS_ERROR_NAME_HAS_NO_OWNER) ||
           error.Is(SD_BUS_ERROR_UNKNOWN_OBJECT) || error.Is(SD_BUS_ERROR_UNKNOWN_INTERFACE) ||
           error.Is(SD_BUS_ERROR_UNKNOWN_METHOD);
}

// The script's id; -1 when a script of that name is loaded already.
KwinScriptLoad Load(sd_bus* bus, const std::string& file, const std::string& name, int32_t& id,
                    std::string& error) {
    BusError callError;
    sd_bus_message* raw = nullptr;
    int r = sd_bus_call_method(bus, kKwin, kScriptingPath, kScripting, "loadScript",
                               callError.get(), &raw, "ss", file.c_str(), name.c_str());
    MessageHandle reply(raw);
    if (r >= 0) r = sd_bus_message_read(raw, "i", &id);
    if (r >= 0) return KwinScriptLoad::Running;
    error = "loadScript: " + callError.Text(r);
    return Absent(callError) ? KwinScriptLoad::Absent : KwinScriptLoad::Failed;
}

}  // namespace

KwinScriptLoad LoadKwinScript(sd_bus* bus, const std::string& file, const std::string& name,
                              std::string& error) {
    int32_t id = -1;
    for (int attempt = 0; attempt < 2 && id < 0; ++attempt) {
        if (attempt > 0) UnloadKwinScript(bus, name);
        const KwinScriptLoad loaded = Load(bus, file, name, id, error);
        if (loaded != KwinScriptLoad::Running) return loaded;
    }
    if (id < 0) {
        error = "loadScript: KWin がスクリプト " + name + " を読み込みません。";
        return KwinScriptLoad::Failed;
    }
    // Plasma 6 names the script's object /Scripting/Script<id>, Plasma 5 /<id>.
    for (const std::string& path :
         {"/Scripting/Script" + std::to_string(id), "/" + std::to_string(id)}) {
        BusError tried;
        const int r =
            sd_bus_call_method(bus, kKwin, path.c_str(), kScript, "run", tried.get(), nullptr, "");
        if (r >= 0) return KwinScriptLoad::Running;
        error = "run (" + path + "): " + tried.Text(r);
        if (!tried.Is(SD_BUS_ERROR_UNKNOWN_OBJECT)) break;
    }
    UnloadKwinScript(bus, name);
    return KwinScriptLoad::Failed;
}

bool UnloadKwinScript(sd_bus* bus, const std::string& name) {
    sd_bus_message* raw = nullptr;
    int r = sd_bus_call_method(bus, kKwin, kScriptingPath, kScripting, "unloadScript", nullptr,
                               &raw, "s", name.c_str());
    MessageHandle reply(raw);
    int unloaded = 0;
    if (r >= 0) r = sd_bus_message_read(raw, "b", &unloaded);
    return r >= 0 && unloaded != 0;
}
