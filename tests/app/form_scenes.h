// Every form of the program, each as a user meets it on a project of two
// linked documents: loaded, then its choosers set where a user sets them
// first. The screenshots and the layout tests go through the same list.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "desktop.h"
#include "elements/context.h"
#include "form_dialog.h"
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

// The scene's form in its window, shown: loaded, prepared and pushed, its
// handlers run as the program runs them.
std::unique_ptr<desktop::FormDialog> ShowScene(const FormScene& scene, desktop::Desktop& desktop);

}  // namespace veln::test
