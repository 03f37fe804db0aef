#pragma once
// The text of the error an action raises, or the empty text when it raises none.
#include <string>

#include "toolkit/Exception.h"

template <class Fn>
std::string ErrorOf(Fn&& fn) {
    try {
        fn();
    } catch (const Exception& error) {
        return error.what();
    }
    return "";
}
