#pragma once

#include <span>
#include <string>

class SqlConnection;

// One numbered upgrade of the player database. Adding a step is adding an
// entry to the list in SchemaSteps.cpp: its version is the one after the
// last, and `apply` makes the change inside the step's transaction (it must
// leave a database that had the change made some other way as it is).
struct SchemaStep {
    int version;
    // What the version brings, as the history shows it.
    const char* title;
    // Returns what it has to say beyond the title, or nothing.
    std::string (*apply)(SqlConnection& connection);
};

// Every step, in the order of their versions (1, 2, ...).
std::span<const SchemaStep> SchemaSteps();
