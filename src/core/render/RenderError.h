// SPDX-License-Identifier: MIT
#pragma once
// The failure the renderer raises when an image cannot be made.
#include <stdexcept>
#include <string>

namespace qp {

class RenderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace qp
