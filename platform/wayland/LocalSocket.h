#pragma once
// A client's connection to a Unix socket, every wait bounded: the UI loop asks compositors
// over it and must not hang on one that does not answer.
#include <chrono>
#include <string>
#include <string_view>

class LocalSocket {
  public:
    explicit LocalSocket(std::chrono::milliseconds timeout) : timeout_(timeout) {}
    ~LocalSocket();
    LocalSocket(const LocalSocket&) = delete;
    LocalSocket& operator=(const LocalSocket&) = delete;

    // Each returns false with why in error (the system's text); the connection is then closed.
    bool Connect(const std::string& path, std::string& error);
    bool Write(std::string_view data, std::string& error);
    // Exactly size bytes.
    bool Read(char* into, std::size_t size, std::string& error);
    // Everything until the other side closes, up to 64 KiB.
    bool ReadToEnd(std::string& into, std::string& error);
    void Close();
    bool Connected() const { return fd_ >= 0; }

  private:
    bool Wait(short events, std::string& error);
    bool Fail(std::string& error, const std::string& why);

    std::chrono::milliseconds timeout_;
    int fd_ = -1;
};
