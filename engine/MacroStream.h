#pragma once
// The macro in memory: a growable byte buffer with a current position. Records lie back
// to back; recording writes at the position, playback reads from it. Memory is reserved in
// blocks of 8192 bytes, never more than the size rounded up to the next block.
#include <cstddef>
#include <cstdint>

#include "engine/EventMsg.h"

enum class SeekOrigin { Begin, Current };

class MacroStream {
  public:
    static constexpr std::size_t kBlockSize = 8192;

    MacroStream() = default;
    MacroStream(const MacroStream&) = delete;
    MacroStream& operator=(const MacroStream&) = delete;
    ~MacroStream();

    std::size_t Size() const { return size_; }
    std::size_t Position() const { return position_; }
    std::size_t Capacity() const { return capacity_; }
    const uint8_t* Data() const { return data_; }

    // Moves the position; a position before the start is taken as 0.
    void Seek(int64_t offset, SeekOrigin origin);
    // Copies min(count, size - position) bytes, leaves the rest of destination alone,
    // advances the position by the number copied and returns it.
    std::size_t Read(void* destination, std::size_t count);
    // Copies count bytes to the position, extending the size where they pass the end.
    // Throws Exception("メモリストリームの拡大中にメモリが足りなくなりました") when the
    // buffer cannot grow; the stream is then unchanged.
    void Write(const void* source, std::size_t count);
    // Size 0, position 0, memory released.
    void Clear();
    // Exchanges the content (bytes, size, position) with other; memory limits stay.
    void Swap(MacroStream& other) noexcept;

    // Reads one record over event with the partial-read rule above; returns bytes copied.
    std::size_t ReadEvent(EVENTMSG& event);
    void WriteEvent(const EVENTMSG& event);

    // Grows the size to count bytes (zero-filled) without moving the position and returns
    // the start of the buffer, so that a file can be read straight into it.
    uint8_t* Resize(std::size_t count);
    // Caps the reserved memory (default: no cap), for environments with tight memory.
    void SetMemoryLimit(std::size_t bytes) { limit_ = bytes; }
    std::size_t MemoryLimit() const { return limit_; }

  private:
    void Reserve(std::size_t count);

    uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t position_ = 0;
    std::size_t capacity_ = 0;
    std::size_t limit_ = SIZE_MAX;
};
