// Plays through Mutter's remote desktop (GNOME), sending each call without waiting for its
// reply: a call that waits takes 0.36 ms at the median and up to 2 ms. A new session replaces
// one that ended or whose monitors changed, before the next call.
#include "platform/wayland/InputWays.h"
#include "platform/wayland/MutterSession.h"
#include "toolkit/Exception.h"

namespace {

constexpr const char* kName = "GNOME (Mutter) のリモートデスクトップ";

class MutterWay final : public InputWay {
  public:
    explicit MutterWay(std::unique_ptr<MutterSession> session) : session_(std::move(session)) {}

    std::string Name() const override { return kName; }
    void MoveTo(int32_t x, int32_t y) override { Session().MoveTo(x, y); }
    void Button(uint32_t button, bool press) override { Session().Button(button, press); }
    void StartPlayback() override { wheel_.Reset(); }
    void Wheel(bool horizontal, int32_t delta) override {
        if (double value = wheel_.Turn(horizontal, delta); value != 0) {
            Session().Axis(horizontal, value);
        }
    }
    void Key(uint32_t key, bool press) override { Session().Key(key, press); }
    void Flush() override { session_->Process(); }

  private:
    MutterSession& Session();

    std::unique_ptr<MutterSession> session_;
    MutterWheel wheel_;
};

MutterSession& MutterWay::Session() {
    if (!session_->Stale()) return *session_;
    auto session = std::make_unique<MutterSession>();
    std::string error;
    if (session->Open(error) != MutterSession::Opened::Yes) {
        throw Exception(std::string(kName) + "を開き直せません: " + error);
    }
    session_ = std::move(session);
    return *session_;
}

}  // namespace

std::unique_ptr<InputWay> OpenMutterWay(std::string& refusal) {
    auto session = std::make_unique<MutterSession>();
    std::string error;
    switch (session->Open(error)) {
        case MutterSession::Opened::Yes:
            return std::make_unique<MutterWay>(std::move(session));
        case MutterSession::Opened::Absent:
            refusal = std::string(kName) + ": このデスクトップは GNOME (Mutter) ではありません。";
            return nullptr;
        case MutterSession::Opened::Failed:
            break;
    }
    refusal = std::string(kName) + "を開けません (" + error + ")。";
    return nullptr;
}
