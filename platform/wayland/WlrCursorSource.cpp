#include "platform/wayland/WlrCursorSource.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/wayland/ArrivedPositions.h"
#include "platform/wayland/CursorPlacement.h"
#include "platform/wayland/DisplayThread.h"
#include "wayland/ext-image-capture-source-client.h"
#include "wayland/ext-image-copy-capture-client.h"
#include "wayland/xdg-output-client.h"

namespace {

template <typename... Args>
void Ignore(void*, Args...) {}

}  // namespace

// Everything the source holds on its connection. Before Start's thread runs and after it
// stops, the UI thread alone uses it; meanwhile the thread alone, but for arrivals.
struct WlrCursorSource::State {
    struct Output {
        State* state = nullptr;
        uint32_t globalName = 0;
        wl_output* output = nullptr;
        zxdg_output_v1* xdg = nullptr;
        ext_image_capture_source_v1* source = nullptr;
        ext_image_copy_capture_cursor_session_v1* session = nullptr;
        OutputPlacement place;
    };

    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    wl_pointer* pointer = nullptr;
    zxdg_output_manager_v1* xdgManager = nullptr;
    ext_output_image_capture_source_manager_v1* sourceManager = nullptr;
    ext_image_copy_capture_manager_v1* copyManager = nullptr;
    std::vector<std::unique_ptr<Output>> outputs;
    DisplayThread thread;
    Report report;
    ArrivedPositions arrived;  // added to by the thread

    ~State() { Disconnect(); }

    bool Connect();
    void Disconnect();
    void Describe(Output& output);
    static void Destroy(Output& output);
    void Global(uint32_t name, const char* interface, uint32_t version);
    void GlobalRemove(uint32_t name);

    static void OnGlobal(void* self, wl_registry*, uint32_t name, const char* interface,
                         uint32_t version) {
        static_cast<State*>(self)->Global(name, interface, version);
    }
    static void OnGlobalRemove(void* self, wl_registry*, uint32_t name) {
        static_cast<State*>(self)->GlobalRemove(name);
    }
    static void OnCapabilities(void* self, wl_seat* seat, uint32_t capabilities) {
        auto& state = *static_cast<State*>(self);
        if ((capabilities & WL_SEAT_CAPABILITY_POINTER) == 0 || state.pointer != nullptr) return;
        state.pointer = wl_seat_get_pointer(seat);
        for (const auto& output : state.outputs) state.Describe(*output);
    }
    static void OnGeometry(void* data, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t,
                           const char*, const char*, int32_t transform) {
        static_cast<Output*>(data)->place.transform = static_cast<uint32_t>(transform);
    }
    static void OnMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height,
                       int32_t) {
        if ((flags & WL_OUTPUT_MODE_CURRENT) == 0) return;
        auto& place = static_cast<Output*>(data)->place;
        place.modeWidth = width;
        place.modeHeight = height;
    }
    static void OnLogicalPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y) {
        auto& place = static_cast<Output*>(data)->place;
        place.x = x;
        place.y = y;
    }
    static void OnLogicalSize(void* data, zxdg_output_v1*, int32_t width, int32_t height) {
        auto& place = static_cast<Output*>(data)->place;
        place.width = width;
        place.height = height;
    }
    // The hotspot on this output; a cursor image reaching in from a neighbour is left to it.
    static void OnPosition(void* data, ext_image_copy_capture_cursor_session_v1*, int32_t x,
                           int32_t y) {
        const auto& output = *static_cast<Output*>(data);
        if (const auto at = PlaceCursor(output.place, x, y)) output.state->arrived.Add(*at);
    }
};

bool WlrCursorSource::State::Connect() {
    static const wl_registry_listener kRegistry = {&State::OnGlobal, &State::OnGlobalRemove};
    display = wl_display_connect(nullptr);
    if (display == nullptr) return false;
    registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistry, this);
    return wl_display_roundtrip(display) >= 0 && sourceManager != nullptr &&
           copyManager != nullptr && xdgManager != nullptr && seat != nullptr;
}

void WlrCursorSource::State::Global(uint32_t name, const char* interface, uint32_t version) {
    static const wl_seat_listener kSeat = {&State::OnCapabilities, Ignore<wl_seat*, const char*>};
    static const wl_output_listener kOutput = {&State::OnGeometry,
                                               &State::OnMode,
                                               Ignore<wl_output*>,
                                               Ignore<wl_output*, int32_t>,
                                               Ignore<wl_output*, const char*>,
                                               Ignore<wl_output*, const char*>};
    const auto bind = [&](const wl_interface& type, uint32_t most) {
        return wl_registry_bind(registry, name, &type, std::min(version, most));
    };
    if (std::strcmp(interface, wl_output_interface.name) == 0) {
        auto output = std::make_unique<Output>();
        output->state = this;
        output->globalName = name;
        output->output = static_cast<wl_output*>(bind(wl_output_interface, 1));
        wl_output_add_listener(output->output, &kOutput, output.get());
        Describe(*output);
        outputs.push_back(std::move(output));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && seat == nullptr) {
        seat = static_cast<wl_seat*>(bind(wl_seat_interface, 2));
        wl_seat_add_listener(seat, &kSeat, this);
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        xdgManager =
            static_cast<zxdg_output_manager_v1*>(bind(zxdg_output_manager_v1_interface, 3));
    } else if (std::strcmp(interface, ext_output_image_capture_source_manager_v1_interface.name) ==
               0) {
        sourceManager = static_cast<ext_output_image_capture_source_manager_v1*>(
            bind(ext_output_image_capture_source_manager_v1_interface, 1));
    } else if (std::strcmp(interface, ext_image_copy_capture_manager_v1_interface.name) == 0) {
        copyManager = static_cast<ext_image_copy_capture_manager_v1*>(
            bind(ext_image_copy_capture_manager_v1_interface, 1));
    } else {
        return;
    }
    for (const auto& output : outputs) Describe(*output);
}

