#include "QuarvelApplication.h"

#include "EscapedFailure.h"
#include "MessageBoxSink.h"

bool QuarvelApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const Message message = DescribeEscapedFailure(std::current_exception());
        // The box runs its own event loop: a failure meanwhile is caught
        // again but not shown over it.
        if (showing_ == 0) {
            ++showing_;
            try {
                MessageBoxSink(activeWindow()).Show(message);
            } catch (...) {
            }
            --showing_;
        }
        return true;
    }
}
