// A form of the program shown in its desktop window as a user meets it.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "desktop.h"
#include "every_form.h"
#include "form_dialog.h"
#include "host/ui/form.h"

namespace veln::test {

// The scene's form in its window, shown: loaded, prepared and pushed, its
// handlers run as the program runs them.
std::unique_ptr<desktop::FormDialog> ShowScene(const FormScene& scene, desktop::Desktop& desktop);

}  // namespace veln::test