// Asks what the source needs of an output as soon as the globals for it are bound: its
// place in the layout and a cursor session (its mode and transform come with the output).
void WlrCursorSource::State::Describe(Output& output) {
    static const zxdg_output_v1_listener kXdg = {
        &State::OnLogicalPosition, &State::OnLogicalSize, Ignore<zxdg_output_v1*>,
        Ignore<zxdg_output_v1*, const char*>, Ignore<zxdg_output_v1*, const char*>};
    static const ext_image_copy_capture_cursor_session_v1_listener kSession = {
        Ignore<ext_image_copy_capture_cursor_session_v1*>,
        Ignore<ext_image_copy_capture_cursor_session_v1*>, &State::OnPosition,
        Ignore<ext_image_copy_capture_cursor_session_v1*, int32_t, int32_t>};
    if (xdgManager != nullptr && output.xdg == nullptr) {
        output.xdg = zxdg_output_manager_v1_get_xdg_output(xdgManager, output.output);
        zxdg_output_v1_add_listener(output.xdg, &kXdg, &output);
    }
    if (pointer == nullptr || sourceManager == nullptr || copyManager == nullptr ||
        output.session != nullptr) {
        return;
    }
    output.source =
        ext_output_image_capture_source_manager_v1_create_source(sourceManager, output.output);
    output.session = ext_image_copy_capture_manager_v1_create_pointer_cursor_session(
        copyManager, output.source, pointer);
    ext_image_copy_capture_cursor_session_v1_add_listener(output.session, &kSession, &output);
}

void WlrCursorSource::State::Destroy(Output& output) {
    if (output.session != nullptr) ext_image_copy_capture_cursor_session_v1_destroy(output.session);
    if (output.source != nullptr) ext_image_capture_source_v1_destroy(output.source);
    if (output.xdg != nullptr) zxdg_output_v1_destroy(output.xdg);
    wl_output_destroy(output.output);
}

void WlrCursorSource::State::GlobalRemove(uint32_t name) {
    auto gone = std::find_if(outputs.begin(), outputs.end(),
                             [name](const auto& output) { return output->globalName == name; });
    if (gone == outputs.end()) return;
    Destroy(**gone);
    outputs.erase(gone);
}

void WlrCursorSource::State::Disconnect() {
    thread.Stop();
    if (display == nullptr) return;
    for (const auto& output : outputs) Destroy(*output);
    outputs.clear();
    if (copyManager != nullptr) ext_image_copy_capture_manager_v1_destroy(copyManager);
    if (sourceManager != nullptr) ext_output_image_capture_source_manager_v1_destroy(sourceManager);
    if (xdgManager != nullptr) zxdg_output_manager_v1_destroy(xdgManager);
    if (pointer != nullptr) wl_pointer_destroy(pointer);
    if (seat != nullptr) wl_seat_destroy(seat);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    display = nullptr;
    registry = nullptr;
    seat = nullptr;
    pointer = nullptr;
    xdgManager = nullptr;
    sourceManager = nullptr;
    copyManager = nullptr;
}

WlrCursorSource::WlrCursorSource() : state_(std::make_unique<State>()) {}

WlrCursorSource::~WlrCursorSource() = default;

bool WlrCursorSource::Offered() {
    if (state_->display != nullptr || state_->Connect()) return true;
    state_->Disconnect();
    return false;
}

// The seat's capabilities come first (a pointer, then the sessions), with the outputs'
// descriptions; the sessions' first positions in the second round trip.
bool WlrCursorSource::Start(Report report, std::string& refusal) {
    state_->thread.Stop();
    state_->report = nullptr;
    state_->arrived.Clear();
    if (state_->display == nullptr && !state_->Connect()) {
        refusal = Name() + ": コンポジターがカーソルキャプチャを提供していません";
        state_->Disconnect();
        return false;
    }
    wl_display* display = state_->display;
    if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0) {
        refusal = Name() + ": コンポジターとの接続が切れました";
        state_->Disconnect();
        return false;
    }
    if (state_->pointer == nullptr || !state_->arrived.WaitForOne(std::chrono::milliseconds(0))) {
        refusal =
            Name() + (state_->pointer == nullptr ? ": シートにポインターがありません"
                                                 : ": コンポジターがカーソルの位置を伝えません"
                                                   " (ソフトウェアで描くカーソルなど)");
        state_->Disconnect();
        return false;
    }
    std::string error;
    if (!state_->thread.Start(display, error)) {
        refusal = Name() + ": " + error;
        state_->Disconnect();
        return false;
    }
    state_->report = std::move(report);
    Before(DeviceEvent{});
    return true;
}

void WlrCursorSource::Before(const DeviceEvent&) {
    if (state_->report) state_->arrived.Deliver(state_->report);
}

void WlrCursorSource::Stop() {
    state_->Disconnect();
    state_->report = nullptr;
    state_->arrived.Clear();
}

std::unique_ptr<PointerSource> OpenWlrCursorSource() {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    if (display == nullptr || *display == '\0') return nullptr;
    auto source = std::make_unique<WlrCursorSource>();
    if (!source->Offered()) return nullptr;
    return source;
}
