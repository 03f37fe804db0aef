// The evdev reader over devices that umockdev emulates: enumeration, reads, hot-plug, the
// program's own devices, and a sink that stops the source. Runs under umockdev-wrapper.
#include <glib.h>
#include <linux/input-event-codes.h>
#include <poll.h>
#include <sys/stat.h>
#include <umockdev.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/posix/MonotonicClock.h"
#include "platform/wayland/EvdevSource.h"
#include "posix/OrdinaryUser.h"

namespace {

const std::string kDevices = TAPEWRIGHT_MOCK_DEVICES;
constexpr const char* kKeyboardNode = "/dev/input/event20";
constexpr const char* kMouseNode = "/dev/input/event21";
constexpr const char* kOwnNode = "/dev/input/event22";
constexpr const char* kMouseSysfs = "/sys/devices/virtual/input/input21/event21";

// The test's own loop: polls the watched descriptors.
class PollWatch final : public DescriptorWatch {
  public:
    void Watch(int fd, Ready ready) override { watched_[fd] = std::move(ready); }
    void Unwatch(int fd) override { watched_.erase(fd); }
    std::size_t Count() const { return watched_.size(); }

    // Runs until done() or the time is up; true when done.
    template <class Done>
    bool RunUntil(Done done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::vector<pollfd> fds;
            for (const auto& [fd, ready] : watched_) fds.push_back(pollfd{fd, POLLIN, 0});
            if (poll(fds.data(), fds.size(), 50) <= 0) continue;
            for (const pollfd& fd : fds) {
                auto found = watched_.find(fd.fd);
                if ((fd.revents & POLLIN) == 0 || found == watched_.end()) continue;
                Ready ready = found->second;
                ready();
            }
        }
        return true;
    }

  private:
    std::map<int, Ready> watched_;
};

class EvdevSourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        bed_ = umockdev_testbed_new();
        ASSERT_TRUE(umockdev_in_mock_environment()) << "run this test under umockdev-wrapper";
    }
    void TearDown() override { g_object_unref(bed_); }

    // Adds tests/e2e/wayland/devices/NAME at node, with the events that its reader then
    // finds waiting (evemu lines "E: SEC.USEC TYPE CODE VALUE", type and code in hex).
    void Add(const std::string& name, const std::string& node, const std::string& events) {
        GError* error = nullptr;
        const std::string base = kDevices + "/" + name;
        ASSERT_TRUE(umockdev_testbed_add_from_file(bed_, (base + ".umockdev").c_str(), &error));
        ASSERT_TRUE(
            umockdev_testbed_load_ioctl(bed_, node.c_str(), (base + ".ioctl").c_str(), &error));
        const std::string file =
            std::string(umockdev_testbed_get_root_dir(bed_)) + "/" + name + ".evemu";
        std::ofstream(file) << events;
        ASSERT_TRUE(umockdev_testbed_load_evemu_events(bed_, node.c_str(), file.c_str(), &error));
    }

    bool Start() {
        std::string error;
        started_ = MonotonicTick();
        bool ok = source_.Start([this](const DeviceEvent& event) { OnEvent(event); }, error);
        EXPECT_TRUE(ok) << error;
        return ok;
    }

    virtual void OnEvent(const DeviceEvent& event) { events_.push_back(event); }

    // The events of one type and code.
    std::vector<int32_t> Values(uint16_t type, uint16_t code) const {
        std::vector<int32_t> values;
        for (const DeviceEvent& event : events_) {
            if (event.type == type && event.code == code) values.push_back(event.value);
        }
        return values;
    }
    bool Has(uint16_t type, uint16_t code, std::size_t count) const {
        return Values(type, code).size() >= count;
    }

    UMockdevTestbed* bed_ = nullptr;
    PollWatch watch_;
    EvdevSource source_{watch_};
    std::vector<DeviceEvent> events_;
    uint32_t started_ = 0;
};

const char* const kKeyboardEvents =
    "E: 0.0 0001 001e 1\nE: 0.0 0000 0000 0\nE: 0.1 0001 001e 0\nE: 0.1 0000 0000 0\n";
// A left click, a notch of a high-resolution wheel (both codes in one frame), half a notch,
// and a notch left on the horizontal wheel of a plain one.
const char* const kMouseEvents =
    "E: 0.0 0001 0110 1\nE: 0.0 0000 0000 0\nE: 0.1 0001 0110 0\nE: 0.1 0000 0000 0\n"
    "E: 0.2 0002 0008 1\nE: 0.2 0002 000b 120\nE: 0.2 0000 0000 0\n"
    "E: 0.3 0002 000b 60\nE: 0.3 0000 0000 0\n"
    "E: 0.4 0002 0006 -1\nE: 0.4 0000 0000 0\n";

