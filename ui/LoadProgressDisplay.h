#pragma once
// While one exists, a macro load that takes longer than a moment shows how far it has come in
// the main window's status bar ("42 %"), drawn at once since the load holds the message loop;
// the status text that was there comes back when the load ends, however it ends.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

class TForm1;

class LoadProgressDisplay {
  public:
    explicit LoadProgressDisplay(TForm1& form,
                                 std::chrono::milliseconds moment = std::chrono::milliseconds(300));
    ~LoadProgressDisplay();
    LoadProgressDisplay(const LoadProgressDisplay&) = delete;
    LoadProgressDisplay& operator=(const LoadProgressDisplay&) = delete;

  private:
    void Show(uint64_t done, uint64_t total);

    TForm1& form_;
    std::optional<std::string> statusBefore_;
};
