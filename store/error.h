#pragma once
// A failed save as the user is told of it.

#include <string>

namespace store {

struct Error {
    int codigo = 0;    // errno of the failing call; 0 means no error
    std::string causa; // one Spanish sentence for the user
    explicit operator bool() const { return codigo != 0; }
};

// The error for `codigo` (an errno; 0 is taken as EIO), with its sentence:
// every message a save can show is written here.
Error ErrorDe(int codigo);

} // namespace store
