// SPDX-License-Identifier: MIT
#pragma once
// The general error box: every exception that ends a command outside the run is shown here, and
// the program goes on.
#include <QString>

#include <exception>
#include <functional>

class QWidget;

namespace qp {

// The text an exception is shown with.
QString errorMessage(const std::exception& error);

// Shows `message` in the general error box over the active window and waits until it is closed.
// While a box is open a further error does not open a second one; it is written to the log.
void showGeneralError(const QString& message);

// Replaces the box (tests, which must not block on a modal box); an empty function restores it.
void setGeneralErrorHandler(std::function<void(const QString&)> handler);

} // namespace qp
