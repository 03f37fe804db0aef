#pragma once
// A fresh engine over a fresh simulated journal for every test, with the listener's
// notifications logged.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ErrorOf.h"
#include "engine/HookErrors.h"
#include "engine/Recorder.h"
#include "platform/sim/SimJournal.h"
#include "toolkit/Exception.h"

class EngineTest : public ::testing::Test {
  public:
    void SetUp() override {
        SimJournal::Instance().Reset();
        engine = TRecorder::Create();
        ASSERT_NE(engine, nullptr);
        engine->OnStateChange = [this](TRecorderState state) {
            notifications.push_back(state);
            if (onNotify) onNotify(state);
        };
        SetHookErrorSink([this](const std::string& text) { hookErrors.push_back(text); });
    }
    void TearDown() override {
        onNotify = nullptr;
        delete engine;
        SetHookErrorSink(nullptr);
    }

    // Appends records with the given stored times (key-less mouse moves, x = index).
    void FillStream(const std::vector<uint32_t>& times) {
        uint32_t index = 0;
        for (uint32_t time : times) {
            engine->Stream().WriteEvent(EVENTMSG{msg::kMouseMove, index++, 0, time, 0});
        }
    }

    SimJournal& journal = SimJournal::Instance();
    TRecorder* engine = nullptr;
    std::vector<TRecorderState> notifications;
    std::function<void(TRecorderState)> onNotify;
    std::vector<std::string> hookErrors;
};

inline SimJournal::PlaybackOptions AtMost(std::size_t deliveries) {
    SimJournal::PlaybackOptions options;
    options.maxDeliveries = deliveries;
    return options;
}

inline SimJournal::PlaybackOptions OnEachDelivery(
    std::function<void(const SimJournal::Delivery&)> action, std::size_t deliveries = 1'000'000) {
    SimJournal::PlaybackOptions options = AtMost(deliveries);
    options.onDelivered = std::move(action);
    return options;
}

inline SimJournal::PlaybackOptions AskingPartWay() {
    SimJournal::PlaybackOptions options;
    options.askPartWay = true;
    return options;
}

// Expects fn to throw Exception with exactly text.
template <class Fn>
void ExpectError(Fn&& fn, const std::string& text) {
    EXPECT_EQ(ErrorOf(std::forward<Fn>(fn)), text);
}
