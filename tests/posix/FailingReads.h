#pragma once
// Makes read() fail with EIO on one file once a given number of its bytes have been read, as
// a failing disk does, for the life of the object. The test program replaces the C library's
// read() for this (FailingReads.cpp); every other read passes straight to the system.
#include <sys/types.h>
#include <string>

class FailingReads {
  public:
    FailingReads(const std::string& path, off_t goodBytes);
    ~FailingReads();
    FailingReads(const FailingReads&) = delete;
    FailingReads& operator=(const FailingReads&) = delete;
};
