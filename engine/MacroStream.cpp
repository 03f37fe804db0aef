#include "engine/MacroStream.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "toolkit/Exception.h"

namespace {
const char kOutOfMemory[] = "メモリストリームの拡大中にメモリが足りなくなりました";

std::size_t RoundUpToBlock(std::size_t count) {
    return (count + MacroStream::kBlockSize - 1) / MacroStream::kBlockSize *
           MacroStream::kBlockSize;
}
}  // namespace

MacroStream::~MacroStream() {
    std::free(data_);
}

void MacroStream::Reserve(std::size_t count) {
    if (count <= capacity_) return;
    std::size_t wanted = RoundUpToBlock(count);
    if (wanted < count || wanted > limit_) throw Exception(kOutOfMemory);
    // realloc moves large blocks by remapping pages, so growing block by block stays cheap.
    auto* grown = static_cast<uint8_t*>(std::realloc(data_, wanted));
    if (grown == nullptr) throw Exception(kOutOfMemory);
    data_ = grown;
    capacity_ = wanted;
}

void MacroStream::Seek(int64_t offset, SeekOrigin origin) {
    int64_t base = origin == SeekOrigin::Begin ? 0 : static_cast<int64_t>(position_);
    int64_t target = base + offset;
    position_ = target < 0 ? 0 : static_cast<std::size_t>(target);
}

std::size_t MacroStream::Read(void* destination, std::size_t count) {
    if (position_ >= size_) return 0;
    std::size_t available = size_ - position_;
    std::size_t copied = count < available ? count : available;
    std::memcpy(destination, data_ + position_, copied);
    position_ += copied;
    return copied;
}

void MacroStream::Write(const void* source, std::size_t count) {
    if (count == 0) return;
    std::size_t end = position_ + count;
    Reserve(end);
    if (position_ > size_) std::memset(data_ + size_, 0, position_ - size_);
    std::memcpy(data_ + position_, source, count);
    position_ = end;
    if (end > size_) size_ = end;
}

void MacroStream::Clear() {
    std::free(data_);
    data_ = nullptr;
    size_ = position_ = capacity_ = 0;
}

void MacroStream::Swap(MacroStream& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(position_, other.position_);
    std::swap(capacity_, other.capacity_);
}

std::size_t MacroStream::ReadEvent(EVENTMSG& event) {
    if (position_ + kEventMsgSize <= size_) {
        event = DecodeEvent(data_ + position_);
        position_ += kEventMsgSize;
        return kEventMsgSize;
    }
    uint8_t bytes[kEventMsgSize];
    EncodeEvent(event, bytes);
    std::size_t copied = Read(bytes, kEventMsgSize);
    event = DecodeEvent(bytes);
    return copied;
}

void MacroStream::WriteEvent(const EVENTMSG& event) {
    std::size_t end = position_ + kEventMsgSize;
    if (end > capacity_ || position_ > size_) {
        uint8_t bytes[kEventMsgSize];
        EncodeEvent(event, bytes);
        Write(bytes, kEventMsgSize);
        return;
    }
    EncodeEvent(event, data_ + position_);
    position_ = end;
    if (end > size_) size_ = end;
}

uint8_t* MacroStream::Resize(std::size_t count) {
    Reserve(count);
    if (count > size_) std::memset(data_ + size_, 0, count - size_);
    size_ = count;
    if (position_ > size_) position_ = size_;
    return data_;
}