TEST_F(EvdevSourceTest, ReadsEveryKeyboardAndMouseButNotTheProgramsOwnDevices) {
    Add("keyboard", kKeyboardNode, kKeyboardEvents);
    Add("mouse", kMouseNode, kMouseEvents);
    Add("own-keyboard", kOwnNode, "E: 0.0 0001 0030 1\nE: 0.0 0000 0000 0\n");
    ASSERT_TRUE(Start());
    EXPECT_EQ(watch_.Count(), 3u);  // the keyboard, the mouse and udev's events
    ASSERT_TRUE(watch_.RunUntil([&] {
        return Has(EV_REL, REL_HWHEEL, 1) && Has(EV_KEY, KEY_A, 2);
    })) << events_.size()
        << " events";
    const uint32_t ended = MonotonicTick();

    EXPECT_EQ(Values(EV_KEY, KEY_A), (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(Values(EV_KEY, BTN_LEFT), (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(Values(EV_REL, REL_WHEEL), (std::vector<int32_t>{1}));
    EXPECT_EQ(Values(EV_REL, REL_WHEEL_HI_RES), (std::vector<int32_t>{120, 60}));
    EXPECT_EQ(Values(EV_REL, REL_HWHEEL), (std::vector<int32_t>{-1}));
    EXPECT_EQ(Values(EV_SYN, SYN_REPORT).size(), 7u);
    EXPECT_TRUE(Values(EV_KEY, KEY_B).empty()) << "the program's own device was read";
    // Stamped on the journal's clock (the test bed's stamps are no clock's: taken on receipt).
    for (const DeviceEvent& event : events_) {
        EXPECT_GE(event.time, started_);
        EXPECT_LE(event.time, ended);
    }
}

TEST_F(EvdevSourceTest, FollowsDevicesPluggedInAndOutAndSaysWhenThereIsNone) {
    std::string error;
    EXPECT_FALSE(source_.Start([](const DeviceEvent&) {}, error));
    EXPECT_NE(error.find("/dev/input"), std::string::npos) << error;
    EXPECT_EQ(watch_.Count(), 0u);

    Add("keyboard", kKeyboardNode, kKeyboardEvents);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(watch_.RunUntil([&] { return Has(EV_KEY, KEY_A, 2); }));
    Add("mouse", kMouseNode, kMouseEvents);
    ASSERT_TRUE(watch_.RunUntil([&] { return Has(EV_REL, REL_HWHEEL, 1); }))
        << "the mouse plugged in later was not read";
    EXPECT_EQ(watch_.Count(), 3u);

    umockdev_testbed_uevent(bed_, kMouseSysfs, "remove");
    umockdev_testbed_remove_device(bed_, kMouseSysfs);
    ASSERT_TRUE(watch_.RunUntil([&] { return watch_.Count() == 2; }))
        << "the unplugged mouse is still watched";
    EXPECT_TRUE(source_.Running());
    source_.Stop();
    EXPECT_EQ(watch_.Count(), 0u);
}

// Root reads anything: the check runs as an ordinary user, to whom the device node (a
// terminal that the test bed's node links to) is closed.
TEST_F(EvdevSourceTest, TellsTheUserToJoinGroupInputWhenTheDevicesMayNotBeRead) {
    Add("keyboard", kKeyboardNode, kKeyboardEvents);
    gchar* root = umockdev_testbed_get_root_dir(bed_);
    const std::string bed = root;
    g_free(root);
    ASSERT_EQ(chmod((bed + kKeyboardNode).c_str(), 0), 0);
    ExpectAsOrdinaryUser(bed, [this] {
        std::string error;
        const bool started = source_.Start([](const DeviceEvent&) {}, error);
        return !started && error.find("usermod -aG input") != std::string::npos;
    });
}

// A reader that fell behind gets SYN_DROPPED: a key released in the events it lost must still
// be released, or the recording would hold it down; then reading goes on. (libevdev drops
// what the kernel holds at the drop and asks for the keys' state instead; the test bed's reply
// is fixed, so B comes well after.)
TEST_F(EvdevSourceTest, AKeyReleasedAmongDroppedEventsIsReleased) {
    Add("keyboard", kKeyboardNode,
        "E: 0.0 0001 001e 1\nE: 0.0 0000 0000 0\nE: 0.1 0000 0003 0\n"
        "E: 0.500000 0001 0030 1\nE: 0.500000 0000 0000 0\n");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(watch_.RunUntil([&] { return Has(EV_KEY, KEY_B, 1); })) << events_.size();
    EXPECT_EQ(Values(EV_KEY, KEY_A), (std::vector<int32_t>{1, 0}));
    EXPECT_TRUE(source_.Running());
}

// The journal's hook may end the recording on an event (Ctrl+Break): it then asks for what
// is pending, and stops the source, from inside the sink.
class StoppingSinkTest : public EvdevSourceTest {
  protected:
    void OnEvent(const DeviceEvent& event) override {
        EvdevSourceTest::OnEvent(event);
        if (event.type != EV_KEY) return;
        source_.ReadPending();  // nothing: it would hand over events out of order
        EXPECT_EQ(events_.size(), 1u);
        source_.Stop();
    }
};

TEST_F(StoppingSinkTest, NoEventReachesTheSinkOnceItStoppedTheSource) {
    Add("keyboard", kKeyboardNode, kKeyboardEvents);
    Add("mouse", kMouseNode, kMouseEvents);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(watch_.RunUntil([&] { return !source_.Running(); }));
    EXPECT_EQ(watch_.Count(), 0u);
    watch_.RunUntil([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_EQ(events_.size(), 1u);
}

}  // namespace
