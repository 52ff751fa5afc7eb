#pragma once

#include <string>

#include "base/exception.h"

namespace px3 {

// The message of the px3::Exception the action raises, or "(no error)".
template <typename Action>
std::string JsonErrorOf(Action&& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "(no error)";
}

}  // namespace px3
