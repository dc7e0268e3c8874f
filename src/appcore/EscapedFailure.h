#pragma once

#include "Messages.h"

#include <exception>
#include <functional>

// What the user is told about a failure that no handler caught: out of
// memory, a database error, a regular-expression error or the engine's
// complexity limit, anything else. The program goes on; nothing of the
// user's is lost, since the log is never written and the database keeps
// what it was told.
Message DescribeEscapedFailure(const std::exception_ptr& failure);

// Runs `work`; a failure it lets escape is shown through `messages` instead
// of ending the program. False when it failed.
bool RunGuarded(const std::function<void()>& work, MessageSink& messages);
