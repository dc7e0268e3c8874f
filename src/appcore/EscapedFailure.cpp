#include "EscapedFailure.h"

#include "Messages.h"
#include "PlayerDatabase.h"

#include <boost/regex.hpp>
#include <new>
#include <string>

namespace {

Message Failure(std::string text) {
    return {std::move(text), kApplicationTitle, MessageIcon::Error};
}

} // namespace

Message DescribeEscapedFailure(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return Failure("Out of memory: the command could not be completed.");
    } catch (const DatabaseError& error) {
        return Failure(std::string("Player database error: ") + error.what());
    } catch (const boost::regex_error& error) {
        return Failure(std::string("Regular expression error: ") + error.what());
    } catch (const std::exception& error) {
        // The matcher's limits arrive as plain runtime errors.
        const std::string what = error.what();
        if (what.starts_with("The complexity of matching") ||
            what.starts_with("Ran out of stack space")) {
            return Failure("Regular expression error: " + what);
        }
        return Failure("The command could not be completed: " + what);
    } catch (...) {
        return Failure("The command could not be completed: an unknown error occurred.");
    }
}

bool RunGuarded(const std::function<void()>& work, MessageSink& messages) {
    try {
        work();
        return true;
    } catch (...) {
        const Message message = DescribeEscapedFailure(std::current_exception());
        // Showing may itself fail (no memory for the box): then say nothing
        // rather than end the program.
        try {
            messages.Show(message);
        } catch (...) {
        }
        return false;
    }
}
