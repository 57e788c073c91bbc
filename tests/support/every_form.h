// Every form of the program, each as a user meets it on a project of two
// linked documents: loaded, then its choosers set where a user sets them
// first. The desktop's and Writer's screenshots and layout tests go through
// the same list.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "elements/context.h"
#include "host/ui/form.h"

namespace veln::test {

struct FormScene {
    std::shared_ptr<host::Form> form;
    // Runs after the form has loaded; empty when the form is shown as loaded.
    std::function<void()> prepare;
};

// The list of the project's documents asks for its project database when
// it loads: the caller answers that first.
std::vector<FormScene> EveryForm(Context& context);

}  // namespace veln::test
